#pragma once

#include <QObject>

class QAction;
class QWidget;

// The four board commands that must not start while another command runs:
// Write, Read, Read All Registers and the video mode menu item. It also knows
// when any exchange with the board runs, a box change included, so that user
// input arriving meanwhile waits for it to end.
class CommandLock : public QObject
{
    Q_OBJECT

public:
    CommandLock(QWidget *writeRegCommand, QWidget *readRegCommand, QWidget *readAllRegisters, QAction *videoModeInput,
                QObject *parent = nullptr);

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

    // Held by a box change for its whole exchange with the board.
    class Exchange
    {
    public:
        explicit Exchange(CommandLock &lock);
        ~Exchange();
        Exchange(const Exchange &) = delete;
        Exchange &operator=(const Exchange &) = delete;

    private:
        CommandLock &m_lock;
    };

    // True while a command or a box change talks to the board.
    bool busy() const { return m_holds > 0 || m_exchanges > 0; }

signals:
    // busy() has become false.
    void idle();

private:
    void setEnabled(bool enabled);

    QWidget *m_write;
    QWidget *m_read;
    QWidget *m_readAll;
    QAction *m_videoMode;
    void leave();

    int m_holds = 0;
    int m_exchanges = 0;
};
