#pragma once

class QAction;
class QWidget;

// The four board commands that must not start while another command runs:
// Write, Read, Read All Registers and the video mode menu item.
class CommandLock
{
public:
    CommandLock(QWidget *writeRegCommand, QWidget *readRegCommand, QWidget *readAllRegisters,
                QAction *videoModeInput);

    // In this order: WriteRegCommand, ReadRegCommand, ReadAllRegisters,
    // nVideoModeInput. No counting: one enable undoes any number of disables.
    void DisableRegisterCommands() { setEnabled(false); }
    void EnableRegisterCommands() { setEnabled(true); }

    // Held by a command from its first step to its last. The first hold
    // disables the commands, the last release enables them again, so a
    // command that runs another (a video mode OK its read-back) keeps them
    // disabled throughout and enables them once, at the very end.
    class Hold
    {
    public:
        explicit Hold(CommandLock &lock);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        CommandLock &m_lock;
    };

    // True while a command runs: a user's command chosen meanwhile is ignored.
    bool held() const { return m_holds > 0; }

private:
    void setEnabled(bool enabled);

    QWidget *m_write;
    QWidget *m_read;
    QWidget *m_readAll;
    QAction *m_videoMode;
    int m_holds = 0;
};
