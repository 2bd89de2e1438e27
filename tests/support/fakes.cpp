#include "fakes.h"

#include <QFile>
#include <QTest>

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/resource.h>

void addTerminationSignalRows()
{
    // A suite started in the background ignores SIGINT, and its programs would inherit that.
    QTest::addColumn<int>("signal");
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::signal(signal, SIG_DFL);
        QTest::addRow("SIG%s", sigabbrev_np(signal)) << signal;
    }
}

void limitFileSize(long bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes < 0 ? RLIM_INFINITY : rlim_t(bytes), RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}

Fifo::Fifo(const QString &path, bool reader)
    : m_path(QFile::encodeName(path))
    , m_reader((mkfifo(m_path, 0600), reader ? open(m_path, O_RDONLY | O_NONBLOCK) : -1))
    , m_rescue([this] {
        // An end that comes and goes ends a wait in open() or read().
        while (!m_done.tryAcquire(1, 3000))
            close(open(m_path, O_RDWR | O_NONBLOCK));
    })
{}

Fifo::~Fifo()
{
    m_done.release();
    m_rescue.join();
    close(m_reader);
}

QByteArray Fifo::take()
{
    QByteArray bytes(1 << 16, '\0');
    bytes.resize(qMax(0L, long(read(m_reader, bytes.data(), size_t(bytes.size())))));
    return bytes;
}

bool Fifo::isFifo() const
{
    struct stat status = {};
    return stat(m_path, &status) == 0 && S_ISFIFO(status.st_mode);
}
#endif
