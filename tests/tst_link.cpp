// The board link and its command lines on the in-process board and a fake clock. Links no widgets.

#include "fakes.h"
#include "simport.h"
#include "texts.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Command = std::function<QString(BoardCommands &)>;
using Fault = sim::BoardOptions::Fault;

// A write's result is whether the board confirmed it.
const Command writeChip = [](BoardCommands &c) { return QString::number(c.Write_KV7106(0x3F, 0x00)); };
const Command writeFpga = [](BoardCommands &c) { return QString::number(c.Write_FPGA(0x12, 0x3F)); };
const Command readChip = [](BoardCommands &c) { return c.Read_KV7106(0x12); };
const Command readFpga = [](BoardCommands &c) { return c.Read_FPGA(0x0102); };
const Command readBurst = [](BoardCommands &c) { return c.Read_KV7106_Burst(0x10, 16); };
const Command writeBurst = [](BoardCommands &c) { return QString::number(c.Write_KV7106_Burst(0x12, 3, "0011FF")); };
const Command writeBurst0 = [](BoardCommands &c) { return QString::number(c.Write_KV7106_Burst(0x12, 0, {})); };

// A board whose whole answer (echoes, then reply) waits from the start; sends and discards change nothing.
class ScriptedPort : public SimPort
{
public:
    using SimPort::SimPort;
    void script(const QByteArray &answer) { m_answer = answer; }
    int waitingCount() override { return int(m_answer.size()); }
    void send(const QByteArray &bytes) override
    {
        if (isOpen())
            received += bytes;
    }
    QByteArray take(int max) override
    {
        const QByteArray taken = m_answer.left(max > 0 ? max : m_answer.size());
        m_answer.remove(0, taken.size());
        return taken;
    }

private:
    QByteArray m_answer;
};

// The link on COM1, connected unless told otherwise; the log starts empty.
struct Rig
{
    explicit Rig(Fault fault = Fault::None, const QByteArray &answer = {}, bool connected = true)
        : port(answer.isEmpty() ? new SimPort(&log.events, {fault, 0}) : new ScriptedPort(&log.events))
    {
        link.setPort(1);
        if (connected)
            link.Connect_Board();
        if (!answer.isEmpty())
            static_cast<ScriptedPort *>(port.get())->script(answer);
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

// The log of fields sent echo-paced: each character, then its echo taken.
QString paced(const QString &fields)
{
    QString events = QStringLiteral("discard");
    for (const QChar c : fields)
        events += QStringLiteral("|send %1|take %1").arg(c);
    return events;
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Fault)

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void linksNoWidgets()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6Core"));
        QVERIFY(!mapped.contains("libQt6Gui") && !mapped.contains("libQt6Widgets"));
    }

