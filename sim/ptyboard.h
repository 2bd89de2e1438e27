#pragma once

#include "boardcore.h"
#include "uniquefd.h"
#include "wirelog.h"

#include "platform/serialport.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class QSocketNotifier;

namespace sim {

// Serves a BoardCore on the master side of a pseudo-terminal whose slave is
// reachable through a symbolic link, as if it were the board's serial port.
class PtyBoard : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        QString linkPath;
        QString logPath;
        bool paced = false;
        BoardOptions options;
    };

    // One character on the board's line (9600 baud 8N1: 10 bits), to the
    // nearest nanosecond.
    static constexpr std::chrono::nanoseconds byteTime{
        static_cast<std::chrono::nanoseconds::rep>(1e9 / LineSettings{}.charactersPerSecond() + 0.5)};
    // A chattering board tops up what it sends by this many characters at
    // each tick: paced, the line's speed sets the rate; unpaced, the tick
    // does (1600 characters a second).
    static constexpr int chatterChunk = 16;
    static constexpr std::chrono::milliseconds chatterTick{10};

    explicit PtyBoard(const Settings &settings, QObject *parent = nullptr);
    ~PtyBoard() override;

    bool start(QString *error);
    QString slavePath() const { return m_slavePath; }

signals:
    void hungUp();

private:
    using Clock = std::chrono::steady_clock;

    bool openPty(QString *error);
    bool openMaster(QString *error);
    bool makeLink(QString *error);
    void removeLink();
    void readMaster();
    void enqueue(const QByteArray &bytes);
    void sendDue();
    bool writePending(int count);
    void hangUpWhenDrained();
    void chatter();
    void hangUp();

    Settings m_settings;
    BoardCore m_core;
    WireLog m_log;
    UniqueFd m_master;
    UniqueFd m_slave; // kept open so the pty survives the program closing the port
    QString m_slavePath;
    bool m_linkMade = false;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer m_paceTimer;
    QTimer m_chatterTimer;
    QByteArray m_pending;
    Clock::time_point m_headDue; // when the first pending byte may go out
    Clock::time_point m_lineFreeAt; // when the last byte sent has fully left
    bool m_hangUpRequested = false;
};

} // namespace sim
