#include "ptyboard.h"

#include "platform/portproblems.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <vector>
#include <unistd.h>

namespace sim {

namespace {

// Ptys passed over for a lock file at most; the last one is taken all the same.
constexpr size_t maxPassedOver = 16;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

QByteArray linkTarget(const QByteArray &link)
{
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink(link.constData(), buffer.data(), buffer.size() - 1);
    if (length < 0)
        return {};
    return QByteArray(buffer.data(), static_cast<int>(length));
}

} // namespace

PtyBoard::PtyBoard(const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_core(settings.options)
{
    m_paceTimer.setSingleShot(true);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &PtyBoard::sendDue);
    m_chatterTimer.setInterval(chatterTick);
    connect(&m_chatterTimer, &QTimer::timeout, this, &PtyBoard::chatter);
}

PtyBoard::~PtyBoard()
{
    removeLink();
}

bool PtyBoard::start(QString *error)
{
    if (!m_settings.logPath.isEmpty() && !m_log.open(m_settings.logPath, error))
        return false;
    if (!openPty(error) || !makeLink(error))
        return false;
    m_readNotifier = new QSocketNotifier(m_master.get(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyBoard::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master.get(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyBoard::sendDue);
    return true;
}

bool PtyBoard::openMaster(QString *error)
{
    m_master.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!m_master.isValid()) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(m_master.get()) != 0 || ::unlockpt(m_master.get()) != 0) {
        *error = systemError("grantpt/unlockpt");
        return false;
    }
    std::array<char, 256> name{};
    if (::ptsname_r(m_master.get(), name.data(), name.size()) != 0) {
        *error = systemError("ptsname");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name.data());
    return true;
}

bool PtyBoard::openPty(QString *error)
{
    // A lock file that another run or user left for a pty keeps the programs
    // from opening it: such a pty is passed over, and held meanwhile so that
    // the next one gets another number.
    std::vector<UniqueFd> passedOver;
    for (;;) {
        if (!openMaster(error))
            return false;
        if (PortProblems::lockFile(m_slavePath).isEmpty() || passedOver.size() == maxPassedOver)
            break;
        passedOver.push_back(std::move(m_master));
    }
    const int flags = ::fcntl(m_master.get(), F_GETFL);
    if (flags < 0 || ::fcntl(m_master.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = systemError("fcntl");
        return false;
    }
    m_slave.reset(::open(QFile::encodeName(m_slavePath).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!m_slave.isValid()) {
        *error = systemError("open slave");
        return false;
    }
    // Raw like a serial port: no echo, no line editing, no CR/LF translation.
    termios settings{};
    if (::tcgetattr(m_slave.get(), &settings) != 0) {
        *error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(m_slave.get(), TCSANOW, &settings) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }
    return true;
}

bool PtyBoard::makeLink(QString *error)
{
    // Made under a temporary name and renamed, so an old link is replaced
    // in one step and never missing in between.
    const QByteArray link = QFile::encodeName(m_settings.linkPath);
    const QByteArray temporary = link + ".new-" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(m_slavePath).constData(), temporary.constData()) != 0) {
        *error = systemError("symlink");
        return false;
    }
    if (::rename(temporary.constData(), link.constData()) != 0) {
        *error = systemError("rename link");
        ::unlink(temporary.constData());
        return false;
    }
    m_linkMade = true;
    return true;
}

void PtyBoard::removeLink()
{
    if (!m_linkMade)
        return;
    m_linkMade = false;
    // Leave the link alone if another board has taken it over meanwhile.
    const QByteArray link = QFile::encodeName(m_settings.linkPath);
    if (linkTarget(link) == QFile::encodeName(m_slavePath))
        ::unlink(link.constData());
}

void PtyBoard::readMaster()
{
    std::array<char, 256> buffer{};
    const ssize_t length = ::read(m_master.get(), buffer.data(), buffer.size());
    if (length < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        std::fprintf(stderr, "kv71xx-board: %s\n", qPrintable(systemError("read")));
        hangUp();
        return;
    }
    const QByteArray received(buffer.data(), static_cast<int>(length));
    m_log.record(WireLog::Direction::Received, received);
    const QByteArray reply = m_core.receive(received);
    m_log.record(WireLog::Direction::Sent, reply);
    if (m_core.hungUp()) {
        m_readNotifier->setEnabled(false);
        m_hangUpRequested = true;
    }
    enqueue(reply);
    hangUpWhenDrained();
    if (m_core.chattering() && !m_chatterTimer.isActive())
        m_chatterTimer.start();
}

void PtyBoard::chatter()
{
    // Never more than a chunk queued, so a reader that stops costs nothing.
    if (m_pending.size() >= chatterChunk)
        return;
    const QByteArray stream = m_core.chatter(chatterChunk);
    m_log.record(WireLog::Direction::Sent, stream);
    enqueue(stream);
}

void PtyBoard::enqueue(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_pending.isEmpty()) {
        // A byte is handed to the pty when its stop bit would have arrived.
        m_headDue = std::max(m_lineFreeAt, Clock::now()) + byteTime;
    }
    m_pending += bytes;
    sendDue();
}

void PtyBoard::sendDue()
{
    if (!m_master.isValid())
        return;
    m_writeNotifier->setEnabled(false);
    while (!m_pending.isEmpty()) {
        if (!m_settings.paced) {
            if (!writePending(m_pending.size()))
                return;
            continue;
        }
        const Clock::time_point now = Clock::now();
        if (now < m_headDue) {
            m_paceTimer.start(std::chrono::ceil<std::chrono::milliseconds>(m_headDue - now));
            return;
        }
        if (!writePending(1))
            return;
        // Scheduled from the previous slot, not from now, so delays never add up.
        m_lineFreeAt = m_headDue;
        m_headDue = m_lineFreeAt + byteTime;
    }
    hangUpWhenDrained();
}

// Writes up to count pending bytes; false when the rest must wait.
bool PtyBoard::writePending(int count)
{
    const ssize_t written = ::write(m_master.get(), m_pending.constData(), static_cast<size_t>(count));
    if (written > 0) {
        m_pending.remove(0, static_cast<int>(written));
        return static_cast<int>(written) == count || !m_settings.paced;
    }
    if (written < 0 && errno == EINTR)
        return true;
    if (written < 0 && errno == EAGAIN) {
        // Nobody is reading and the slave's buffer is full.
        m_writeNotifier->setEnabled(true);
        return false;
    }
    std::fprintf(stderr, "kv71xx-board: %s\n", qPrintable(systemError("write")));
    m_pending.clear();
    hangUp();
    return false;
}

void PtyBoard::hangUpWhenDrained()
{
    if (m_hangUpRequested && m_pending.isEmpty())
        hangUp();
}

void PtyBoard::hangUp()
{
    if (!m_master.isValid())
        return;
    m_paceTimer.stop();
    m_chatterTimer.stop();
    // Disabled before their descriptor closes; this may run inside their own signal.
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    // Closing the master hangs up every other opener of the slave.
    m_master.reset();
    m_slave.reset();
    removeLink();
    emit hungUp();
}

} // namespace sim
