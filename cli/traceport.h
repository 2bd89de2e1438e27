#pragma once

#include "platform/serialport.h"

class Clock;
class QIODevice;

// Passes everything on to the real port and logs each character sent and
// received, with the seconds since the trace began: "  0.5231 tx "W"".
// Characters thrown away unread are logged as received too, marked so.
class TracePort : public SerialPort
{
public:
    TracePort(SerialPort &port, const Clock &clock, QIODevice &log);

    bool open(const PortChoice &port, const LineSettings &settings) override;
    void close() override;
    State state() const override { return m_port.state(); }
    PortFailure lastFailure() const override { return m_port.lastFailure(); }

    int waitingCount() override { return m_port.waitingCount(); }
    void discardInput() override;
    QByteArray take(int max = 0) override;
    void send(const QByteArray &bytes) override;

private:
    void log(const QString &event);

    SerialPort &m_port;
    const Clock &m_clock;
    QIODevice &m_log;
    double m_start;
};
