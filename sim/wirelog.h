#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace sim {

// Human-readable record of the traffic: one line per run of bytes in one
// direction, "rx " for bytes from the program and "tx " for the board's.
class WireLog
{
public:
    enum class Direction { Received, Sent };

    bool open(const QString &path, QString *error);
    void record(Direction direction, const QByteArray &bytes);

    // Printable ASCII as is, \r, \n, \\ and \xNN for everything else.
    static QByteArray escaped(const QByteArray &bytes);

private:
    QFile m_file;
};

} // namespace sim
