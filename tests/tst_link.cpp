#include "fakes.h"
#include "simport.h"
#include "texts.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"

#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Command = std::function<QString(BoardCommands &)>;

const Command writeChip = [](BoardCommands &c) { return QString::number(c.Write_KV7106(0x3F, 0x00)); };
const Command writeFpga = [](BoardCommands &c) { return QString::number(c.Write_FPGA(0x12, 0x3F)); };
const Command readChip = [](BoardCommands &c) { return c.Read_KV7106(0x12); };
const Command readFpga = [](BoardCommands &c) { return c.Read_FPGA(0x0102); };
const Command readBurst = [](BoardCommands &c) { return c.Read_KV7106_Burst(0x10, 16); };
const Command writeBurst = [](BoardCommands &c) { return QString::number(c.Write_KV7106_Burst(0x12, 3, "0011FF")); };
const Command writeBurst0 = [](BoardCommands &c) { return QString::number(c.Write_KV7106_Burst(0x12, 0, {})); };

// A board whose whole answer (echoes, then reply) waits from the start.
struct ScriptedPort : SimPort
{
    using SimPort::SimPort;
    int waitingCount() override { return int(answer.size()); }
    QByteArray take(int max) override
    {
        const QByteArray taken = answer.left(max > 0 ? max : answer.size());
        answer.remove(0, taken.size());
        return taken;
    }
    QByteArray answer;
};

// The link on COM1, connected unless told otherwise; the log starts empty.
struct Rig
{
    explicit Rig(const QByteArray &answer = {}, bool connected = true)
        : port(answer.isEmpty() ? new SimPort(&log.events) : new ScriptedPort(&log.events))
    {
        link.setPort(1);
        if (connected)
            link.Connect_Board();
        if (!answer.isEmpty())
            static_cast<ScriptedPort *>(port.get())->answer = answer;
        log.events.clear();
        port->received.clear();
        start = clock.seconds();
    }
    double elapsed() const { return clock.seconds() - start; }

    EventLog log;
    FakeClock clock{&log};
    FakeMessageBoxes boxes{&clock, &log};
    std::unique_ptr<SimPort> port;
    BoardLink link{*port, clock, boxes};
    BoardCommands commands{link};
    double start = 0;
};

// A read's log: R, each field character sent once the one before echoed, the reply, a discard.
QStringList readLog(const QString &fields, const QStringList &reply)
{
    QStringList events{"send R", "discard", "discard"};
    for (const QChar c : fields)
        events << QStringLiteral("send ") + c << QStringLiteral("take ") + c;
    return events + reply + QStringList{"discard"};
}

} // namespace

