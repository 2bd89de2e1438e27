// The kv71xx-board executable: pty, link, log, pacing, hang-up and signals.

#include "uniquefd.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Generous limits that only matter when something is broken.
constexpr int failureTimeoutMs = 3000;

// Registers 0x00..0x0F at power-on, as the board prints them.
const char powerOnBurst[] = "7100007C0A0080808040404005140698";

// The program's end of the line: the pty slave opened through the link.
class Port
{
public:
    bool open(const QString &path)
    {
        m_fd.reset(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        termios settings{};
        if (!m_fd.isValid() || ::tcgetattr(m_fd.get(), &settings) != 0)
            return false;
        ::cfmakeraw(&settings);
        return ::tcsetattr(m_fd.get(), TCSANOW, &settings) == 0;
    }

    void close() { m_fd.reset(); }

    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd.get(), bytes.constData(), bytes.size()) == bytes.size();
    }

    // Whatever arrives within timeoutMs; sets hungUp when the line is gone.
    QByteArray readSome(int timeoutMs)
    {
        pollfd entry{m_fd.get(), POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0)
            return {};
        char buffer[256];
        const ssize_t length = ::read(m_fd.get(), buffer, sizeof buffer);
        if (length > 0)
            return QByteArray(buffer, int(length));
        if (length == 0 || errno == EIO || (entry.revents & POLLHUP))
            m_hungUp = true;
        return {};
    }

    QByteArray readExactly(int count)
    {
        QByteArray data;
        QElapsedTimer timer;
        timer.start();
        while (data.size() < count && !m_hungUp && !timer.hasExpired(failureTimeoutMs))
            data += readSome(failureTimeoutMs);
        return data;
    }

    // Reads up to and including the character after the prompt ">".
    QByteArray readThroughPrompt()
    {
        QByteArray data;
        QElapsedTimer timer;
        timer.start();
        while (!m_hungUp && !timer.hasExpired(failureTimeoutMs)) {
            const int prompt = data.indexOf('>');
            if (prompt >= 0 && data.size() > prompt + 1)
                break;
            data += readSome(failureTimeoutMs);
        }
        return data;
    }

    bool waitForHangUp()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_hungUp && !timer.hasExpired(failureTimeoutMs))
            readSome(failureTimeoutMs);
        return m_hungUp;
    }

private:
    sim::UniqueFd m_fd;
    bool m_hungUp = false;
};

// One kv71xx-board process in its own temporary directory.
class Board
{
public:
    explicit Board(const QStringList &extraArguments = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(KV71XX_BOARD_EXE),
                        QStringList{QStringLiteral("--link"), link(), QStringLiteral("--log"), logPath()}
                            + extraArguments);
    }

    ~Board()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(failureTimeoutMs))
            m_process.kill();
    }

    Board(const Board &) = delete;
    Board &operator=(const Board &) = delete;

    // Waits for "ready <slave>"; the link exists from then on.
    bool waitForReady()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(failureTimeoutMs))
                return false;
        }
        const QByteArray line = m_process.readLine().trimmed();
        if (!line.startsWith("ready "))
            return false;
        m_slavePath = QString::fromLocal8Bit(line.mid(6));
        return true;
    }

    QString link() const { return m_dir.filePath(QStringLiteral("COM1")); }
    QString logPath() const { return m_dir.filePath(QStringLiteral("board.log")); }
    QString slavePath() const { return m_slavePath; }
    QProcess &process() { return m_process; }

    bool linkExists() const
    {
        const QFileInfo info(link());
        return info.isSymLink() || info.exists();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_slavePath;
};

QByteArray unescaped(const QByteArray &text)
{
    QByteArray bytes;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != '\\' || i + 1 == text.size()) {
            bytes += text.at(i);
            continue;
        }
        const char code = text.at(++i);
        if (code == 'r') {
            bytes += '\r';
        } else if (code == 'n') {
            bytes += '\n';
        } else if (code == 'x') {
            bytes += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            bytes += code;
        }
    }
    return bytes;
}

QByteArrayList logLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArrayList lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// All bytes logged in one direction ("rx " or "tx "), in order.
QByteArray loggedBytes(const QByteArrayList &lines, const QByteArray &prefix)
{
    QByteArray bytes;
    for (const QByteArray &line : lines) {
        if (line.startsWith(prefix))
            bytes += unescaped(line.mid(prefix.size()));
    }
    return bytes;
}

} // namespace

