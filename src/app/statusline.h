#pragma once

#include <QLabel>

// The line at the window's foot that says how the last command went. A text
// too long for one line goes on in a second; one too long for two ends in
// "..." and shows whole in the tooltip, so that every word can be read.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    void setStatus(const QString &text);
    QString status() const { return m_text; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QString m_text;
};