Q_DECLARE_METATYPE(Command)

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void eachCommandSendsItsBytesAndNothingOnAClosedPort_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("closed");
        // clang-format off
        QTest::newRow("W") << writeChip << QByteArray("W0x003F 0x1 0x00 ") << "1" << "0";
        QTest::newRow("Y") << writeFpga << QByteArray("Y0x0012 0x1 0x3F ") << "1" << "0";
        QTest::newRow("R") << readChip << QByteArray("R0x0012 0x1 ") << "08" << "";
        QTest::newRow("X") << readFpga << QByteArray("X0x0102 0x1 ") << "C3" << "";
        QTest::newRow("R burst") << readBurst << QByteArray("R0x0010 0x10 ") << "100808200C000200000F010000000000" << "00";
        QTest::newRow("W burst") << writeBurst << QByteArray("W0x0012 0x03 0x00 0x11 0xFF ") << "1" << "0";
        QTest::newRow("W 0") << writeBurst0 << QByteArray("W0x0012 0x00 ") << "1" << "0";
        // clang-format on
    }

    void eachCommandSendsItsBytesAndNothingOnAClosedPort()
    {
        QFETCH(Command, command);
        Rig rig;
        rig.port->board().receive("Y0x0102 0x1 0xC3 ");
        QTEST(command(rig.commands), "result");
        QTEST(rig.port->received, "bytes");
        Rig closed({}, false);
        QTEST(command(closed.commands), "closed");
        QVERIFY(closed.log.events.isEmpty());
    }

    void readsArePacedByTheEchoAndDiscardWhatFollows_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("events");
        // clang-format off
        QTest::newRow("R") << readChip << readLog("0x0012 0x1 ", {"take \r", "take \n", "take 0", "take 8", "take >", "take  "});
        QTest::newRow("R burst") << readBurst << readLog("0x0010 0x10 ", {"take 100808200C000200000F010000000000", "take >"});
        // clang-format on
    }

    void readsArePacedByTheEchoAndDiscardWhatFollows()
    {
        QFETCH(Command, command);
        Rig rig;
        rig.port->logTakes = true;
        command(rig.commands);
        QTEST(rig.log.events, "events");
    }

    void aReplyGivesItsValueOrOneMessage_data()
    {
        const QByteArray read = "0x0012 0x1 ";
        const QByteArray burst = "0x0010 0x10 ";
        const QByteArray data = "0102030405060708090A0B0C0D0E0F10";
        QTest::addColumn<QByteArray>("answer"); // the echoes, then the reply
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("seconds"); // until it shows; nothing waits after it
        // clang-format off
        QTest::newRow(">") << read + "> " << readChip << "" << "" << 0.0;
        QTest::newRow("two digits") << read + "\r\n3F> " << readChip << "3F" << "" << 0.0;
        QTest::newRow("nothing after >") << read + "\r\n3F>" << readChip << "3F" << Texts::prompt << 3.0;
        QTest::newRow("burst, no >") << burst + data << readBurst << QString(data) << Texts::echo << 2.0;
        QTest::newRow("burst one short") << burst + data.left(31) << readBurst << "00" << Texts::echo << 32.0;
        // The longest reply: 510 characters, the prompt and one more.
        const QByteArray write = "0x003F 0x1 0x00 ";
        QTest::newRow("longest") << write + QByteArray(510, '1') + "> " << writeChip << "1" << "" << 0.0;
        QTest::newRow("one longer") << write + QByteArray(511, '1') + "> " << writeChip << "0" << Texts::prompt << 0.0;
        // clang-format on
    }

    void aReplyGivesItsValueOrOneMessage()
    {
        QFETCH(QByteArray, answer);
        QFETCH(Command, command);
        QFETCH(QString, message);
        QFETCH(double, seconds);
        Rig rig(answer);
        QTEST(command(rig.commands), "result");
        QCOMPARE(rig.commands.confirmed(), message.isEmpty());
        QCOMPARE(rig.boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(rig.elapsed(), seconds);
        QCOMPARE(rig.boxes.shown.value(0).at, message.isEmpty() ? 0 : rig.clock.seconds());
        QCOMPARE(rig.port->isOpen(), message != Texts::prompt);
    }

    // A reply arriving one character per 3 s prompt wait must reach its prompt within 6 s of the last echo.
    void aReplyMustReachItsPromptWithinSixSeconds_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<double>("seconds");
        QTest::newRow("> at the limit") << QByteArray("5> ") << true << 9.0;
        QTest::newRow("6 at the limit") << QByteArray("56> ") << false << 6.0;
    }

    void aReplyMustReachItsPromptWithinSixSeconds()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, confirmed);
        Rig rig("0x003F 0x1 0x00 ");
        rig.clock.onWait = [&] {
            static_cast<ScriptedPort *>(rig.port.get())->answer = reply.left(1);
            reply.remove(0, 1);
        };
        QCOMPARE(rig.commands.Write_KV7106(0x3F, 0x00), confirmed);
        QTEST(rig.elapsed(), "seconds");
        QCOMPARE(rig.port->isOpen(), confirmed);
    }

    void connectBoardReopensThePortAndSendsThreeQ_data()
    {
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<int>("selected");
        QTest::newRow("COM1") << false << 1;
        QTest::newRow("COM8, open") << true << 8;
        QTest::newRow("none") << false << 0;
    }

    void connectBoardReopensThePortAndSendsThreeQ()
    {
        QFETCH(bool, openBefore);
        QFETCH(int, selected);
        Rig rig({}, openBefore);
        rig.link.setPort(selected);

        QCOMPARE(rig.link.Connect_Board(), selected != 0);

        QStringList steps{"port " + QString::number(selected), "settings 9600,n,8,1", "open"};
        if (openBefore)
            steps.prepend("close");
        // Three separate Qs, answers dropped after one pause that processes no events.
        if (selected != 0)
            steps += QStringList{"send Q", "send Q", "send Q", "pause 0.5", "discard", "yield"};
        QCOMPARE(rig.log.events, steps);
        QCOMPARE(rig.clock.blockingWaits, 0);
        QVERIFY(rig.boxes.shown.isEmpty()); // the caller tells the user
    }

    void promptTimeoutTellsTheUserThenClosesThePort_data()
    {
        QTest::addColumn<bool>("lost");
        QTest::addColumn<double>("limit");
        QTest::newRow("silent") << false << 6.0;
        QTest::newRow("port lost") << true << 0.0; // a device that went away cannot answer
    }

    void promptTimeoutTellsTheUserThenClosesThePort()
    {
        QFETCH(bool, lost);
        Rig rig;
        if (lost)
            rig.port->loseDevice();
        QVERIFY(!rig.link.Wait_Prompt_Input(2));
        QCOMPARE(rig.boxes.texts(), QStringList{Texts::prompt});
        QCOMPARE(rig.boxes.shown.at(0).icon, MessageBoxes::Icon::None);
        QTEST(rig.boxes.shown.at(0).at - rig.start, "limit");
        QCOMPARE(rig.log.events.value(0), "message " + Texts::prompt);
        QVERIFY(!rig.port->isOpen());
    }

    void disconnectDuringAWaitEndsItWithoutAMessage()
    {
        Rig rig;
        QTimer::singleShot(0, [&rig] { rig.link.disconnect(); });
        QVERIFY(!rig.link.Wait_Serial_Input(2));
        QCOMPARE(rig.link.Get_Prompt_Character(), ">");
        QCOMPARE(rig.clock.blockingWaits, 1);
        QVERIFY(rig.boxes.shown.isEmpty() && !rig.link.Serial_Error());
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
