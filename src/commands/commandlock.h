#pragma once

#include <QObject>
#include <QStringList>

#include <optional>

// The four board commands that must not start while another command runs:
// Write, Read, Read All Registers and the video mode menu item, which follow
// commandsEnabled in the order they are connected to it. It also knows
// what talks to the board at the moment, a box change included, so that user
// input arriving meanwhile waits for it to end and a refused command can say
// what it waits for.
class CommandLock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // No counting: one enable undoes any number of disables.
    void DisableRegisterCommands() { emit commandsEnabled(false); }
    void EnableRegisterCommands() { emit commandsEnabled(true); }

    // Held by a command from its first step to its last. The first hold
    // disables the commands, the last release enables them again, so a
    // command that runs another (a video mode OK its read-back) keeps them
    // disabled throughout and enables them once, at the very end.
    class Hold
    {
    public:
        // what names the command for a refusal's text ("Read All").
        Hold(CommandLock &lock, const QString &what);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        CommandLock &m_lock;
    };

    // How every command the user starts opens: a hold, or nothing when
    // another command or a box change runs. A refusal is reported (refused).
    std::optional<Hold> tryHold(const QString &what);

    // Held by a box change for its whole exchange with the board.
    class Exchange
    {
    public:
        // what names it for a refusal's text ("a write of register 06").
        Exchange(CommandLock &lock, const QString &what);
        ~Exchange();
        Exchange(const Exchange &) = delete;
        Exchange &operator=(const Exchange &) = delete;

    private:
        CommandLock &m_lock;
    };

    // True while a command or a box change talks to the board.
    bool busy() const { return !m_running.isEmpty(); }

    // Held by a long command the user may stop (Load, Quick Load, Compare,
    // Read All). It asks cancelled() between two exchanges with the board, so
    // the command line in flight is always completed.
    class Cancellable
    {
    public:
        explicit Cancellable(CommandLock &lock);
        ~Cancellable();
        Cancellable(const Cancellable &) = delete;
        Cancellable &operator=(const Cancellable &) = delete;

    private:
        CommandLock &m_lock;
    };
    // Esc or the Cancel button: the running long command stops; with none
    // running nothing happens.
    void cancel();
    bool cancelled() const { return m_cancelled; }

signals:
    // For WriteRegCommand, ReadRegCommand, ReadAllRegisters and
    // nVideoModeInput, in this order.
    void commandsEnabled(bool enabled);
    // busy() has become false.
    void idle();
    // A long command that can be cancelled has started (true) or ended.
    void cancellable(bool can);
    // A command was not started, and why, for the status line.
    void refused(const QString &text);

private:
    void enter(const QString &what);
    void leave();

    int m_holds = 0;
    int m_cancellables = 0;
    bool m_cancelled = false;
    QStringList m_running; // outermost first
};
