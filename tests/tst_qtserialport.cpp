// The real port layer on a pseudo-terminal against the kv71xx-board process:
// line settings, COMn names, real exchanges, pause, time limit and hang-up.

#include "fakes.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "link/qtserialport.h"
#include "link/realclock.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

namespace {

// A kv71xx-board process serving COM1 in the current directory.
class Board : public QProcess
{
public:
    explicit Board(const QStringList &options)
    {
        QFile::remove(QStringLiteral("board.log"));
        start(QStringLiteral(KV71XX_BOARD_EXE),
              QStringList{"--link", "COM1", "--log", "board.log"} + options);
    }

    ~Board() override
    {
        terminate();
        waitForFinished();
    }

    // True once it printed "ready <device>" (in one write): COM1 exists from then on.
    bool ready() { return waitForReadyRead(5000) && readLine().startsWith("ready "); }

    // Every byte it received; its log escapes none of the ones sent here.
    static QByteArray received()
    {
        QFile log(QStringLiteral("board.log"));
        QByteArray bytes;
        if (log.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : log.readAll().split('\n')) {
                if (line.startsWith("rx "))
                    bytes += line.mid(3);
            }
        }
        return bytes;
    }
};

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

class TestQtSerialPort : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // The program looks for its COMn links in the current directory.
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); }

    void parseLineSettings_data()
    {
        QTest::addColumn<QString>("text");
        // Rate, parity, data and stop bits as numbers; empty when rejected.
        QTest::addColumn<QString>("parsed");
        QTest::newRow("9600,n,8,1") << "9600,n,8,1" << "9600 0 8 1";
        QTest::newRow("19200,e,7,2") << "19200,e,7,2" << "19200 2 7 2";
        QTest::newRow("4800,O,5,1.5") << "4800,O,5,1.5" << "4800 3 5 3";
        QTest::newRow("bad parity") << "9600,x,8,1" << "";
        QTest::newRow("9 data bits") << "9600,n,9,1" << "";
        QTest::newRow("3 stop bits") << "9600,n,8,3" << "";
        QTest::newRow("no rate") << ",n,8,1" << "";
        QTest::newRow("three fields") << "9600,n,8" << "";
    }

    void parseLineSettings()
    {
        QFETCH(QString, text);
        const std::optional<LineSettings> s = ::parseLineSettings(text);
        QString parsed;
        if (s) {
            parsed = QStringLiteral("%1 %2 %3 %4").arg(s->baudRate).arg(int(s->parity))
                         .arg(int(s->dataBits)).arg(int(s->stopBits));
        }
        QTEST(parsed, "parsed");
    }

    void devicesAndMissingPort()
    {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), QStringLiteral("COM2")));
        // The link's target, so that the port's lock names the real device.
        QCOMPARE(::serialDeviceFor(2), QStringLiteral("/dev/null"));
        QCOMPARE(::serialDeviceFor(3), QStringLiteral("/dev/ttyS2"));

        QFile::remove(QStringLiteral("COM1"));
        QVERIFY(QFile::link(QStringLiteral("gone"), QStringLiteral("COM1")));
        Link link;
        QVERIFY(!link.link.connectOrReport());
        QVERIFY(!link.port.errorString().isEmpty());
        const QString text = QStringLiteral("Cannot open serial port COM1 (%1/COM1): %2")
                                 .arg(QDir::currentPath(), link.port.errorString());
        QCOMPARE(link.boxes.texts(), QStringList{text});
    }

    void exchangeOverThePty()
    {
        Board board({"--pace"});
        QVERIFY(board.ready());
        Link link;
        QElapsedTimer reset;
        reset.start();
        QVERIFY2(link.link.Connect_Board(), qPrintable(link.port.errorString()));
        QVERIFY(reset.nsecsElapsed() >= 500'000'000); // the board's time to reach its prompt

        link.commands.Write_KV7106(0x06, 0x80);
        QCOMPARE(link.commands.Read_KV7106(0x06), QStringLiteral("80"));
        QCOMPARE(link.commands.Read_KV7106_Burst(0x0C, 2), QStringLiteral("0514"));

        QCOMPARE(Board::received(), QByteArray("QQQW0x0006 0x1 0x80 R0x0006 0x1 R0x000C 0x02 "));
        QVERIFY(link.boxes.shown.isEmpty());
    }

    void failingBoard_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("waitsOut"); // the one-second echo limit, in real time
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("received");
        // Silent: the first echo never comes, the rest goes out without waiting.
        QTest::newRow("silent") << QStringList{"--silent"} << true << true
                                << QByteArray("W0x0006 0x1 0x80 R0x0000 0x10 ");
        // Gone after the letter and four field characters.
        QTest::newRow("hangs up") << QStringList{"--hang-up-after", "5"} << false << false
                                  << QByteArray("W0x00");
    }

    void failingBoard()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, waitsOut);
        Board board(options);
        QVERIFY(board.ready());
        Link link;
        // Opened directly: only one test pays for the reset's half second.
        link.port.setPortNumber(1);
        link.port.setSettings(QStringLiteral("9600,n,8,1"));
        QVERIFY2(link.port.open(), qPrintable(link.port.errorString()));
        QElapsedTimer wall;
        wall.start();

        link.commands.Write_KV7106(0x06, 0x80);

        if (waitsOut)
            QVERIFY(wall.nsecsElapsed() >= 1'000'000'000);
        QCOMPARE(link.commands.Read_KV7106_Burst(0x00, 16), QStringLiteral("00"));
        QCOMPARE(link.boxes.texts(),
                 QStringList{"There is a problem communicating over the serial port. "
                             "Please check your serial cable connection and settings"});
        QTEST(link.port.isOpen(), "open");
        QFETCH(QByteArray, received);
        QTRY_COMPARE(Board::received(), received); // the board may still be logging the last bytes

        // Idle afterwards, the event loop must sleep: a dead descriptor that
        // kept reporting itself readable would spin it.
        const std::clock_t cpu = std::clock();
        wall.restart();
        QTest::qWait(300);
        const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        QVERIFY(cpuSeconds < 0.5 * wall.nsecsElapsed() / 1e9);
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "tst_qtserialport.moc"
