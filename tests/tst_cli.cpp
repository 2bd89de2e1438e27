// kv71xx-cli on the in-process board and, as the installed program, over a pty.

#include "boardprocess.h"
#include "fakes.h"
#include "simport.h"
#include "texts.h"

#include "files/registerfile.h"
#include "invocation.h"
#include "runner.h"
#include "traceport.h"

#include <QtTest>

namespace {

using Fault = sim::BoardOptions::Fault;

const QStringList readAll{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "};
// changed.txt: the power-on values with 06 = 7F, 0C = "5" and 3F = "2a".
const QStringList bursts{
    "W0x0000 0x10 0x71 0x00 0x00 0x7C 0x0A 0x00 0x7F 0x80 0x80 0x40 0x40 0x40 0x05 0x14 0x06 0x98 ",
    "W0x0010 0x10 0x10 0x08 0x08 0x20 0x0C 0x00 0x02 0x00 0x00 0x0F 0x01 0x00 0x00 0x00 0x00 0x00 ",
    "W0x0020 0x10 0x18 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 ",
    "W0x0030 0x10 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x2A ",
};
const QByteArray stuckLine = "06 Red Gain (0x06): wrote 7F, chip 80\n";

// One run of the command line on the in-process board, as main does it.
struct Rig
{
    explicit Rig(const sim::BoardOptions &options = {})
        : port(nullptr, options)
    {
        out.open(QIODevice::WriteOnly);
    }
    int run(const QStringList &arguments, QIODevice *progress = nullptr, SerialPort *through = nullptr)
    {
        const CommandLine::Parsed parsed = CommandLine::parse(QStringList{"kv71xx-cli"} + arguments);
        if (!parsed.invocation) {
            boxes.show(parsed.error);
            return Invocation::BadInput;
        }
        return Runner(*parsed.invocation, through ? *through : port, clock, boxes, out, progress).run();
    }

    SimPort port;
    FakeClock clock;
    FakeMessageBoxes boxes{&clock};
    QBuffer out;
};

// A program's "status|stdout|stderr".
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess child;
    child.start(program, arguments);
    child.waitForFinished(20000);
    return QByteArray::number(child.exitCode()) + '|' + child.readAllStandardOutput() + '|'
        + child.readAllStandardError();
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

Q_DECLARE_METATYPE(sim::BoardOptions)

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        RegisterFile::Texts texts;
        for (int k = 0; k < RegisterMap::Count; ++k)
            texts.at(size_t(k)) = QString::asprintf("%02X", sim::BoardCore::powerOnValue(k));
        texts[0x06] = "7F";
        texts[0x0C] = "5";
        texts[0x3F] = "2a";
        const QByteArray changed = RegisterFile::format(texts);
        writeFile("changed.txt", changed);
        writeFile("short.txt", changed.left(changed.indexOf("KV7106_Register20:")));
        texts[0x06] = "8G";
        writeFile("bad.txt", RegisterFile::format(texts));
    }

