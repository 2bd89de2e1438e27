#pragma once

class BoardCommands;
class BoardLink;
class ProgressBar;
class QAction;
class QWidget;
class RegisterBoxes;

// The four board commands that must not start while another one runs.
class CommandLock
{
public:
    CommandLock(QWidget *writeRegCommand, QWidget *readRegCommand, QWidget *readAllRegisters,
                QAction *videoModeInput);

    // No counting: one enable undoes any number of disables.
    void DisableRegisterCommands() { setEnabled(false); }
    void EnableRegisterCommands() { setEnabled(true); }

private:
    void setEnabled(bool enabled);

    QWidget *m_write;
    QWidget *m_read;
    QWidget *m_readAll;
    QAction *m_videoMode;
};

// Copies all 64 chip registers into the boxes with four burst reads, without
// writing anything back and without moving the sliders.
class ReadAll
{
public:
    ReadAll(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock,
            ProgressBar &progress);

    void Read_All_Registers();

private:
    void fillBlock(int block);

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    ProgressBar &m_progress;
};
