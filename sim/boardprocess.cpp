#include "boardprocess.h"

#include <QFile>

namespace sim {

BoardProcess::BoardProcess(const Settings &settings)
    : m_settings(settings)
{
    QStringList arguments{QStringLiteral("--link"), settings.linkPath};
    if (settings.paced)
        arguments.append(QStringLiteral("--pace"));
    if (!settings.logPath.isEmpty())
        arguments << QStringLiteral("--log") << settings.logPath;
    m_process.start(QStringLiteral(KV71XX_BOARD_EXE), arguments + faultArguments(settings.options));
    // It prints "ready <device>" in one write once the link exists.
    m_ready = m_process.waitForReadyRead(10000) && m_process.readLine().startsWith("ready ");
}

BoardProcess::~BoardProcess()
{
    m_process.terminate();
    m_process.waitForFinished(3000);
}

QByteArray BoardProcess::received(const QString &logPath)
{
    QFile log(logPath);
    QByteArray bytes;
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : log.readAll().split('\n')) {
            if (line.startsWith("rx "))
                bytes += line.mid(3);
        }
    }
    return bytes;
}

} // namespace sim
