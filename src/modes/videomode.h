#pragma once

#include "presets.h"

#include <QWidget>

#include <array>

class ModeCommand;
class QPushButton;
class QRadioButton;

// "Input Video Mode Select": the user states which of the eight input modes
// is connected, and OK programs the board and the chip for it. A modeless
// window; hiding keeps it and its selection, closing discards it.
class VideoMode : public QWidget
{
    Q_OBJECT

public:
    explicit VideoMode(ModeCommand &command, QWidget *parent = nullptr);

    // Option1 to Option8.
    QRadioButton *Option(int number) const { return m_options.at(size_t(number - 1)); }
    // Closed: the next opening needs a new dialog.
    bool discarded() const { return m_discarded; }

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupFrame();
    QPushButton *addButton(const QString &caption, const char *name, int left, int top);
    int selectedRow() const;

    ModeCommand &m_command;
    std::array<QRadioButton *, Presets::Count> m_options{};
    int m_running = 0; // OK clicks at work, nested ones included
    bool m_discarded = false;
};
