#pragma once

#include "boardcore.h"
#include "platform/serialport.h"

#include <QStringList>

// The simulated board attached in-process, for tests: what the program sends
// reaches the board at once, and the board's answer is waiting by the time
// send returns, unless replies are held (then they arrive at release()).
// What the program asks of the port is recorded in *log ("open", "send W").
class SimPort : public SerialPort
{
public:
    explicit SimPort(QStringList *log = nullptr, const sim::BoardOptions &options = {});

    // Logs "port N", "settings 9600,n,8,1" and "open".
    bool open(const PortChoice &port, const LineSettings &settings) override;
    void close() override;
    State state() const override { return m_failed ? State::Lost : m_open ? State::Open : State::Closed; }
    PortFailure lastFailure() const override { return {QStringLiteral("/dev/sim%1").arg(m_number), m_error}; }
    int waitingCount() override;
    void discardInput() override;
    QByteArray take(int max = 0) override;
    void send(const QByteArray &bytes) override;

    sim::BoardCore &board() { return m_board; }
    // Everything the board received, and the same split into command lines
    // ("W0x0006 0x1 0x05 "); the Q of every reset is left out.
    QByteArray received;
    QStringList commands() const;
    // The single-register chip writes, as "06=05".
    QStringList writes() const;

    // Test controls.
    bool refuseOpen = false;
    bool logTakes = false; // log every take as "take X"
    bool holdReplies = false;
    void release();
    void loseDevice();
    int opens = 0;

private:
    void log(const QString &event);
    void topUpChatter();

    QStringList *m_log;
    sim::BoardCore m_board;
    int m_number = 0;
    bool m_open = false;
    bool m_failed = false;
    QByteArray m_input;
    QByteArray m_held;
    QString m_error;
};
