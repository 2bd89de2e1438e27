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

    void setPortNumber(int number) override { m_port.setPortNumber(number); }
    void setSettings(LineSettings settings) override { m_port.setSettings(settings); }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool hasFailed() const override { return m_port.hasFailed(); }

    int waitingCount() override;
    void discardInput() override;
    QByteArray take(int max = 0) override;
    void send(const QByteArray &bytes) override;

    QString devicePath() const override { return m_port.devicePath(); }
    QString errorString() const override { return m_port.errorString(); }

private:
    void log(const QString &event);

    SerialPort &m_port;
    const Clock &m_clock;
    QIODevice &m_log;
    double m_start;
    QByteArray m_received; // logged, not yet taken
};
