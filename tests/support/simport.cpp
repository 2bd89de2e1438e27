#include "simport.h"

#include "fakes.h"

#include <QRegularExpression>

SimPort::SimPort(EventLog *log, const sim::BoardOptions &options)
    : m_log(log)
    , m_board(options)
{}

void SimPort::log(const QString &event)
{
    if (m_log)
        m_log->add(event);
}

void SimPort::setPortNumber(int number)
{
    m_number = number;
    log(QStringLiteral("port %1").arg(number));
}

void SimPort::setSettings(const QString &settings)
{
    log(QStringLiteral("settings ") + settings);
}

bool SimPort::open()
{
    log(QStringLiteral("open"));
    if (m_number < 1 || m_number > 8 || refuseOpen) {
        m_error = m_number == 0 ? QStringLiteral("no serial port is selected")
                                : QStringLiteral("No such file or directory");
        return false;
    }
    m_open = true;
    m_failed = false;
    ++m_opens;
    return true;
}

void SimPort::close()
{
    log(QStringLiteral("close"));
    m_open = false;
}

void SimPort::discardInput()
{
    log(QStringLiteral("discard"));
    m_input.clear();
}

void SimPort::setTakeLength(int length)
{
    m_takeLength = length;
}

QByteArray SimPort::take()
{
    const int n = m_takeLength == 0 ? int(m_input.size()) : qMin<int>(m_takeLength, m_input.size());
    const QByteArray taken = m_input.left(n);
    m_input.remove(0, n);
    if (logTakes && !taken.isEmpty())
        log(QStringLiteral("take ") + QString::fromLatin1(taken));
    return taken;
}

void SimPort::send(const QByteArray &text)
{
    if (!m_open)
        return;
    log(QStringLiteral("send ") + QString::fromLatin1(text));
    m_received += text;
    m_input += m_board.receive(text);
    if (m_board.hungUp())
        loseDevice();
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
    for (const char c : m_received) {
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
    static const QRegularExpression single(
        QStringLiteral("^W0x00([0-9A-F]{2}) 0x1 0x([0-9A-F]{2}) $"));
    QStringList result;
    for (const QString &line : commands()) {
        const QRegularExpressionMatch m = single.match(line);
        if (m.hasMatch())
            result.append(m.captured(1) + QLatin1Char('=') + m.captured(2));
    }
    return result;
}