    // Bad input (status 2) is refused before anything is sent; a failing link ends with 3.
    void commands_data()
    {
        QTest::addColumn<sim::BoardOptions>("options");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("refuseOpen");
        const auto row = [](const char *name, const QStringList &arguments, const QStringList &commands,
                            const QByteArray &out, int status, const QStringList &messages = {},
                            sim::BoardOptions options = {}, bool refuseOpen = false) {
            QTest::newRow(name) << options << arguments << commands << out << status << messages << refuseOpen;
        };
        QStringList single; // the single writes of changed.txt
        for (const QString &burst : bursts) {
            for (const QString &value : burst.mid(13).split(' ', Qt::SkipEmptyParts))
                single << QString::asprintf("W0x%04X 0x1 %s ", int(single.size()), qPrintable(value));
        }
        row("read", {"read", "0x06"}, {"R0x0006 0x1 "}, "80\n", 0);
        row("write", {"write", "3f", "0"}, {"W0x003F 0x1 0x00 "}, {}, 0);
        row("fpga-write", {"fpga-write", "102", "3c"}, {"Y0x0102 0x1 0x3C "}, {}, 0);
        row("fpga-read", {"fpga-read", "FFFF"}, {"X0xFFFF 0x1 "}, "00\n", 0);
        row("diff", {"diff", "changed.txt"}, readAll,
            "06 Red Gain (0x06): file 7F, chip 80\n3F INTERNAL PNUM0 (3Fh): file 2A, chip 00\n", 1);
        row("load", {"load", "changed.txt"}, single, {}, 0);
        row("load --burst", {"load", "--burst", "changed.txt"}, bursts, {}, 0);
        row("load --verify", {"load", "changed.txt", "--verify"}, single + readAll, stuckLine, 1, {},
            {Fault::StuckRegister, 0x06});
        row("unknown command", {"frob"}, {}, {}, 2, {"Unknown command \"frob\""});
        row("unknown option", {"--bogus", "read", "1"}, {}, {}, 2, {"Unknown option 'bogus'."});
        row("no chip register", {"read", "40"}, {}, {}, 2, {"read: ADDR \"40\" is not a hexadecimal address 00 to 3F"});
        row("no fpga register", {"fpga-read", "10000"}, {}, {}, 2,
            {"fpga-read: ADDR \"10000\" is not a hexadecimal address 0000 to FFFF"});
        row("missing", {"write", "6"}, {}, {}, 2, {"write: missing VALUE"});
        row("extra", {"dump", "a", "b"}, {}, {}, 2, {"dump: unexpected argument \"b\""});
        row("verify", {"diff", "changed.txt", "--verify"}, {}, {}, 2, {"--verify goes with load only"});
        row("port", {"--port", "9", "read", "1"}, {}, {}, 2, {"--port \"9\" is not a port number 1 to 8"});
        row("no file", {"load", "none.txt"}, {}, {}, 2, {"Cannot read none.txt: No such file or directory"});
        row("short file", {"diff", "short.txt"}, {}, {}, 2, {"short.txt: 20 lines, where a register file has 64"});
        row("no byte", {"load", "bad.txt", "--burst"}, {}, {}, 2,
            {"bad.txt:7: no register value in \"KV7106_Register6:Red Gain (0x06):8G\""});
        row("silent load", {"load", "changed.txt"}, {"W0x0000 0x1 0x71 "}, {}, 3,
            {Texts::echo, "The board did not confirm writing register 00; the registers after it were not written"},
            {Fault::Silent, 0});
        row("no prompt", {"fpga-write", "1", "2"}, {"Y0x0001 0x1 0x02 "}, {}, 3,
            {Texts::prompt, "The board did not confirm writing FPGA register 0001"}, {Fault::NoPrompt, 0});
        // Quiet after the reset, the first burst read's 13 characters and 4 more.
        row("stops answering", {"diff", "changed.txt"}, {"R0x0000 0x10 ", "R0x0010 0x10 "}, {}, 3,
            {Texts::echo, "The board did not send registers 10 to 1F"}, {Fault::StopEchoAfter, 20});
        row("no port", {"dump"}, {}, {}, 3, {Texts::cannotOpen(1, "/dev/sim1", "No such file or directory")}, {}, true);
    }

    void commands()
    {
        QFETCH(sim::BoardOptions, options);
        QFETCH(QStringList, arguments);
        QFETCH(bool, refuseOpen);
        Rig rig(options);
        rig.port.refuseOpen = refuseOpen;
        QTEST(rig.run(arguments), "status");
        QTEST(rig.port.commands(), "commands");
        QCOMPARE(rig.port.received.isEmpty(), rig.port.commands().isEmpty());
        QTEST(rig.out.data(), "out");
        QTEST(rig.boxes.texts(), "messages");
    }

