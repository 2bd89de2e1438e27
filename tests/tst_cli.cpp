// kv71xx-cli on the in-process board and, as the installed program, over a pty.

#include "boardprocess.h"
#include "fakes.h"
#include "simport.h"
#include "texts.h"

#include "files/registerfile.h"
#include "invocation.h"
#include "ports.h"
#include "runner.h"
#include "traceport.h"

#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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
// The link's failure messages as the companion words them.
const QString noAnswer = "The board does not answer on the serial port: check the cable, the port and its settings";
const QString noPrompt = "The board's reply did not end with its prompt: reset the evaluation board and try again";

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

// The process a lock file names (its first line), 0 without one.
qint64 lockHolder(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
}

} // namespace

Q_DECLARE_METATYPE(sim::BoardOptions)

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const Fifo m_fifo{m_dir.filePath("fifo.txt")};

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        RegisterFile::Texts texts;
        for (int k = 0; k < RegisterMap::Count; ++k)
            texts.at(size_t(k)) = QString::asprintf("%02X", sim::BoardCore::powerOnValue(k));
        writeFile("same.txt", RegisterFile::format(texts));
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
        row("verify", {"diff", "changed.txt", "--verify"}, {}, {}, 2, {"--verify goes with load and write"});
        row("port", {"--port", "9", "read", "1"}, {}, {}, 2, {"--port \"9\" is not a port number 1 to 8"});
        row("no file", {"load", "none.txt"}, {}, {}, 2, {"Cannot read none.txt: No such file or directory"});
        row("fifo load", {"load", "fifo.txt"}, {}, {}, 2, {"Cannot load fifo.txt: it is not a regular file."});
        row("fifo diff", {"diff", "fifo.txt"}, {}, {}, 2, {"Cannot load fifo.txt: it is not a regular file."});
        row("short file", {"diff", "short.txt"}, {}, {}, 2, {"short.txt: 20 lines, where a register file has 64"});
        row("no byte", {"load", "bad.txt", "--burst"}, {}, {}, 2,
            {"bad.txt:7: no register value in \"KV7106_Register6:Red Gain (0x06):8G\""});
        row("silent load", {"load", "changed.txt"}, {"W0x0000 0x1 0x71 "}, {}, 3,
            {noAnswer, "The board did not confirm writing register 00; the registers after it were not written"},
            {Fault::Silent, 0});
        row("no prompt", {"fpga-write", "1", "2"}, {"Y0x0001 0x1 0x02 "}, {}, 3,
            {noPrompt, "The board did not confirm writing FPGA register 0001"}, {Fault::NoPrompt, 0});
        row("chatter", {"write", "06", "01"}, {"W0x0006 0x1 0x01 "}, {}, 3,
            {noPrompt, "The board did not confirm writing chip register 06"}, {Fault::Chatter, 0});
        // Quiet after the reset, the first burst read's 13 characters and 4 more.
        row("stops answering", {"diff", "changed.txt"}, {"R0x0000 0x10 ", "R0x0010 0x10 "}, {}, 3,
            {noAnswer, "The board did not send registers 10 to 1F"}, {Fault::StopEchoAfter, 20});
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

    void portsListsEachPortThenEachDetectedDevice()
    {
        QVERIFY(QFile::link("/dev/null", "COM2"));
        FakeSerialDevices devices;
        devices.devices = {{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A1", "FT232R USB UART", "FTDI", "A1"}};
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QCOMPARE(listPorts(devices, out), 0);
        QFile::remove("COM2");
        const QList<QByteArray> lines = out.data().split('\n');
        QCOMPARE(lines.at(1), "COM2  /dev/null through the link COM2 in " + QDir::currentPath().toLocal8Bit());
        QCOMPARE(lines.at(8), "");
        QCOMPARE(lines.at(10), "/dev/ttyUSB0  FT232R USB UART, FTDI, serial A1, /dev/serial/by-id/usb-FTDI_A1");
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
        QVERIFY(run(KV71XX_CLI_EXE, {"ports"}).startsWith("0|COM1  " + QFile::symLinkTarget("COM1").toLatin1() + ' '));
        QCOMPARE(run(KV71XX_CLI_EXE, {"--device", "COM1", "load", "changed.txt", "--burst", "--verify"}),
                 "1|" + stuckLine + '|'); // not a terminal: no progress line
        QCOMPARE(run(KV71XX_CLI_EXE, {"write", "6", "zz"}),
                 "2||kv71xx-cli: write: VALUE \"zz\" is not a hexadecimal byte 00 to FF\n");
        QTRY_COMPARE(board.received(),
                     "QQQ" + readAll.join("").toLatin1() + "QQQ" + (bursts + readAll).join("").toLatin1());
        const QDeadlineTimer limit(3000); // the reset's half second and the one-second echo limit
        QCOMPARE(run(KV71XX_CLI_EXE, {"--port", "2", "read", "6"}),
                 "3||kv71xx-cli: " + noAnswer.toLatin1()
                     + "\nkv71xx-cli: The board sent no value for chip register 06\n");
        QVERIFY(!limit.hasExpired());
    }

    void signalEndsWithItsStatusInsideAWait_data() { addTerminationSignalRows(); }

    // A logout, kill or Ctrl+C while the board keeps it waiting: its serial lock goes, no message.
    void signalEndsWithItsStatusInsideAWait()
    {
        QFETCH(int, signal);
        sim::BoardProcess board({"COM1", {Fault::NoPrompt, 0}, false, {}});
        QVERIFY(board.ready());
        const QString lock = "/var/lock/LCK.." + QFile::symLinkTarget("COM1").mid(5).replace('/', '_');
        QProcess cli;
        cli.start(KV71XX_CLI_EXE, {"dump"});
        QTRY_COMPARE_WITH_TIMEOUT(lockHolder(lock), cli.processId(), 5000); // not a stale lock of another run
        QCOMPARE(::kill(cli.processId(), signal), 0);
        QVERIFY(cli.waitForFinished(3000));
        QCOMPARE(cli.exitCode(), 128 + signal);
        QVERIFY(!QFile::exists(lock));
        QCOMPARE(cli.readAllStandardError(), "");
    }

    // A port that echoes and then talks on without a prompt ends the command within its reply's bounds.
    void executableEndsOnAPortThatKeepsTalking()
    {
        sim::BoardProcess board({"COM3", {Fault::Chatter, 0}, true, {}});
        QVERIFY(board.ready());
        const QDeadlineTimer limit(3000); // the reset, 16 echoes and 511 characters at 9600 baud
        QCOMPARE(run(KV71XX_CLI_EXE, {"--port", "3", "write", "06", "01"}),
                 "3||kv71xx-cli: " + noPrompt.toLatin1()
                     + "\nkv71xx-cli: The board did not confirm writing chip register 06\n");
        QVERIFY(!limit.hasExpired());
    }

    // The trace logs characters when the link asks what is waiting, before anything takes them.
    void traceShowsCharactersAsTheyArrive()
    {
        QBuffer log;
        QVERIFY(log.open(QIODevice::WriteOnly));
        Rig rig;
        TracePort trace(rig.port, rig.clock, log);
        QVERIFY(trace.open({1, {}}, LineSettings{}));
        rig.port.send("R0x"); // the board echoes "0x"
        QCOMPARE(trace.waitingCount(), 2);
        QCOMPARE(log.data(), "   0.0000 open /dev/sim1\n   0.0000 rx \"0x\"\n");
        rig.port.send("0");
        QCOMPARE(trace.take(2), "0x");
        QCOMPARE(trace.take(0), "0");
        QVERIFY(log.data().endsWith("\n   0.0000 rx \"0\"\n"));
    }

    void writeSendsAdjacentRegistersAsOneBurstAfterOneReset_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("one pair") << QStringList{"6", "80"} << QStringList{"W0x0006 0x1 0x80 "};
        QTest::newRow("adjacent") << QStringList{"6", "80", "0x07", "1", "8", "ff"}
                                  << QStringList{"W0x0006 0x03 0x80 0x01 0xFF "};
        QTest::newRow("apart, in order") << QStringList{"8", "1", "6", "2", "7", "3"}
                                         << QStringList{"W0x0008 0x1 0x01 ", "W0x0006 0x02 0x02 0x03 "};
    }

    void writeSendsAdjacentRegistersAsOneBurstAfterOneReset()
    {
        QFETCH(QStringList, arguments);
        Rig rig;
        QCOMPARE(rig.run(QStringList{"write"} + arguments), 0);
        QTEST(rig.port.commands(), "commands");
        QCOMPARE(rig.port.opens, 1);
    }

    // 01 belongs to the chip: written, but neither read back nor compared.
    void writeVerifyPrintsTheRegisterThatDidNotTake()
    {
        Rig rig({Fault::StuckRegister, 0x06});
        QCOMPARE(rig.run({"write", "5", "1", "6", "7F", "7", "2", "1", "5", "--verify"}), 1);
        QCOMPARE(rig.port.commands(),
                 QStringList({"W0x0005 0x03 0x01 0x7F 0x02 ", "W0x0001 0x1 0x05 ", "R0x0005 0x03 "}));
        QCOMPARE(rig.out.data(), stuckLine);
    }

    void badUsageOfWriteOrWatchSendsNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("lone address") << QStringList{"write", "6", "80", "7"} << "write: missing VALUE";
        QTest::newRow("bad second value")
            << QStringList{"write", "6", "80", "7", "100"} << "write: VALUE \"100\" is not a hexadecimal byte 00 to FF";
        QTest::newRow("interval under 1 s") << QStringList{"watch", "1", "--count", "1", "--interval", "0.99"}
                                            << "--interval \"0.99\" is not a number of seconds from 1 to 86400";
        QTest::newRow("no reads") << QStringList{"watch", "1", "--count", "0"}
                                  << "--count \"0\" is not a number of reads, 1 or more";
    }

    void badUsageOfWriteOrWatchSendsNothing()
    {
        QFETCH(QStringList, arguments);
        Rig rig;
        QCOMPARE(rig.run(arguments), 2);
        QCOMPARE(rig.port.opens, 0);
        QTEST(rig.boxes.texts().value(0), "message");
    }

    // Rounds two seconds apart; 01 changes before the second and stays.
    void watchPrintsEveryRegisterFirstThenEachChange()
    {
        Rig rig;
        int waits = 0;
        rig.clock.onWait = [&] {
            if (++waits == 2) // the reset's pause comes first
                rig.port.board().setChipRegister(0x01, 0x10);
        };
        QCOMPARE(rig.run({"watch", "3", "1", "--interval", "2", "--count", "3"}), 0);
        QCOMPARE(rig.out.data(),
                 "    0.0 s 01 Sync Status (0x01): 00\n"
                 "    0.0 s 03 HSYNC Slicer (0x03): 7C\n"
                 "    2.0 s 01 Sync Status (0x01): 00 -> 10\n");
        const QStringList round{"R0x0001 0x01 ", "R0x0003 0x01 "};
        QCOMPARE(rig.port.commands(), round + round + round);
        QCOMPARE(rig.port.opens, 1);
    }

    // Quiet after the reset, the first round's 13 characters and 4 more.
    void watchEndsWithStatus3WhenTheBoardStopsAnswering()
    {
        Rig rig({Fault::StopEchoAfter, 20});
        QCOMPARE(rig.run({"watch", "1"}), 3);
        QCOMPARE(rig.out.data(), "    0.0 s 01 Sync Status (0x01): 00\n");
        QCOMPARE(rig.boxes.texts(), QStringList({noAnswer, "The board did not send register 01"}));
    }

    void writeStopsAtTheFirstRegisterTheBoardDoesNotConfirm()
    {
        Rig rig({Fault::NoPrompt, 0});
        QCOMPARE(rig.run({"write", "6", "1", "8", "2"}), 3);
        QCOMPARE(rig.port.commands(), QStringList{"W0x0006 0x1 0x01 "});
        QCOMPARE(rig.boxes.texts(),
                 QStringList({noPrompt,
                              "The board did not confirm writing chip register 06; "
                              "the registers after it were not written"}));
    }

    void writeAndWatchRunOverThePty()
    {
        sim::BoardProcess board({"COM1", {Fault::StuckRegister, 0x06}, false, {}});
        QVERIFY(board.ready());
        QCOMPARE(run(KV71XX_CLI_EXE, {"write", "6", "7F", "7", "7F", "--verify"}), "1|" + stuckLine + '|');
        QCOMPARE(run(KV71XX_CLI_EXE, {"watch", "6", "--interval", "1", "--count", "2"}),
                 "0|    0.0 s 06 Red Gain (0x06): 80\n|");
    }

    void outputThatCannotBeWrittenEndsWithStatus2_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("help") << QStringList{"--help"};
        QTest::newRow("read") << QStringList{"read", "6"};
        QTest::newRow("fpga-read") << QStringList{"fpga-read", "6"};
        QTest::newRow("dump") << QStringList{"dump"};
        QTest::newRow("diff") << QStringList{"diff", "changed.txt"};
        QTest::newRow("load --verify") << QStringList{"load", "--burst", "--verify", "changed.txt"};
    }

    // The installed program with its standard output on a full disk.
    void outputThatCannotBeWrittenEndsWithStatus2()
    {
        QFETCH(QStringList, arguments);
        sim::BoardProcess board({"COM1", {Fault::StuckRegister, 0x06}, false, {}});
        QVERIFY(board.ready());
        QProcess child;
        child.setStandardOutputFile("/dev/full");
        child.start(KV71XX_CLI_EXE, arguments);
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.readAllStandardError(),
                 "kv71xx-cli: Cannot write to standard output: No space left on device\n");
        QCOMPARE(child.exitCode(), 2);
    }

    void dumpIntoAFifoWritesIntoItAndLeavesItAFifo()
    {
        Fifo fifo(m_dir.filePath("dump.fifo"));
        Rig rig;
        QCOMPARE(rig.run({"dump", "dump.fifo"}), 0);
        QCOMPARE(rig.run({"dump"}), 0);
        QCOMPARE(fifo.take(), rig.out.data());
        QVERIFY(fifo.isFifo());
    }

    void dumpIntoADeviceLeavesItADevice()
    {
        if (mknod("null", S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("Making a device node needs root");
        QCOMPARE(Rig().run({"dump", "null"}), 0);
        struct stat status = {};
        QVERIFY(stat("null", &status) == 0 && S_ISCHR(status.st_mode));
    }

    // Nothing is sent where the window would select no port.
    void aSettingsFileThatNamesNoPortIsRefused_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("9") << QByteArray(" 9 ");
        QTest::newRow("COM3") << QByteArray("COM3");
        QTest::newRow("empty") << QByteArray();
    }

    void aSettingsFileThatNamesNoPortIsRefused()
    {
        QFETCH(QByteArray, line);
        writeFile("KV71xx.ini", line + "\r\n");
        Rig rig;
        const int status = rig.run({"read", "6"});
        QFile::remove("KV71xx.ini");
        QCOMPARE(status, 2);
        QCOMPARE(rig.port.received, QByteArray());
        QCOMPARE(rig.boxes.texts(),
                 QStringList{"KV71xx.ini holds \"" + line
                             + "\", which selects no port: choose one "
                               "with --port N (1 to 8) or --device PATH"});
    }

    void diffLeavesOutTheRegistersTheChipSets()
    {
        Rig rig;
        for (const int address : {0x00, 0x01, 0x02})
            rig.port.board().setChipRegister(address, quint8(0x12 + address));
        QCOMPARE(rig.run({"diff", "same.txt"}), 0);
        QCOMPARE(rig.out.data(), QByteArray());
        QCOMPARE(rig.boxes.texts(),
                 QStringList{"Not compared, as the chip sets them: 00 ID and REVISION (00h): file 71, "
                             "chip 12; 01 Sync Status (0x01): file 00, chip 13; 02 Sync Polarity "
                             "(0x02): file 00, chip 14"});
    }

    // Still written, as the window's Load writes them.
    void loadVerifyLeavesOutTheRegistersTheChipSets()
    {
        Rig rig({Fault::StuckRegister, 0x00});
        rig.port.board().setChipRegister(0x00, 0x12);
        rig.port.board().setChipRegister(0x02, 0x14);
        QCOMPARE(rig.run({"load", "--burst", "--verify", "changed.txt"}), 0);
        QCOMPARE(rig.port.commands(), bursts + readAll);
        QCOMPARE(rig.out.data(), QByteArray());
        QCOMPARE(rig.boxes.texts(),
                 QStringList{"Not compared, as the chip sets them: 00 ID and REVISION (00h): wrote "
                             "71, chip 12; 02 Sync Polarity (0x02): wrote 00, chip 14"});
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"