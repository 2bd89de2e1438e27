#pragma once

#include <QProgressBar>

// A 0 to 100 percent bar that also shows fractions such as 12.5.
class ProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit ProgressBar(QWidget *parent = nullptr);

    void setPercent(double percent);
    double percent() const { return value() / double(Steps); }
    QString text() const override;

private:
    static constexpr int Steps = 10; // per percent
};
