#include "simport.h"

#include <QRegularExpression>

SimPort::SimPort(QStringList *log, const sim::BoardOptions &options)
    : m_log(log)
    , m_board(options)
{}

void SimPort::log(const QString &event)
{
    if (m_log)
        m_log->append(event);
}

bool SimPort::open(const PortChoice &port, const LineSettings &settings)
{
    m_number = port.number;
    log(QStringLiteral("port %1").arg(port.number));
    log(QStringLiteral("settings ") + settings.text());
    log(QStringLiteral("open"));
    if (!isPortNumber(m_number) || refuseOpen) {
        m_error = QStringLiteral("No such file or directory");
        return false;
    }
    m_open = true;
    m_failed = false;
    ++opens;
    return true;
}

void SimPort::close()
{
    log(QStringLiteral("close"));
    m_open = false;
}

// A chattering board always has more characters waiting.
void SimPort::topUpChatter()
{
    constexpr int supply = 64;
    if (m_open && m_input.size() < supply)
        m_input += m_board.chatter(supply - int(m_input.size()));
}

int SimPort::waitingCount()
{
    topUpChatter();
    return m_open ? int(m_input.size()) : 0;
}

void SimPort::discardInput()
{
    log(QStringLiteral("discard"));
    m_input.clear();
}

QByteArray SimPort::take(int max)
{
    topUpChatter();
    const QByteArray taken = m_input.left(max == 0 ? m_input.size() : max);
    m_input.remove(0, taken.size());
    if (logTakes && !taken.isEmpty())
        log(QStringLiteral("take ") + QString::fromLatin1(taken));
    return taken;
}

void SimPort::send(const QByteArray &bytes)
{
    if (!m_open)
        return;
    log(QStringLiteral("send ") + QString::fromLatin1(bytes));
    received += bytes;
    (holdReplies ? m_held : m_input) += m_board.receive(bytes);
    if (m_board.hungUp())
        loseDevice();
}

void SimPort::release()
{
    if (m_open)
        m_input += m_held;
    m_held.clear();
}

void SimPort::loseDevice()
{
    m_open = false;
    m_failed = true;
    m_input.clear();
    m_error = QStringLiteral("Input/output error");
}

QStringList SimPort::commands() const
{
    QStringList lines;
    for (const char c : received) {
        if (c == 'Q')
            continue;
        if (QByteArray("WRYX").contains(c))
            lines.append(QString());
        if (!lines.isEmpty())
            lines.last().append(QLatin1Char(c));
    }
    return lines;
}

QStringList SimPort::writes() const
{
    static const QRegularExpression single(QStringLiteral("^W0x00([0-9A-F]{2}) 0x1 0x([0-9A-F]{2}) $"));
    QStringList result;
    for (const QString &line : commands()) {
        const QRegularExpressionMatch m = single.match(line);
        if (m.hasMatch())
            result.append(m.captured(1) + QLatin1Char('=') + m.captured(2));
    }
    return result;
}
