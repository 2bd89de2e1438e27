// The board link on the in-process simulated board and a fake clock: the reset,
// open failures, the time limits with their one message, closed or lost ports.

#include "fakes.h"
#include "simport.h"

#include "link/boardlink.h"

#include <QTimer>
#include <QtTest>

namespace {

const QString echoText = QStringLiteral("There is a problem communicating over the serial port. "
                                        "Please check your serial cable connection and settings");
const QString promptText = QStringLiteral("Error in serial communication port. Please Reset "
                                          "Evaluation Board and Restart the Application");

// The link on COM1, connected unless told otherwise; the log starts empty.
struct Rig
{
    explicit Rig(bool connected = true)
    {
        if (connected)
            link.Connect_Board();
        log.events.clear();
    }

    EventLog log;
    FakeClock clock{&log};
    FakeMessageBoxes boxes{&clock, &log};
    SimPort port{&log};
    int selected = 1;
    BoardLink link{port, clock, boxes, [this] { return selected; }};
};

} // namespace

class TestBoardLink : public QObject
{
    Q_OBJECT

private slots:
    void connectBoard_data()
    {
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<int>("selected");
        QTest::newRow("COM1") << false << 1;
        QTest::newRow("COM8, open before") << true << 8;
        QTest::newRow("no port chosen") << false << 0;
    }

    void connectBoard()
    {
        QFETCH(bool, openBefore);
        QFETCH(int, selected);
        Rig rig(openBefore);
        rig.selected = selected;

        QCOMPARE(rig.link.Connect_Board(), selected != 0);

        QStringList steps{QStringLiteral("port %1").arg(selected), "settings 9600,n,8,1", "open"};
        if (openBefore)
            steps.prepend("close");
        // Three separate Qs bring the board to its prompt from any state; the
        // answers are dropped after one pause that processes no events.
        if (selected != 0)
            steps << "send Q" << "send Q" << "send Q" << "pause 0.5" << "discard" << "yield";
        QCOMPARE(rig.log.events, steps);
        QCOMPARE(rig.clock.blockingWaits(), 0);
        QVERIFY(rig.boxes.shown.isEmpty()); // telling the user is the caller's choice
    }

    void openFailureShowsOnceUntilOpenOrChoice()
    {
        Rig rig(false);
        rig.selected = 3;
        rig.port.refuseOpen = true;
        QVERIFY(!rig.link.connectOrReport());
        rig.link.reportOpenFailure();
        rig.link.portChosen();
        QVERIFY(!rig.link.connectOrReport());
        rig.port.refuseOpen = false;
        QVERIFY(rig.link.Connect_Board());
        rig.selected = 0;
        QVERIFY(!rig.link.connectOrReport());
        QVERIFY(!rig.link.connectOrReport());

        const QString missing = "Cannot open serial port COM3 (/dev/sim3): "
                                "No such file or directory";
        QCOMPARE(rig.boxes.texts(),
                 (QStringList{missing, missing,
                              "Cannot open the serial port: no port is selected. "
                              "Choose one under Options, Select Serial Port."}));
        QCOMPARE(rig.boxes.shown.at(0).caption, QStringLiteral("KV71xx"));
    }

    void emptyEchoTextOnlyDiscards()
    {
        Rig rig;
        rig.link.Send_Serial_Echo(QString());
        QCOMPARE(rig.log.events, QStringList{"discard"});
    }

    void timeOut_data()
    {
        QTest::addColumn<bool>("prompt");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("lost");
        QTest::addColumn<double>("limit");
        QTest::newRow("echo, 1 character") << false << 1 << false << 1.0;
        QTest::newRow("echo, 3 characters") << false << 3 << false << 3.0;
        QTest::newRow("prompt, 1 character") << true << 1 << false << 3.0;
        QTest::newRow("prompt, 2 characters") << true << 2 << false << 6.0;
        // A device that went away cannot answer: no point waiting out the limit.
        QTest::newRow("echo, port lost") << false << 1 << true << 0.0;
        QTest::newRow("prompt, port lost") << true << 2 << true << 0.0;
    }

    void timeOut()
    {
        QFETCH(bool, prompt);
        QFETCH(int, count);
        QFETCH(bool, lost);
        QFETCH(double, limit);
        Rig rig;
        if (lost)
            rig.port.loseDevice();
        const double start = rig.clock.seconds();

        QVERIFY(!(prompt ? rig.link.Wait_Prompt_Input(count) : rig.link.Wait_Serial_Input(count)));

        const QString text = prompt ? promptText : echoText;
        QCOMPARE(rig.boxes.texts(), QStringList{text});
        const FakeMessageBoxes::Shown &box = rig.boxes.shown.at(0);
        QCOMPARE(box.caption, QStringLiteral("KV71xx"));
        QCOMPARE(box.icon, MessageBoxes::Icon::None);
        QCOMPARE(box.at, start + limit);
        // The prompt wait closes the port, but only once the user has seen why.
        QCOMPARE(rig.log.events.value(0), "message " + text);
        QCOMPARE(rig.port.isOpen(), !prompt && !lost);

        // The error is never cleared: reconnected, waits end at once and show
        // nothing, yet characters already waiting are still taken.
        QVERIFY(rig.link.Connect_Board());
        const double now = rig.clock.seconds();
        rig.port.send("R0x"); // the board echoes the two field characters
        QCOMPARE(rig.link.Get_Serial_Character(), QStringLiteral("0"));
        QCOMPARE(rig.link.Get_Prompt_Character(), QStringLiteral("x"));
        QCOMPARE(rig.link.Get_Serial_Character(), QStringLiteral(">"));
        QCOMPARE(rig.link.Get_Prompt_Character(), QStringLiteral(">"));
        QCOMPARE(rig.clock.seconds(), now);
        QCOMPARE(rig.boxes.shown.size(), 1);
        QVERIFY(rig.link.Serial_Error());
        QVERIFY(rig.port.isOpen()); // without its message the prompt wait leaves the port open
    }

    void closedPortEndsWaitsSilently_data()
    {
        QTest::addColumn<int>("closed"); // 0 never opened, 1 before the waits, 2 during the first
        QTest::newRow("never opened") << 0;
        QTest::newRow("disconnected") << 1;
        QTest::newRow("disconnected while waiting") << 2;
    }

    void closedPortEndsWaitsSilently()
    {
        QFETCH(int, closed);
        Rig rig(closed > 0);
        if (closed == 1)
            rig.link.disconnect();
        else if (closed == 2)
            QTimer::singleShot(0, [&rig] { rig.link.disconnect(); }); // the user's Disconnect

        QVERIFY(!rig.link.Wait_Serial_Input(2));
        QCOMPARE(rig.link.Get_Prompt_Character(), QStringLiteral(">"));

        QCOMPARE(rig.clock.blockingWaits(), closed == 2 ? 1 : 0);
        QVERIFY(rig.boxes.shown.isEmpty());
        QVERIFY(!rig.link.Serial_Error());
    }
};

QTEST_GUILESS_MAIN(TestBoardLink)
#include "tst_boardlink.moc"