    // What dump writes is what the window's loader reads, register by register.
    void dumpLoadsUnchanged()
    {
        Rig rig;
        rig.port.board().setChipRegister(0x3E, 0x0A);
        QCOMPARE(rig.run({"dump", "dump.txt"}) + rig.run({"dump"}), 0);
        QCOMPARE(rig.port.commands(), readAll + readAll);
        const RegisterFile::Contents file = RegisterFile::read("dump.txt");
        QCOMPARE(RegisterFile::lines(rig.out.data()), file.lines);
        QCOMPARE(file.lines.size(), 64);
        QCOMPARE(file.lines.at(0), QString("KV7106_Register0: ID and REVISION (00h) :71"));
        for (int k = 0; k < RegisterMap::Count; ++k)
            QCOMPARE(RegisterFile::valueOf(file.lines.at(k)),
                     QString::asprintf("%02X", rig.port.board().chipRegister(k)));
        rig.port.board().setChipRegister(0x3E, 0x0B); // a dump that does not fit leaves the earlier file
        limitFileSize(1000);
        const int status = rig.run({"dump", "dump.txt"});
        limitFileSize(-1);
        QCOMPARE(QString::number(status) + rig.boxes.texts().join('|'), "2Cannot write dump.txt: File too large");
        QCOMPARE(RegisterFile::read("dump.txt").lines, file.lines);
    }

    void progressAndTrace()
    {
        QBuffer progress;
        QBuffer trace;
        QVERIFY(progress.open(QIODevice::WriteOnly) && trace.open(QIODevice::WriteOnly));
        Rig rig;
        TracePort traced(rig.port, rig.clock, trace);
        QCOMPARE(rig.run({"load", "changed.txt"}, &progress, &traced), 0);
        QVERIFY(progress.data().startsWith("\rwriting register 1 of 64, 2.5 s left at 9600 baud\x1b[K"
                                           "\rwriting register 2 of 64, 2.4 s left at 9600 baud\x1b[K"));
        QVERIFY(progress.data().endsWith("\rwriting register 64 of 64, 0.0 s left at 9600 baud\x1b[K\r\x1b[K"));
        QVERIFY(trace.data().startsWith(
            "   0.0000 open /dev/sim1\n   0.0000 tx \"Q\"\n   0.0000 tx \"Q\"\n   0.0000 tx \"Q\"\n"
            "   0.5000 rx \"\\r\\n> \\r\\n> \\r\\n> \"\n   0.5000 tx \"W\"\n   0.5000 tx \"0\"\n"));
    }

    // The installed program: no widgets, the real port on a pty, its statuses.
    void executable()
    {
        const QByteArray libraries = run("ldd", {KV71XX_CLI_EXE});
        QVERIFY(libraries.contains("libQt6SerialPort.so") && !libraries.contains("libQt6Gui"));
        sim::BoardProcess board({"COM1", {Fault::StuckRegister, 0x06}, false, "board.log"});
        sim::BoardProcess silent({"COM2", {Fault::Silent, 0}, false, {}});
        QVERIFY(board.ready() && silent.ready());
        QCOMPARE(run(KV71XX_CLI_EXE, {"dump", "pty.txt"}), "0||");
        QCOMPARE(run(KV71XX_CLI_EXE, {"--device", "COM1", "load", "changed.txt", "--burst", "--verify"}),
                 "1|" + stuckLine + '|'); // not a terminal: no progress line
        QCOMPARE(run(KV71XX_CLI_EXE, {"write", "6", "zz"}),
                 "2||kv71xx-cli: write: VALUE \"zz\" is not a hexadecimal byte 00 to FF\n");
        QTRY_COMPARE(board.received(),
                     "QQQ" + readAll.join("").toLatin1() + "QQQ" + (bursts + readAll).join("").toLatin1());
        const QDeadlineTimer limit(3000); // the reset's half second and the one-second echo limit
        QCOMPARE(run(KV71XX_CLI_EXE, {"--port", "2", "read", "6"}),
                 "3||kv71xx-cli: " + Texts::echo.toLatin1()
                     + "\nkv71xx-cli: The board sent no value for chip register 06\n");
        QVERIFY(!limit.hasExpired());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"