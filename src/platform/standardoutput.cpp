#include "standardoutput.h"

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace StandardOutput {

bool print(const QByteArray &bytes, QString *error)
{
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    // A full disk shows only when the buffer goes out.
    if (std::fflush(stdout) == 0 && written)
        return true;
    if (error)
        *error = QStringLiteral("cannot write to standard output: ") + qt_error_string(errno);
    return false;
}

} // namespace StandardOutput

StandardOutputDevice::StandardOutputDevice(std::function<void()> closedPipe)
    : m_closedPipe(std::move(closedPipe))
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StandardOutputDevice::writeData(const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const auto written = ::write(1, data + done, size_t(size - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written < 0 && errno == EPIPE)
                m_closedPipe();
            setErrorString(qt_error_string(errno));
            return done > 0 ? done : -1;
        }
        done += written;
    }
    return done;
}