class TestBoardExe : public QObject
{
    Q_OBJECT

private slots:
    void readOneRegisterByteByByte();
    void reopenedPortKeepsWorking();
    void pacedBurstTakesLineTime();
    void signalRemovesLink_data();
    void signalRemovesLink();
    void hangUpAfterClosesLine();
};

void TestBoardExe::readOneRegisterByteByByte()
{
    Board board;
    QVERIFY(board.waitForReady());
    QCOMPARE(QFileInfo(board.link()).symLinkTarget(), board.slavePath());
    Port port;
    QVERIFY(port.open(board.link()));

    // The letter gets no echo: the first byte back is the echo of '0'.
    QVERIFY(port.write("R"));
    const QByteArray fields = "0x0003 0x1";
    for (const char byte : fields) {
        QVERIFY(port.write(QByteArray(1, byte)));
        QCOMPARE(port.readExactly(1), QByteArray(1, byte));
    }
    QVERIFY(port.write(" "));
    QCOMPARE(port.readThroughPrompt(), QByteArray(" \r\n7C> "));
    QCOMPARE(port.readSome(30), QByteArray());

    const QByteArrayList lines = logLines(board.logPath());
    for (const QByteArray &line : lines)
        QVERIFY2(line.startsWith("rx ") || line.startsWith("tx "), line.constData());
    QCOMPARE(loggedBytes(lines, "rx "), QByteArray("R0x0003 0x1 "));
    QCOMPARE(loggedBytes(lines, "tx "), QByteArray("0x0003 0x1 \r\n7C> "));
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines.at(lines.size() - 2), QByteArray("rx  "));
    QCOMPARE(lines.last(), QByteArray("tx  \\r\\n7C> "));
}

void TestBoardExe::reopenedPortKeepsWorking()
{
    Board board;
    QVERIFY(board.waitForReady());
    Port port;
    QVERIFY(port.open(board.link()));
    QVERIFY(port.write("Q"));
    QCOMPARE(port.readThroughPrompt(), QByteArray("\r\n> "));
    port.close();

    QVERIFY(port.open(board.link()));
    QVERIFY(port.write("W0x0004 0x1 0x05 "));
    QCOMPARE(port.readThroughPrompt(), QByteArray("0x0004 0x1 0x05 \r\n> "));
    QVERIFY(port.write("R0x0004 0x1 "));
    QCOMPARE(port.readThroughPrompt(), QByteArray("0x0004 0x1 \r\n05> "));
}

void TestBoardExe::pacedBurstTakesLineTime()
{
    Board board({QStringLiteral("--pace")});
    QVERIFY(board.waitForReady());
    Port port;
    QVERIFY(port.open(board.link()));

    const QByteArray expected = QByteArray("0x0000 0x10 ") + powerOnBurst + "> ";
    QElapsedTimer timer;
    timer.start();
    QVERIFY(port.write("R0x0000 0x10 "));
    QCOMPARE(port.readThroughPrompt(), expected);
    // A lower bound only: at 9600 baud 8N1 each byte takes 10 bits.
    const qint64 lineTimeNs = qint64(expected.size()) * 10 * 1'000'000'000 / 9600;
    QVERIFY2(timer.nsecsElapsed() >= lineTimeNs,
             qPrintable(QStringLiteral("%1 ns").arg(timer.nsecsElapsed())));
}

void TestBoardExe::signalRemovesLink_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestBoardExe::signalRemovesLink()
{
    QFETCH(int, signalNumber);
    Board board;
    QVERIFY(board.waitForReady());
    QVERIFY(QFileInfo(board.link()).isSymLink());
    QCOMPARE(::kill(pid_t(board.process().processId()), signalNumber), 0);
    QVERIFY(board.process().waitForFinished(failureTimeoutMs));
    QCOMPARE(board.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(board.process().exitCode(), 0);
    QVERIFY(!board.linkExists());
}

void TestBoardExe::hangUpAfterClosesLine()
{
    Board board({QStringLiteral("--hang-up-after"), QStringLiteral("3")});
    QVERIFY(board.waitForReady());
    Port port;
    QVERIFY(port.open(board.link()));
    QVERIFY(port.write("R0x0003 0x1 "));
    QVERIFY(port.waitForHangUp());
    QVERIFY(board.process().waitForFinished(failureTimeoutMs));
    QCOMPARE(board.process().exitCode(), 0);
    QVERIFY(!board.linkExists());
    QCOMPARE(loggedBytes(logLines(board.logPath()), "tx "), QByteArray("0x"));
}

QTEST_GUILESS_MAIN(TestBoardExe)
#include "tst_boardexe.moc"
