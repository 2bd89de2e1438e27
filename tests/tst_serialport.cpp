#include "boardprocess.h"
#include "fakes.h"
#include "texts.h"

#include "link/boardlink.h"
#include "platform/portproblems.h"
#include "platform/portroutes.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"

#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// The program's link on COM1 over the real port layer and the real clock.
struct Link
{
    QtSerialPort port;
    RealClock clock;
    FakeMessageBoxes boxes{&clock};
    BoardLink link{port, clock, boxes};
    Link() { link.setPort(1); }
};

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toLocal8Bit());
    }

    void portLeadsToItsLinkThenItsAssignmentThenItsDevice_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("route");
        const QString dir = QDir::currentPath();
#ifdef Q_OS_WIN // no file stands for a port; the Wine prefix maps COM3
        QTest::newRow("built-in") << ""
                                  << ""
                                  << "\\\\.\\COM3";
        QTest::newRow("assigned") << ""
                                  << "\\\\.\\COM12"
                                  << "\\\\.\\COM12 (assigned), not present";
#else
        const QString builtIn = QFile::exists("/dev/ttyS2") ? "/dev/ttyS2" : "/dev/ttyS2, not present";
        const QString through = " through the link COM3 in " + dir;
        QTest::newRow("built-in") << ""
                                  << "" << builtIn;
        QTest::newRow("link") << "/dev/null"
                              << "/dev/zero"
                              << "/dev/null" + through;
        QTest::newRow("assigned") << "" << dir + "/by-id"
                                  << "/dev/zero through the assigned " + dir + "/by-id";
#endif
        QTest::newRow("assigned, gone") << "" << dir + "/gone"
                                        << QDir::toNativeSeparators(dir + "/gone") + " (assigned), not present";
    }

    void portLeadsToItsLinkThenItsAssignmentThenItsDevice()
    {
        QFETCH(QString, link);
        QFETCH(QString, assigned);
        QFile::link("/dev/zero", "by-id");
        QFile::remove("COM3");
        QVERIFY(link.isEmpty() || QFile::link(link, "COM3"));
        QVERIFY(PortAssignments::assign(3, assigned, nullptr));
        QTEST(portRoute(3).text(), "route");
    }

#ifdef Q_OS_UNIX // links, a pty, fork and file modes
    void openFailureNamesTheMissingTargetOfALink()
    {
        const QString target = m_dir.filePath("ttyUSB9");
        QVERIFY(QFile::link(target, "COM6"));
        Link link;
        link.link.setPort(6);
        QVERIFY(!link.link.connectOrReport());
        const QString reason = "the link COM6 in " + QDir::currentPath() + " leads to " + target
            + ", which is not there";
        QCOMPARE(link.boxes.texts(), QStringList{Texts::cannotOpen(6, target, reason)});
    }

    void openFailureNamesTheProgramHoldingThePort()
    {
        sim::BoardProcess board({"COM1", {}, false, {}});
        QVERIFY(board.ready());
        const QString device = QFile::symLinkTarget("COM1");
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
        const QString reason = QString("it is in use by tst_serialport (process %1 of user %2, which still runs; lock "
                                       "file %3): end that program or choose another port")
                                   .arg(holder)
                                   .arg(QFileInfo(lock).owner(), QFileInfo(lock).canonicalFilePath());
        QFile::remove(lock);
        QCOMPARE(link.boxes.texts(), QStringList{Texts::cannotOpen(1, device, reason)});
    }

    void aLockFileLeftByAnotherUserSaysHowToRemoveIt()
    {
        if (::getuid() != 0)
            QSKIP("Making another user's lock file needs root");
        const qint64 pid = 4194305; // above any pid_max: never running
        const QString lock = m_dir.filePath("LCK..ttyUSB7");
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(pid) + "\nkv71xx\n") > 0);
        file.close();
        QCOMPARE(::chown(QFile::encodeName(lock).constData(), 65534, 65534), 0);
        QCOMPARE(
            PortProblems::lockProblem("/dev/ttyUSB7", {m_dir.path()}),
            QString("its lock file %1 (of user nobody) is left from kv71xx (process %2), which has ended: remove it "
                    "(sudo rm %1)")
                .arg(lock)
                .arg(pid));
    }

    void permissionAdviceNamesOnlyAGroupThatWouldHelp_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("reason");
        const QString advice = ". To use " + m_dir.filePath("device")
            + " your user must be in its group \"dialout\" (sudo usermod -aG dialout $USER, then log in again)";
        QTest::newRow("dialout") << 20 << 0660 << "Permission denied" + advice;
        QTest::newRow("dialout, read only") << 20 << 0640 << "Permission denied";
        QTest::newRow("root") << 0 << 0660 << "Permission denied";
    }

    void permissionAdviceNamesOnlyAGroupThatWouldHelp()
    {
        if (::getuid() != 0)
            QSKIP("Trying another user's view of the device needs root");
        QFETCH(int, group);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        const QString device = m_dir.filePath("device");
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(::chown(QFile::encodeName(device), 0, gid_t(group)), 0);
        QCOMPARE(::chmod(QFile::encodeName(device), mode_t(mode)), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()), 0755), 0);
        const pid_t child = ::fork();
        if (child == 0) { // as nobody, who is in no group of the device
            QtSerialPort port;
            ::_exit(::setgid(65534) || ::setuid(65534) || port.open({0, device}, {})
                    || port.lastFailure().reason != reason);
        }
        int status = 1;
        QVERIFY(::waitpid(child, &status, 0) == child && status == 0);
    }

    void waitingCountsTheDevice()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        QVERIFY(QFile::link(::ptsname(master), "COM4"));
        QtSerialPort port;
        QVERIFY(port.open({4, {}}, {}));
        QCOMPARE(::write(master, "A", 1), 1);
        QTRY_COMPARE(port.waitingCount(), 1);
        QCOMPARE(::write(master, "B", 1), 1);
        QTest::qSleep(100); // no event loop runs: only asking the device finds B
        QCOMPARE(port.waitingCount(), 2);
        QCOMPARE(port.take(), QByteArray("AB"));
        ::close(master);
    }
#endif
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
