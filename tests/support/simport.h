#pragma once

#include "boardcore.h"
#include "link/serialport.h"

#include <QStringList>

struct EventLog;

// The simulated board attached in-process: what the program sends reaches the
// board at once, and the board's answer is waiting by the time send returns.
class SimPort : public SerialPort
{
public:
    explicit SimPort(EventLog *log = nullptr, const sim::BoardOptions &options = {});

    void setPortNumber(int number) override;
    void setSettings(const QString &settings) override;
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool hasFailed() const override { return m_failed; }
    int waitingCount() override { return m_open ? int(m_input.size()) : 0; }
    void discardInput() override;
    void setTakeLength(int length) override;
    QByteArray take() override;
    void send(const QByteArray &text) override;
    QString devicePath() const override { return QStringLiteral("/dev/sim%1").arg(m_number); }
    QString errorString() const override { return m_error; }

    sim::BoardCore &board() { return m_board; }
    // Everything the board received, in order, and the same split into
    // command lines ("W0x0006 0x1 0x05 "); the Q of every reset is left out.
    QByteArray received() const { return m_received; }
    QStringList commands() const;
    // The single-register writes the board received, as "06=05".
    QStringList writes() const;
    void clearReceived() { m_received.clear(); }

    // Test controls: which port numbers exist, and losing the device.
    bool refuseOpen = false;
    void loseDevice();
    int opens() const { return m_opens; }
    // Also log every take as "take X", to check that echoes pace the sends.
    bool logTakes = false;

private:
    void log(const QString &event);

    EventLog *m_log;
    sim::BoardCore m_board;
    int m_number = 0;
    bool m_open = false;
    bool m_failed = false;
    int m_opens = 0;
    int m_takeLength = 0;
    QByteArray m_input;
    QByteArray m_received;
    QString m_error;
};