    void wireBytes_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("closedResult");
        // clang-format off
        QTest::newRow("Write_KV7106") << writeChip << QByteArray("W0x003F 0x1 0x00 ") << "1" << "0";
        QTest::newRow("Write_FPGA") << writeFpga << QByteArray("Y0x0012 0x1 0x3F ") << "1" << "0";
        QTest::newRow("Read_KV7106") << readChip << QByteArray("R0x0012 0x1 ") << "08" << "";
        QTest::newRow("Read_FPGA") << readFpga << QByteArray("X0x0102 0x1 ") << "C3" << "";
        QTest::newRow("Read_KV7106_Burst") << readBurst << QByteArray("R0x0010 0x10 ") << "100808200C000200000F010000000000" << "00";
        QTest::newRow("Write_KV7106_Burst") << writeBurst << QByteArray("W0x0012 0x03 0x00 0x11 0xFF ") << "1" << "0";
        QTest::newRow("Write_KV7106_Burst, 0") << writeBurst0 << QByteArray("W0x0012 0x00 ") << "1" << "0";
        // clang-format on
    }

    void wireBytes()
    {
        QFETCH(Command, command);
        Rig rig;
        rig.port->board().receive("Y0x0102 0x1 0xC3 "); // something to read back
        rig.port->logTakes = true;

        QTEST(command(rig.commands), "result");

        QTEST(rig.port->received, "bytes");
        QVERIFY(rig.boxes.shown.isEmpty());

        // On a closed port the command does not even begin its exchange.
        Rig closed;
        closed.link.disconnect();
        QTEST(command(closed.commands), "closedResult");
        QCOMPARE(closed.log.events, QStringList{"close"});
    }

    // Each field character goes out alone, once the echo of the one before was taken; the
    // letter has no echo. Every discard in place: after a read's letter, before the fields,
    // after the reply.
    void readSteps_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("events");
        const QString write = "|take \r|take \n|take >|take  ";
        // clang-format off
        QTest::newRow("Write_KV7106") << writeChip << "send W|" + paced("0x003F 0x1 0x00 ") + write;
        QTest::newRow("Read_KV7106") << readChip << "send R|discard|" + paced("0x0012 0x1 ") + "|take \r|take \n|take 0|take 8|take >|take  |discard";
        QTest::newRow("Read_KV7106_Burst") << readBurst << "send R|discard|" + paced("0x0010 0x10 ") + "|take 100808200C000200000F010000000000|take >|discard";
        // clang-format on
    }

    void readSteps()
    {
        QFETCH(Command, command);
        Rig rig;
        rig.port->logTakes = true;
        command(rig.commands);
        QTEST(rig.log.events.join(QLatin1Char('|')), "events");
    }

    void replies_data()
    {
        const QByteArray read = "0x0012 0x1 "; // the echoes come first in a scripted answer
        const QByteArray burst = "0x0010 0x10 ";
        const QByteArray data = "0102030405060708090A0B0C0D0E0F10";
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QByteArray>("answer"); // a scripted board's
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message"); // the one message, if any
        QTest::addColumn<double>("seconds"); // until it shows; nothing waits after it
        const Fault none = Fault::None;
        // clang-format off
        QTest::newRow("prompt only") << none << read + "> " << readChip << "" << "" << 0.0;
        QTest::newRow("one digit") << none << read + "5> " << readChip << "5" << "" << 0.0;
        QTest::newRow("two digits") << none << read + "\r\n3F> " << readChip << "3F" << "" << 0.0;
        QTest::newRow("nothing after the prompt") << none << read + "\r\n3F>" << readChip << "3F" << Texts::prompt << 3.0;
        QTest::newRow("burst data without prompt") << none << burst + data << readBurst << QString(data) << Texts::echo << 2.0;
        QTest::newRow("burst one short") << none << burst + data.left(31) << readBurst << "00" << Texts::echo << 32.0;
        const QByteArray board; // no script: the simulated board with the fault
        QTest::newRow("silent") << Fault::Silent << board << writeChip << "0" << Texts::echo << 1.0;
        QTest::newRow("no prompt") << Fault::NoPrompt << board << readFpga << "" << Texts::prompt << 3.0;
        QTest::newRow("chatter") << Fault::Chatter << board << writeChip << "0" << Texts::prompt << 0.0;
        QTest::newRow("chatter, burst") << Fault::Chatter << board << readBurst << "$GPGGA,123519,4807.038,N,01131.0" << Texts::prompt << 0.0;
        // The longest reply the board sends: 510 characters, the prompt and one more.
        const QByteArray write = "0x003F 0x1 0x00 ";
        QTest::newRow("longest reply") << none << write + QByteArray(510, '1') + "> " << writeChip << "1" << "" << 0.0;
        QTest::newRow("one longer") << none << write + QByteArray(511, '1') + "> " << writeChip << "0" << Texts::prompt << 0.0;
        // clang-format on
    }

    void replies()
    {
        QFETCH(Fault, fault);
        QFETCH(QByteArray, answer);
        QFETCH(Command, command);
        QFETCH(QString, message);
        QFETCH(double, seconds);
        Rig rig(fault, answer);
        QTEST(command(rig.commands), "result");
        QCOMPARE(rig.commands.confirmed(), message.isEmpty());
        QCOMPARE(rig.boxes.texts().join('|'), message);
        QCOMPARE(rig.elapsed(), seconds);
        QCOMPARE(rig.boxes.shown.value(0).at, message.isEmpty() ? 0 : rig.clock.seconds());
        QCOMPARE(rig.port->isOpen(), message != Texts::prompt);
    }

    // Thousands of random replies: the command goes out unchanged, and a result reported as confirmed is
    // exactly what the board sent before its prompt.
    // A reply arriving one character per prompt wait (every 3 s on the fake clock) must reach its prompt
    // within 6 s of the last echo.
    void replyTimeLimit_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<double>("seconds");
        QTest::newRow("prompt at the limit") << QByteArray("5> ") << true << 9.0;
        QTest::newRow("a character at the limit") << QByteArray("56> ") << false << 6.0;
    }

    void replyTimeLimit()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, confirmed);
        Rig rig(Fault::None, "0x003F 0x1 0x00 ");
        rig.clock.onWait = [&] {
            static_cast<ScriptedPort *>(rig.port.get())->script(reply.left(1));
            reply.remove(0, 1);
        };
        QCOMPARE(rig.commands.Write_KV7106(0x3F, 0x00), confirmed);
        QTEST(rig.elapsed(), "seconds");
        QCOMPARE(rig.boxes.texts(), confirmed ? QStringList() : QStringList{Texts::prompt});
        QCOMPARE(rig.port->isOpen(), confirmed);
    }

    void randomReplies()
    {
        QRandomGenerator random(71);
        const QByteArray junk = "0123456789ABCDEF>> \r\nx\x00\xff";
        const QByteArray echoes[] = {"0x003F 0x1 0x00 ", "0x0012 0x1 ", "0x0010 0x10 "};
        const Command commands[] = {writeChip, readChip, readBurst};
        for (int i = 0; i < 3000; ++i) {
            const QByteArray &echo = echoes[i % 3];
            QByteArray reply = echo.left(random.bounded(echo.size() + 1));
            for (int n = random.bounded(40); n > 0; --n)
                reply += junk.at(random.bounded(junk.size()));
            Rig rig(Fault::None, reply.isEmpty() ? QByteArray("\xff") : reply);
            const QString result = commands[i % 3](rig.commands);
            QVERIFY(((i % 3 ? "R" : "W") + echo).startsWith(rig.port->received));
            const QByteArray after = reply.mid(echo.size());
            if (i % 3 == 2 && rig.commands.confirmed()) {
                QCOMPARE(result, QString::fromLatin1(after.left(32)));
                QCOMPARE(after.at(32), '>');
            } else if (i % 3 == 1 && rig.commands.confirmed())
                QCOMPARE(result, QString::fromLatin1(after.left(after.indexOf('>')).right(2)));
            QVERIFY(rig.boxes.shown.size() <= 1);
        }
    }

    void connectBoard_data()
    {
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<int>("selected");
        // clang-format off
        QTest::newRow("COM1") << false << 1;
        QTest::newRow("COM8, open before") << true << 8;
        QTest::newRow("no port chosen") << false << 0;
        // clang-format on
    }

    void connectBoard()
    {
        QFETCH(bool, openBefore);
        QFETCH(int, selected);
        Rig rig(Fault::None, {}, openBefore);
        rig.link.setPort(selected);

        QCOMPARE(rig.link.Connect_Board(), selected != 0);

        QStringList steps{QStringLiteral("port %1").arg(selected), "settings 9600,n,8,1", "open"};
        if (openBefore)
            steps.prepend("close");
        // Three separate Qs, answers dropped after one pause that processes no events.
        if (selected != 0)
            steps += QStringList{"send Q", "send Q", "send Q", "pause 0.5", "discard", "yield"};
        QCOMPARE(rig.log.events, steps);
        QCOMPARE(rig.clock.blockingWaits, 0);
        QVERIFY(rig.boxes.shown.isEmpty()); // telling the user is the caller's choice
    }

    void timeOut_data()
    {
        QTest::addColumn<bool>("prompt");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("lost");
        QTest::addColumn<double>("limit");
        // clang-format off
        QTest::newRow("echo, 3 characters") << false << 3 << false << 3.0;
        QTest::newRow("prompt, 2 characters") << true << 2 << false << 6.0;
        // A device that went away cannot answer: no point waiting out the limit.
        QTest::newRow("prompt, port lost") << true << 2 << true << 0.0;
        // clang-format on
    }

    void timeOut()
    {
        QFETCH(bool, prompt);
        QFETCH(int, count);
        QFETCH(bool, lost);
        QFETCH(double, limit);
        Rig rig;
        if (lost)
            rig.port->loseDevice();
        QVERIFY(!(prompt ? rig.link.Wait_Prompt_Input(count) : rig.link.Wait_Serial_Input(count)));
        const QString text = prompt ? Texts::prompt : Texts::echo;
        QCOMPARE(rig.boxes.texts(), QStringList{text});
        QCOMPARE(rig.boxes.shown.at(0).icon, MessageBoxes::Icon::None);
        QCOMPARE(rig.boxes.shown.at(0).at - rig.start, limit);
        // The prompt wait closes the port, but only once the user has seen why.
        QCOMPARE(rig.log.events.value(0), "message " + text);
        QCOMPARE(rig.port->isOpen(), !prompt && !lost);

        // A reset the silent board leaves unanswered: waits end at once, silently, taking what is there.
        rig.port->board() = sim::BoardCore({Fault::Silent, 0});
        QVERIFY(rig.link.Connect_Board());
        const double now = rig.clock.seconds();
        rig.port->board() = sim::BoardCore();
        rig.port->send("R0x"); // the board echoes the two field characters
        QString taken; // echo and prompt receives in turn
        for (int i = 0; i < 4; ++i)
            taken += i % 2 ? rig.link.Get_Prompt_Character() : rig.link.Get_Serial_Character();
        QCOMPARE(taken, QStringLiteral("0x>>"));
        QCOMPARE(rig.clock.seconds(), now);
        QCOMPARE(rig.boxes.shown.size(), 1);
        QVERIFY(rig.port->isOpen()); // without its message the prompt wait leaves the port open

        // A reset the board answers ends the episode: the next failure has its own message.
        QVERIFY(rig.link.Connect_Board());
        QVERIFY(!rig.link.Serial_Error());
        QVERIFY(!rig.link.Wait_Serial_Input(1));
        QCOMPARE(rig.boxes.texts(), (QStringList{text, Texts::echo}));
        QCOMPARE(rig.clock.seconds(), now + 0.5 + 1);
    }

    // The user's Disconnect during a wait ends it at once, and silently.
    void disconnectDuringAWait()
    {
        Rig rig;
        QTimer::singleShot(0, [&rig] { rig.link.disconnect(); });
        QVERIFY(!rig.link.Wait_Serial_Input(2));
        QCOMPARE(rig.link.Get_Prompt_Character(), QStringLiteral(">"));
        QCOMPARE(rig.clock.blockingWaits, 1);
        QVERIFY(rig.boxes.shown.isEmpty() && !rig.link.Serial_Error());
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
