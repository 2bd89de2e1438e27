#pragma once

#include "presets.h"

#include <QWidget>

#include <array>

class BoardCommands;
class BoardLink;
class CommandLock;
class QPushButton;
class QRadioButton;
class ReadAll;

// "Input Video Mode Select": the user states which of the eight input modes
// is connected, and OK programs the board and the chip for it. A modeless
// window; hiding keeps it and its selection, closing discards it.
class VideoMode : public QWidget
{
    Q_OBJECT

public:
    VideoMode(BoardLink &link, BoardCommands &commands, CommandLock &lock, ReadAll &readAll, QWidget *parent = nullptr);

    // Option1 to Option8.
    QRadioButton *Option(int number) const { return m_options.at(size_t(number - 1)); }
    // Closed: the next opening needs a new dialog.
    bool discarded() const { return m_discarded; }

    void OKButton_Click();
    void CancelButton_Click();

signals:
    // How the last OK went, for the main window's status line.
    void status(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupFrame();
    QPushButton *addButton(const QString &caption, const char *name, int left, int top);
    int selectedRow() const;

    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    ReadAll &m_readAll;
    std::array<QRadioButton *, Presets::Count> m_options{};
    bool m_running = false;
    bool m_discarded = false;
};
