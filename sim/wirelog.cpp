#include "wirelog.h"

namespace sim {

bool WireLog::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    *error = QStringLiteral("cannot open log %1: %2").arg(path, m_file.errorString());
    return false;
}

void WireLog::record(Direction direction, const QByteArray &bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    QByteArray line = direction == Direction::Received ? "rx " : "tx ";
    line += escaped(bytes);
    line += '\n';
    m_file.write(line);
    // Flushed per line so that a test can follow the log while the board runs.
    m_file.flush();
}

QByteArray WireLog::escaped(const QByteArray &bytes)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    QByteArray text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += hexDigits[byte >> 4];
            text += hexDigits[byte & 0x0F];
        }
    }
    return text;
}

} // namespace sim
