#include "fakes.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/resource.h>

void addTerminationSignalRows()
{
    // A suite started in the background ignores SIGINT, and the programs it
    // starts would inherit that: they are to meet the signals as a user sends them.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, SIG_DFL);
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void FakeClock::pause(double seconds)
{
    if (m_log)
        m_log->add(QStringLiteral("pause %1").arg(seconds));
    m_now += seconds;
    if (onWait)
        onWait();
}

void FakeClock::processEvents()
{
    if (m_log)
        m_log->add(QStringLiteral("yield"));
    QCoreApplication::processEvents();
}

void FakeClock::waitForEvents(double deadline)
{
    ++blockingWaits;
    QCoreApplication::processEvents();
    if (onWait)
        onWait();
    m_now = qMax(m_now, deadline);
}

void FakeMessageBoxes::show(const QString &text, const QString &caption, Icon icon)
{
    if (m_log)
        m_log->add(QStringLiteral("message ") + text);
    shown.append({text, caption, icon, m_clock ? m_clock->seconds() : 0.0});
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result.append(s.text);
    return result;
}

long FakeRegistry::RegOpenKeyExA(Key root, const QString &subKey, quint32, quint32 access, Key *result)
{
    opens.append(QStringLiteral("%1 %2").arg(subKey).arg(access, 0, 16));
    openedKey = subKey;
    const bool found = root == LocalMachine && !values.keys().filter(subKey + QLatin1Char('|')).isEmpty();
    *result = found ? 1 : 0;
    return found ? Success : FileNotFound;
}

long FakeRegistry::RegQueryValueExA(Key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size)
{
    const QByteArray data = values.value(openedKey + QLatin1Char('|') + valueName);
    if (data.isEmpty())
        return FileNotFound;
    *type = StringType;
    *size = quint32(data.size());
    buffer->replace(0, data.size(), data);
    return Success;
}

void limitFileSize(long bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes < 0 ? RLIM_INFINITY : rlim_t(bytes), RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}

Fifo::Fifo(const QString &path, bool reader)
    : m_path(QFile::encodeName(path))
    , m_reader((mkfifo(m_path.constData(), 0600), reader ? open(m_path.constData(), O_RDONLY | O_NONBLOCK) : -1))
    , m_rescue([this] {
        // An end that comes and goes ends a wait in open() or read().
        while (!m_done.tryAcquire(1, 3000))
            close(open(m_path.constData(), O_RDWR | O_NONBLOCK));
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
    return stat(m_path.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}
