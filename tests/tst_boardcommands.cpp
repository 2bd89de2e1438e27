// The board's command lines on a fake clock: the exact bytes and their echo
// pacing, reply shapes, closed ports, and boards that stop answering.

#include "fakes.h"
#include "simport.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Command = std::function<QString(BoardCommands &)>;
using Fault = sim::BoardOptions::Fault;

const QString echoText = QStringLiteral("There is a problem communicating over the serial port. "
                                        "Please check your serial cable connection and settings");
const QString promptText = QStringLiteral("Error in serial communication port. Please Reset "
                                          "Evaluation Board and Restart the Application");

const Command writeChip = [](BoardCommands &c) { c.Write_KV7106(0x3F, 0x00); return QString(); };
const Command writeFpga = [](BoardCommands &c) { c.Write_FPGA(0x12, 0x3F); return QString(); };
const Command readChip = [](BoardCommands &c) { return c.Read_KV7106(0x12); };
const Command readFpga = [](BoardCommands &c) { return c.Read_FPGA(0x0102); };
const Command readBurst = [](BoardCommands &c) { return c.Read_KV7106_Burst(0x10, 16); };
const Command writeBurst = [](BoardCommands &c) {
    c.Write_KV7106_Burst(0x12, 16, QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    return QString();
};
const Command writeBurst0 = [](BoardCommands &c) {
    c.Write_KV7106_Burst(0x12, 0, QString());
    return QString();
};

// A board whose whole answer to one command is there from the start: the
// echoes of the fields, then the reply. Sending and discarding change nothing.
class ScriptedPort : public SimPort
{
public:
    ScriptedPort(EventLog *log, const QByteArray &answer) : SimPort(log), m_input(answer) {}
    int waitingCount() override { return int(m_input.size()); }
    void setTakeLength(int length) override { m_length = length; }
    void send(const QByteArray &) override {}
    QByteArray take() override
    {
        const QByteArray taken = m_input.left(m_length > 0 ? m_length : m_input.size());
        m_input.remove(0, taken.size());
        return taken;
    }

private:
    QByteArray m_input;
    int m_length = 0;
};

// The commands on a connected port with an empty log: the simulated board
// with the fault, or the scripted board when there is an answer.
struct Rig
{
    explicit Rig(Fault fault = Fault::None, const QByteArray &answer = {})
        : port(answer.isEmpty() ? new SimPort(&log, sim::BoardOptions{fault, 0})
                                : new ScriptedPort(&log, answer))
    {
        link.Connect_Board();
        log.events.clear();
        port->clearReceived();
        port->logTakes = true;
    }

    EventLog log;
    FakeClock clock{&log};
    FakeMessageBoxes boxes{&clock, &log};
    std::unique_ptr<SimPort> port;
    BoardLink link{*port, clock, boxes, [] { return 1; }};
    BoardCommands commands{link};
};

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Fault)

class TestBoardCommands : public QObject
{
    Q_OBJECT

private slots:
    void hexDigits()
    {
        QCOMPARE(Hex_Digits(0x12, 4), QStringLiteral("0012"));
        QCOMPARE(Hex_Digits(0xFF, 2), QStringLiteral("FF"));
        QCOMPARE(Hex_Digits(0x1FF, 2), QStringLiteral("FF")); // higher digits dropped
        QCOMPARE(Hex_Digits(0, 4), QStringLiteral("0000"));
    }

    void wireBytes_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("closedResult");
        QTest::newRow("Write_KV7106") << writeChip << QByteArray("W0x003F 0x1 0x00 ") << "" << "";
        QTest::newRow("Write_FPGA") << writeFpga << QByteArray("Y0x0012 0x1 0x3F ") << "" << "";
        QTest::newRow("Read_KV7106") << readChip << QByteArray("R0x0012 0x1 ") << "08" << "";
        QTest::newRow("Read_FPGA") << readFpga << QByteArray("X0x0102 0x1 ") << "C3" << "";
        QTest::newRow("Read_KV7106_Burst") << readBurst << QByteArray("R0x0010 0x10 ")
                                           << "100808200C000200000F010000000000" << "00";
        QTest::newRow("Write_KV7106_Burst")
            << writeBurst
            << QByteArray("W0x0012 0x10 0x00 0x11 0x22 0x33 0x44 0x55 0x66 0x77 0x88 0x99 0xAA "
                          "0xBB 0xCC 0xDD 0xEE 0xFF ")
            << "" << "";
        QTest::newRow("Write_KV7106_Burst, 0")
            << writeBurst0 << QByteArray("W0x0012 0x00 ") << "" << "";
    }

    void wireBytes()
    {
        QFETCH(Command, command);
        Rig rig;
        rig.port->board().receive("Y0x0102 0x1 0xC3 "); // something to read back

        QTEST(command(rig.commands), "result");

        QTEST(rig.port->received(), "bytes");
        // Each field character goes out alone, once the echo of the one before
        // was taken; the command letter has no echo.
        const QStringList events = rig.log.events;
        for (int i = 1; i < events.size(); ++i) {
            const QString c = events.at(i).right(1);
            if (events.at(i).startsWith(QLatin1String("send ")))
                QCOMPARE(events.mid(i, 2), (QStringList{"send " + c, "take " + c}));
        }
        QCOMPARE(rig.port->waitingCount(), 0); // the reply was read up to the prompt and one more
        QVERIFY(rig.boxes.shown.isEmpty());

        // On a closed port the command does not even begin its exchange.
        Rig closed;
        closed.link.disconnect();
        QTEST(command(closed.commands), "closedResult");
        QCOMPARE(closed.log.events, QStringList{"close"});
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
        QTest::newRow("prompt only") << none << read + "> " << readChip << "" << "" << 0.0;
        QTest::newRow("one digit") << none << read + "5> " << readChip << "5" << "" << 0.0;
        QTest::newRow("two digits") << none << read + "\r\n3F> " << readChip << "3F" << "" << 0.0;
        QTest::newRow("nothing after the prompt")
            << none << read + "\r\n3F>" << readChip << "3F" << promptText << 3.0;
        QTest::newRow("burst data without prompt")
            << none << burst + data << readBurst << QString(data) << echoText << 2.0;
        const QByteArray board; // no script: the simulated board with the fault
        QTest::newRow("silent") << Fault::Silent << board << writeChip << "" << echoText << 1.0;
        QTest::newRow("silent, burst")
            << Fault::Silent << board << readBurst << "00" << echoText << 1.0;
        QTest::newRow("no prompt")
            << Fault::NoPrompt << board << readFpga << "" << promptText << 3.0;
        QTest::newRow("no prompt, burst")
            << Fault::NoPrompt << board << readBurst << "00" << echoText << 32.0;
    }

    void replies()
    {
        QFETCH(Fault, fault);
        QFETCH(QByteArray, answer);
        QFETCH(Command, command);
        QFETCH(QString, message);
        QFETCH(double, seconds);
        Rig rig(fault, answer);
        const double start = rig.clock.seconds();

        QTEST(command(rig.commands), "result");

        QCOMPARE(rig.boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(rig.boxes.shown.at(0).at, start + seconds);
        QCOMPARE(rig.clock.seconds(), start + seconds);
        QCOMPARE(rig.port->isOpen(), message != promptText);
    }
};

QTEST_GUILESS_MAIN(TestBoardCommands)
#include "tst_boardcommands.moc"
