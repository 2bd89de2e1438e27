// kv71xx-cli: each command's wire traffic, output and exit status on the
// in-process board; refused input sends nothing; failing boards end with 3;
// the executable itself over a pty, linking no widgets. Links no widgets.

#include "boardprocess.h"
#include "fakes.h"
#include "simport.h"
#include "texts.h"

#include "files/registerfile.h"
#include "invocation.h"
#include "runner.h"
#include "traceport.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
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

// The single writes of changed.txt, in address order.
QStringList perRegister()
{
    QStringList writes;
    for (const QString &burst : bursts) {
        const int first = burst.mid(3, 4).toInt(nullptr, 16);
        const QStringList values = burst.mid(13).split(' ', Qt::SkipEmptyParts);
        for (int i = 0; i < values.size(); ++i)
            writes.append(QString::asprintf("W0x%04X 0x1 %s ", first + i, qPrintable(values.at(i))));
    }
    return writes;
}

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

// The executable in the current folder: status, stdout, stderr.
struct Cli
{
    explicit Cli(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral(KV71XX_CLI_EXE), arguments);
        process.waitForFinished(20000);
        status = process.exitCode();
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
    }
    int status = -1;
    QByteArray out;
    QByteArray err;
};

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

    void commands_data()
    {
        QTest::addColumn<sim::BoardOptions>("options");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<int>("status");
        const auto row = [](const char *name, const QStringList &arguments, const QStringList &commands,
                            const QByteArray &out, int status, sim::BoardOptions options = {}) {
            QTest::newRow(name) << options << arguments << commands << out << status;
        };
        const QByteArray diff
            = "06 Red Gain (0x06): file 7F, chip 80\n3F INTERNAL PNUM0 (3Fh): file 2A, chip 00\n";
        const sim::BoardOptions stuck{Fault::StuckRegister, 0x06};
        row("read", {"read", "0x06"}, {"R0x0006 0x1 "}, "80\n", 0);
        row("write", {"write", "3f", "0"}, {"W0x003F 0x1 0x00 "}, {}, 0);
        row("fpga-write", {"fpga-write", "102", "3c"}, {"Y0x0102 0x1 0x3C "}, {}, 0);
        row("fpga-read", {"fpga-read", "FFFF"}, {"X0xFFFF 0x1 "}, "00\n", 0);
        row("diff", {"diff", "changed.txt"}, readAll, diff, 1);
        row("load", {"load", "changed.txt"}, perRegister(), {}, 0);
        row("load --burst", {"load", "--burst", "changed.txt"}, bursts, {}, 0);
        row("load --verify, stuck 06", {"load", "changed.txt", "--verify"}, perRegister() + readAll,
            stuckLine, 1, stuck);
        row("load --burst --verify, stuck 06", {"load", "changed.txt", "--verify", "--burst"},
            bursts + readAll, stuckLine, 1, stuck);
    }

    void commands()
    {
        QFETCH(sim::BoardOptions, options);
        QFETCH(QStringList, arguments);
        Rig rig(options);
        QTEST(rig.run(arguments), "status");
        QTEST(rig.port.commands(), "commands");
        QTEST(rig.out.data(), "out");
        QCOMPARE(rig.boxes.texts(), QStringList());
    }

    // What dump writes is what the window's loader reads, register by register.
    void dumpLoadsUnchanged()
    {
        Rig rig;
        rig.port.board().setChipRegister(0x3E, 0x0A);
        QCOMPARE(rig.run({"dump", "dump.txt"}), 0);
        QCOMPARE(rig.run({"dump"}), 0);
        QCOMPARE(rig.port.commands(), readAll + readAll);

        const RegisterFile::Contents file = RegisterFile::read("dump.txt");
        QVERIFY(file.error.isEmpty());
        QCOMPARE(file.lines.size(), 64);
        QCOMPARE(file.lines.at(0), QString("KV7106_Register0: ID and REVISION (00h) :71"));
        for (int k = 0; k < RegisterMap::Count; ++k)
            QCOMPARE(RegisterFile::valueOf(file.lines.at(k)),
                     QString::asprintf("%02X", rig.port.board().chipRegister(k)));
        QFile dump("dump.txt");
        QVERIFY(dump.open(QIODevice::ReadOnly));
        QCOMPARE(rig.out.data(), dump.readAll());
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QStringList &arguments, const char *message) {
            QTest::newRow(name) << arguments << QString(message);
        };
        row("unknown command", {"frob"}, "Unknown command \"frob\"");
        row("unknown option", {"--bogus", "read", "1"}, "Unknown option 'bogus'.");
        row("bad hex", {"write", "6", "8G"}, "write: VALUE \"8G\" is not a hexadecimal byte 00 to FF");
        row("no chip register", {"read", "40"}, "read: ADDR \"40\" is not a hexadecimal address 00 to 3F");
        row("no fpga register", {"fpga-read", "0x10000"},
            "fpga-read: ADDR \"0x10000\" is not a hexadecimal address 0000 to FFFF");
        row("missing", {"write", "6"}, "write: missing VALUE");
        row("extra", {"dump", "a", "b"}, "dump: unexpected argument \"b\"");
        row("verify", {"diff", "changed.txt", "--verify"}, "--verify goes with load only");
        row("port", {"--port", "9", "read", "1"}, "--port \"9\" is not a port number 1 to 8");
        row("no file", {"load", "none.txt"}, "Cannot read none.txt: No such file or directory");
        row("short file", {"diff", "short.txt"}, "short.txt: 20 lines, where a register file has 64");
        row("no byte", {"load", "bad.txt", "--burst"},
            "bad.txt:7: no register value in \"KV7106_Register6:Red Gain (0x06):8G\"");
    }

    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        Rig rig;
        QCOMPARE(rig.run(arguments), 2);
        QCOMPARE(rig.boxes.texts(), QStringList{message});
        QCOMPARE(rig.port.opens, 0);
        QCOMPARE(rig.port.received, QByteArray());
    }

    void linkFailure_data()
    {
        QTest::addColumn<sim::BoardOptions>("options");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("refuseOpen");
        const auto row = [](const char *name, sim::BoardOptions options, const QStringList &arguments,
                            const QStringList &messages, bool refuseOpen = false) {
            QTest::newRow(name) << options << arguments << messages << refuseOpen;
        };
        const sim::BoardOptions silent{Fault::Silent, 0};
        row("silent read", silent, {"read", "6"},
            {Texts::echo, "The board sent no value for chip register 06"});
        row("silent load", silent, {"load", "changed.txt"},
            {Texts::echo,
             "The board did not confirm writing register 00; the registers after it were not written"});
        row("no prompt", {Fault::NoPrompt, 0}, {"fpga-write", "1", "2"},
            {Texts::prompt, "The board did not confirm writing FPGA register 0001"});
        // Quiet after the reset, the first burst read's 13 characters and 4 more.
        row("stops answering", {Fault::StopEchoAfter, 20}, {"diff", "changed.txt"},
            {Texts::echo, "The board did not send registers 10 to 1F"});
        row("no port", {}, {"dump"}, {Texts::cannotOpen(1, "/dev/sim1", "No such file or directory")}, true);
    }

    void linkFailure()
    {
        QFETCH(sim::BoardOptions, options);
        QFETCH(QStringList, arguments);
        Rig rig(options);
        QFETCH(bool, refuseOpen);
        rig.port.refuseOpen = refuseOpen;
        QCOMPARE(rig.run(arguments), 3);
        QTEST(rig.boxes.texts(), "messages");
        QCOMPARE(rig.out.data(), QByteArray());
    }

    void progressAndTrace()
    {
        QByteArray progress;
        QBuffer progressLine(&progress);
        progressLine.open(QIODevice::WriteOnly);
        QByteArray trace;
        QBuffer traceLog(&trace);
        traceLog.open(QIODevice::WriteOnly);
        Rig rig;
        TracePort traced(rig.port, rig.clock, traceLog);
        QCOMPARE(rig.run({"load", "changed.txt"}, &progressLine, &traced), 0);

        QVERIFY(progress.startsWith("\rwriting register 1 of 64, 2.5 s left at 9600 baud\x1b[K"
                                    "\rwriting register 2 of 64, 2.4 s left at 9600 baud\x1b[K"));
        QVERIFY(progress.endsWith("\rwriting register 64 of 64, 0.0 s left at 9600 baud\x1b[K\r\x1b[K"));
        QVERIFY(trace.startsWith(
            "   0.0000 open /dev/sim1\n   0.0000 tx \"Q\"\n   0.0000 tx \"Q\"\n   0.0000 tx \"Q\"\n"
            "   0.5000 rx \"\\r\\n> \\r\\n> \\r\\n> \"\n   0.5000 tx \"W\"\n   0.5000 tx \"0\"\n"
            "   0.5000 rx \"0\"\n"));
        QVERIFY(trace.endsWith(
            "   0.5000 tx \"A\"\n   0.5000 rx \"A\"\n   0.5000 tx \" \"\n   0.5000 rx \" \"\n"
            "   0.5000 rx \"\\r\"\n   0.5000 rx \"\\n\"\n   0.5000 rx \">\"\n   0.5000 rx \" \"\n"));
    }

    // The installed program: no widgets, the real port on a pty, its statuses.
    void executable()
    {
        QProcess ldd;
        ldd.start("ldd", {KV71XX_CLI_EXE});
        QVERIFY(ldd.waitForFinished());
        const QByteArray libraries = ldd.readAllStandardOutput();
        QVERIFY(libraries.contains("libQt6Core.so") && libraries.contains("libQt6SerialPort.so"));
        QVERIFY(!libraries.contains("libQt6Gui") && !libraries.contains("libQt6Widgets"));

        {
            QFile::remove("board.log");
            sim::BoardProcess board({"COM1", {Fault::StuckRegister, 0x06}, false, "board.log"});
            QVERIFY(board.ready());
            const Cli dump({"dump", "pty.txt"});
            QCOMPARE(dump.status, 0);
            QVERIFY(QFile::exists("pty.txt"));
            const Cli load({"--device", "COM1", "load", "changed.txt", "--burst", "--verify"});
            QCOMPARE(load.status, 1);
            QCOMPARE(load.out, stuckLine);
            QCOMPARE(load.err, QByteArray()); // not a terminal: no progress line
            const Cli bad({"write", "6", "zz"});
            QCOMPARE(bad.status, 2);
            QCOMPARE(bad.err,
                     QByteArray("kv71xx-cli: write: VALUE \"zz\" is not a hexadecimal byte 00 to FF\n"));
            QTRY_COMPARE(board.received(),
                         "QQQ" + readAll.join("").toLatin1() + "QQQ"
                             + (bursts + readAll).join("").toLatin1());
        }
        sim::BoardProcess silent({"COM1", {Fault::Silent, 0}, false, {}});
        QVERIFY(silent.ready());
        QElapsedTimer wall;
        wall.start();
        const Cli read({"read", "6"});
        QCOMPARE(read.status, 3);
        QVERIFY(wall.elapsed() < 3000); // the reset's half second and the one-second echo limit
        QCOMPARE(read.err,
                 "kv71xx-cli: " + Texts::echo.toLatin1()
                     + "\nkv71xx-cli: The board sent no value for chip register 06\n");
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
