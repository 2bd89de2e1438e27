#include "traceport.h"

#include "platform/clock.h"

#include <QIODevice>

namespace {

// Printable characters as they are, the rest escaped, all in quotes.
QString quoted(const QByteArray &bytes)
{
    QString text(QLatin1Char('"'));
    for (const char c : bytes) {
        if (c == '\r')
            text += QLatin1String("\\r");
        else if (c == '\n')
            text += QLatin1String("\\n");
        else if (c == '"' || c == '\\')
            text += QLatin1String("\\") + QLatin1Char(c);
        else if (c >= ' ' && c <= '~')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(quint8(c), 2, 16, QLatin1Char('0'));
    }
    return text + QLatin1Char('"');
}

} // namespace

TracePort::TracePort(SerialPort &port, const Clock &clock, QIODevice &log)
    : m_port(port)
    , m_clock(clock)
    , m_log(log)
    , m_start(clock.seconds())
{}

void TracePort::log(const QString &event)
{
    const QString line = QStringLiteral("%1 %2\n").arg(m_clock.seconds() - m_start, 9, 'f', 4).arg(event);
    m_log.write(line.toLatin1());
}

bool TracePort::open(const PortChoice &port, const LineSettings &settings)
{
    m_received.clear();
    const bool opened = m_port.open(port, settings);
    const PortFailure failure = m_port.lastFailure();
    log(opened ? QStringLiteral("open %1").arg(failure.device)
               : QStringLiteral("open %1 failed: %2").arg(failure.device, failure.reason));
    return opened;
}

void TracePort::close()
{
    log(QStringLiteral("close"));
    m_received.clear();
    m_port.close();
}

int TracePort::waitingCount()
{
    if (m_port.waitingCount() > 0) {
        const QByteArray arrived = m_port.take();
        log(QStringLiteral("rx ") + quoted(arrived));
        m_received += arrived;
    }
    return int(m_received.size());
}

void TracePort::discardInput()
{
    if (waitingCount() > 0)
        log(QStringLiteral("discard %1").arg(m_received.size()));
    m_received.clear();
    m_port.discardInput();
}

QByteArray TracePort::take(int max)
{
    waitingCount();
    const QByteArray taken = m_received.left(max == 0 ? m_received.size() : max);
    m_received.remove(0, taken.size());
    return taken;
}

void TracePort::send(const QByteArray &bytes)
{
    log(QStringLiteral("tx ") + quoted(bytes));
    m_port.send(bytes);
}
