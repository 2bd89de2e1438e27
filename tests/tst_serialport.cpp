// The real port layer on pseudo-terminals: device names, exchanges, device counts, permissions, locks.

#include "boardprocess.h"
#include "fakes.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "platform/immediateend.h"
#include "platform/lockfileinstance.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Fault = sim::BoardOptions::Fault;

// kv71xx-board serving COM1 in the current directory, with its byte log.
struct Board : sim::BoardProcess
{
    explicit Board(const sim::BoardOptions &options, bool paced = false)
        : BoardProcess({QStringLiteral("COM1"), options, paced, QStringLiteral("board.log")})
    {}
};

// Runs the body in a child process; true when it returned true.
bool inChild(const std::function<bool()> &body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body() ? 0 : 1);
    int status = 1;
    return ::waitpid(child, &status, 0) == child && status == 0;
}

// The program's link on COM1 over the real port layer and the real clock.
struct Link
{
    QtSerialPort port;
    RealClock clock;
    FakeMessageBoxes boxes{&clock};
    BoardLink link{port, clock, boxes, [] { return 1; }};
    BoardCommands commands{link};
};

} // namespace

Q_DECLARE_METATYPE(sim::BoardOptions)

class TestSerialPort : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The program looks for its COMn links in the current directory.
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); }

    // A COMn link opens its target, so that the port's lock names the real device.
    void devices()
    {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), QStringLiteral("COM2")));
        QCOMPARE(::serialDeviceFor(2) + '|' + ::serialDeviceFor(3), QStringLiteral("/dev/null|/dev/ttyS2"));
    }

    // A user outside the device's group is told which group to join.
    void permissionNamesTheGroup()
    {
        QFile device(QStringLiteral("device"));
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(device.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::link(QFileInfo(device).absoluteFilePath(), QStringLiteral("COM5")));
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
        const QString hint = QStringLiteral("your user must be in its group \"%1\" (sudo usermod -aG %1 $USER, then "
                                            "log in again)")
                                 .arg(QFileInfo(device).group());
        QVERIFY(inChild([&] {
            QtSerialPort port;
            port.setPortNumber(5);
            return ::setgid(65534) == 0 && ::setuid(65534) == 0 && !port.open() && port.errorString().endsWith(hint);
        }));
    }

    void exchangeOverThePty()
    {
        Board board({}, true);
        QVERIFY(board.ready());
        Link link;
        QElapsedTimer reset;
        reset.start();
        QVERIFY2(link.link.Connect_Board(), qPrintable(link.port.errorString()));
        QVERIFY(reset.nsecsElapsed() >= 500'000'000); // the board's time to reach its prompt

        link.commands.Write_KV7106(0x06, 0x80);
        QCOMPARE(link.commands.Read_KV7106(0x06), QStringLiteral("80"));
        QCOMPARE(link.commands.Read_KV7106_Burst(0x0C, 2), QStringLiteral("0514"));

        QCOMPARE(board.received(), QByteArray("QQQW0x0006 0x1 0x80 R0x0006 0x1 R0x000C 0x02 "));
        QVERIFY(link.boxes.shown.isEmpty());
    }

    // A count taken after a wait's deadline includes what the device holds
    // beyond the port's own buffer.
    void waitingCountsTheDevice()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        QFile::remove(QStringLiteral("COM4"));
        QVERIFY(QFile::link(QString::fromLatin1(::ptsname(master)), QStringLiteral("COM4")));
        QtSerialPort port;
        port.setPortNumber(4);
        QVERIFY2(port.open(), qPrintable(port.errorString()));
        QCOMPARE(::write(master, "A", 1), 1);
        QTRY_COMPARE(port.waitingCount(), 1);
        QCOMPARE(::write(master, "B", 1), 1);
        QTest::qSleep(100); // no event loop runs: only asking the device finds B
        QCOMPARE(port.waitingCount(), 2);
        QCOMPARE(port.take(), QByteArray("AB"));
        ::close(master);
    }

    // Every way out releases the port's lock file, even from inside a wait.
    void endReleasesThePortLock()
    {
        Board board({});
        QVERIFY(board.ready());
        const QString lock = "/var/lock/LCK.." + QFile::symLinkTarget(QStringLiteral("COM1")).mid(5).replace('/', '_');
        QVERIFY(inChild([&] { // true: it found the lock, then ended
            QtSerialPort port;
            port.setPortNumber(1);
            LockFileInstance instance(QStringLiteral("instance.lock"));
            ImmediateEnd end(port, &instance);
            if (port.open() && QFile::exists(lock))
                end.endProgram();
            return false;
        }));
        QVERIFY(!QFile::exists(lock));
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
