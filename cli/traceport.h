#pragma once

#include "platform/serialport.h"

class Clock;
class QIODevice;

// Passes everything on to the real port and logs each character sent and
// received, with the seconds since the trace began: "  0.5231 tx "W"".
// Received characters are logged as soon as the link asks what is waiting
// (every pass of its waits), so a wrong baud rate shows at once; the trace
// keeps them and serves the link's takes from them.
class TracePort : public SerialPort
{
public:
    TracePort(SerialPort &port, const Clock &clock, QIODevice &log);

    bool open(const PortChoice &port, const LineSettings &settings) override;
    void close() override;
    State state() const override { return m_port.state(); }
    PortFailure lastFailure() const override { return m_port.lastFailure(); }

    int waitingCount() override;
    void discardInput() override;
    QByteArray take(int max = 0) override;
    void send(const QByteArray &bytes) override;

private:
    void log(const QString &event);

    SerialPort &m_port;
    const Clock &m_clock;
    QIODevice &m_log;
    double m_start;
    QByteArray m_received; // logged, not yet taken
};
