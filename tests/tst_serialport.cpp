// The real port layer on pseudo-terminals: device routes, exchanges, device counts, open failures, locks.

#include "boardprocess.h"
#include "fakes.h"
#include "texts.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "platform/immediateend.h"
#include "platform/lockfileinstance.h"
#include "platform/portroutes.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
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
    BoardLink link{port, clock, boxes};
    BoardCommands commands{link};
    Link() { link.setPort(1); }
};

} // namespace

Q_DECLARE_METATYPE(sim::BoardOptions)

class TestSerialPort : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The program looks for its COMn links in the current directory, and for
    // the port assignments in a configuration folder of the test's own.
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
    }
    void cleanup() { QFile::remove(QStringLiteral("board.log")); }

    void portLeadsToItsLinkThenItsAssignmentThenTheBuiltInDevice_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("route");
        const QString dir = QDir::currentPath();
        const QString builtIn = QFile::exists("/dev/ttyS2") ? "/dev/ttyS2" : "/dev/ttyS2, not present";
        const QString through = " through the link COM3 in " + dir;
        // clang-format off
        QTest::newRow("built-in") << "" << "" << builtIn;
        QTest::newRow("link") << "/dev/null" << "" << "/dev/null" + through;
        QTest::newRow("link before assignment") << "/dev/null" << "/dev/zero" << "/dev/null" + through;
        QTest::newRow("link to a missing target") << dir + "/ttyGone" << "" << dir + "/ttyGone" + through + ", not present";
        QTest::newRow("assignment") << "" << dir + "/by-id" << "/dev/zero through the assigned " + dir + "/by-id";
        QTest::newRow("assignment unplugged") << "" << dir + "/gone" << dir + "/gone (assigned), not present";
        // clang-format on
    }

    void portLeadsToItsLinkThenItsAssignmentThenTheBuiltInDevice()
    {
        QFETCH(QString, link);
        QFETCH(QString, assigned);
        QFile::link(QStringLiteral("/dev/zero"), QStringLiteral("by-id"));
        QFile::remove(QStringLiteral("COM3"));
        QVERIFY(link.isEmpty() || QFile::link(link, QStringLiteral("COM3")));
        QVERIFY(PortAssignments::assign(3, assigned, nullptr));
        QTEST(portRoute(3).text(), "route");
    }

    void openFailureNamesTheMissingTargetOfALink()
    {
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("ttyUSB9")), QStringLiteral("COM6")));
        Link link;
        link.link.setPort(6);
        QVERIFY(!link.link.connectOrReport());
        const QString target = m_dir.filePath(QStringLiteral("ttyUSB9"));
        QCOMPARE(link.boxes.texts(),
                 QStringList{Texts::cannotOpen(6, target,
                                               "the link COM6 in " + QDir::currentPath() + " leads to " + target
                                                   + ", which is not there")});
    }

    void openFailureNamesTheProgramHoldingThePort()
    {
        Board board({});
        QVERIFY(board.ready());
        const QString device = QFile::symLinkTarget(QStringLiteral("COM1"));
        const QString lock = "/var/lock/LCK.." + device.mid(5).replace('/', '_');
        const pid_t holder = ::fork();
        if (holder == 0) {
            QtSerialPort port;
            ::sleep(port.open({1, {}}, {}) ? 30 : 0);
            ::_exit(0);
        }
        QTRY_VERIFY(QFile::exists(lock));
        Link link;
        QVERIFY(!link.link.connectOrReport());
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        QFile::remove(lock);
        QCOMPARE(link.boxes.texts(),
                 QStringList{Texts::cannotOpen(
                     1, device, QStringLiteral("it is in use by tst_serialport (process %1)").arg(holder))});
    }

    void permissionAdviceNamesOnlyAGroupThatWouldHelp_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("reason");
        const QString advice = ". To use " + m_dir.filePath("device")
            + " your user must be in its group \"dialout\" (sudo usermod -aG dialout $USER, then log in again)";
        QTest::newRow("dialout, group may read and write") << 20 << 0660 << "Permission denied" + advice;
        QTest::newRow("dialout, group may not write") << 20 << 0640 << "Permission denied";
        QTest::newRow("root") << 0 << 0660 << "Permission denied";
    }

    void permissionAdviceNamesOnlyAGroupThatWouldHelp()
    {
        if (::getuid() != 0)
            QSKIP("Trying another user's view of the device needs root");
        QFETCH(int, group);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        const QString device = m_dir.filePath(QStringLiteral("device"));
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(::chown(QFile::encodeName(device).constData(), 0, gid_t(group)), 0);
        QCOMPARE(::chmod(QFile::encodeName(device).constData(), mode_t(mode)), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
        QVERIFY(inChild([&] { // as nobody, who is in no group of the device
            QtSerialPort port;
            return ::setgid(65534) == 0 && ::setuid(65534) == 0 && !port.open({0, device}, {})
                && port.lastFailure().reason == reason;
        }));
    }

    void exchangeOverThePty()
    {
        Board board({}, true);
        QVERIFY(board.ready());
        Link link;
        QElapsedTimer reset;
        reset.start();
        QVERIFY2(link.link.Connect_Board(), qPrintable(link.port.lastFailure().reason));
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
        QVERIFY2(port.open({4, {}}, {}), qPrintable(port.lastFailure().reason));
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
            LockFileInstance instance(QStringLiteral("instance.lock"));
            ImmediateEnd end(port, &instance);
            if (port.open({1, {}}, {}) && QFile::exists(lock))
                end.endProgram();
            return false;
        }));
        QVERIFY(!QFile::exists(lock));
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
