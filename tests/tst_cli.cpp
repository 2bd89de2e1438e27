#include "boardprocess.h"
#include "fakes.h"
#include "simport.h"
#include "texts.h"

#include "files/registerfile.h"
#include "invocation.h"
#include "platform/portproblems.h"
#include "ports.h"
#include "runner.h"
#include "traceport.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <array>
#include <csignal>
#include <unistd.h>
#endif

namespace {

using Fault = sim::BoardOptions::Fault;

const QStringList readAll{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "};
// changed.txt: the power-on values with 06 = 7F, 0C = "5" and 3F = "2a".
const QStringList changed = QString("71 00 00 7C 0A 00 7F 80 80 40 40 40 05 14 06 98 10 08 08 20 0C 00 02 00 00 0F 01 "
                                    + QString("00 ").repeated(5) + "18 " + QString("00 ").repeated(30) + "2A")
                                .split(' ');
const QByteArray stuckLine = "06 Red Gain (0x06): wrote 7F, chip 80\n";
const QString noAnswer
    = "The board does not answer on COM1 (/dev/sim1): check the cable and the board, or choose another "
      "port with --port N or --device PATH (kv71xx-cli ports lists them)";
const QString noPrompt = "The board's reply did not end with its prompt: reset the evaluation board and try again";

// changed.txt written one register (n = 1) or n at a time.
QStringList loadCommands(int n, const QStringList &values = changed)
{
    QStringList commands;
    for (int first = 0; first < RegisterMap::Count; first += n)
        commands << QString::asprintf(n == 1 ? "W0x%04X 0x1 0x" : "W0x%04X 0x%02X 0x", first, n)
                + values.mid(first, n).join(" 0x") + ' ';
    return commands;
}

// owned.txt: the power-on values; 01, which the chip sets, 55.
QStringList owned()
{
    QStringList values = changed;
    values[1] = "55";
    values[6] = "80";
    values[0x3F] = "00";
    return values;
}

// One run of the command line on the in-process board, as main does it.
struct Rig
{
    explicit Rig(const sim::BoardOptions &options = {})
        : port(&events, options)
    {
        out.open(QIODevice::WriteOnly);
    }
    int run(const QStringList &arguments, QIODevice *progress = nullptr)
    {
        const CommandLine::Parsed parsed = CommandLine::parse(QStringList{"kv71xx-cli"} + arguments);
        if (!parsed.invocation) {
            boxes.show(parsed.error);
            return Invocation::BadInput;
        }
        return Runner(*parsed.invocation, port, clock, boxes, out, progress).run();
    }

    QStringList events; // what the port was asked to do
    SimPort port;
    FakeClock clock;
    FakeMessageBoxes boxes{&clock};
    QBuffer out;
};

#ifdef Q_OS_UNIX // for the cases on a pty
// The installed program's "status|stdout|stderr".
QByteArray run(const QStringList &arguments, const QString &program = KV71XX_CLI_EXE)
{
    QProcess child;
    child.start(program, arguments);
    child.waitForFinished(20000);
    return QByteArray::number(child.exitCode()) + '|' + child.readAllStandardOutput() + '|'
        + child.readAllStandardError();
}
#endif

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
        std::copy(changed.begin(), changed.end(), texts.begin());
        texts[0x0C] = "5";
        texts[0x3F] = "2a";
        const QByteArray changed = RegisterFile::format(texts);
        writeFile("changed.txt", changed);
        writeFile("short.txt", changed.left(changed.indexOf("KV7106_Register20:")));
        writeFile("long.txt", changed + QByteArray("KV7106_Register64:more:55\r\n").repeated(6));
        texts[0x06] = "8G";
        writeFile("bad.txt", RegisterFile::format(texts));
        const QStringList values = owned();
        std::copy(values.begin(), values.end(), texts.begin());
        writeFile("owned.txt", RegisterFile::format(texts));
    }

    void eachCommandSendsItsLinesAndEndsWithItsStatus_data()
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
        const auto refused = [&](const char *name, const QStringList &arguments, const QString &message) {
            row(name, arguments, {}, {}, 2, {message});
        };
        const QString after = "; the registers after it were not written";
        const sim::BoardOptions stuck{Fault::StuckRegister, 0x06};
        row("read", {"read", "0X06"}, {"R0x0006 0x1 "}, "80\n", 0);
        row("write adjacent", {"write", "6", "80", "0x07", "1", "8", "ff"}, {"W0x0006 0x03 0x80 0x01 0xFF "}, {}, 0);
        row("write apart", {"write", "8", "1", "6", "2", "7", "3"}, {"W0x0008 0x1 0x01 ", "W0x0006 0x02 0x02 0x03 "},
            {}, 0);
        const QString notCompared = "Not compared, as the chip sets them: 01 Sync Status (0x01): ";
        // 01 belongs to the chip: written and read back, but not compared.
        row("write --verify", {"write", "5", "1", "6", "7F", "7", "2", "1", "5", "--verify"},
            {"W0x0005 0x03 0x01 0x7F 0x02 ", "W0x0001 0x1 0x05 ", "R0x0001 0x01 ", "R0x0005 0x03 "}, stuckLine, 1,
            {notCompared + "wrote 05, chip 00"}, stuck);
        row("fpga-write", {"fpga-write", "102", "3c"}, {"Y0x0102 0x1 0x3C "}, {}, 0);
        row("fpga-read", {"fpga-read", "FFFF"}, {"X0xFFFF 0x1 "}, "00\n", 0);
        row("diff", {"diff", "changed.txt"}, readAll,
            "06 Red Gain (0x06): file 7F, chip 80\n3F INTERNAL PNUM0 (3Fh): file 2A, chip 00\n", 1);
        row("load --burst", {"load", "--burst", "changed.txt"}, loadCommands(16), {}, 0);
        row("load --verify", {"load", "changed.txt", "--verify"}, loadCommands(1) + readAll, stuckLine, 1, {}, stuck);
        const QString ignored = "long.txt: lines after the 64th ignored: 6";
        row("load, 70 lines", {"load", "long.txt", "--burst"}, loadCommands(16), {}, 0, {ignored});
        row("diff, 01 apart", {"diff", "owned.txt"}, readAll, {}, 0, {notCompared + "file 55, chip 00"});
        row("load --verify, 01 apart", {"load", "owned.txt", "--verify", "--burst"},
            loadCommands(16, owned()) + readAll, {}, 0, {notCompared + "wrote 55, chip 00"});
        refused("unknown command", {"frob"}, "Unknown command \"frob\"");
        refused("no chip register", {"read", "40"}, "read: ADDR \"40\" is not a hexadecimal address 00 to 3F");
        refused("write 40", {"write", "40", "12"}, "write: ADDR \"40\" is not a hexadecimal address 00 to 3F");
        refused("port and device", {"--port", "2", "--device", "/dev/x", "read", "1"},
                "--port and --device exclude each other");
        refused("no fpga register", {"fpga-read", "10000"},
                "fpga-read: ADDR \"10000\" is not a hexadecimal address 0000 to FFFF");
        refused("lone address", {"write", "6", "80", "7"}, "write: missing VALUE");
        refused("extra", {"dump", "a", "b"}, "dump: unexpected argument \"b\"");
        refused("verify", {"diff", "changed.txt", "--verify"}, "--verify goes with load and write");
        refused("port", {"--port", "9", "read", "1"}, "--port \"9\" is not a port number 1 to 8");
        refused("interval", {"watch", "1", "--interval", "0.99"},
                "--interval \"0.99\" is not a number of seconds from 1 to 86400");
        refused("count", {"watch", "1", "--count", "0"}, "--count \"0\" is not a number of reads, 1 or more");
#ifdef Q_OS_WIN // the system's own words
        const QString noFolder = "Path not found.", noFile = "File not found.";
#else
        const QString noFolder = "No such file or directory", noFile = noFolder;
#endif
        refused("unwritable", {"dump", "none/dump.txt"}, "Cannot write none/dump.txt: " + noFolder);
        refused("no file", {"load", "none.txt"}, "Cannot read none.txt: " + noFile);
        refused("short file", {"diff", "short.txt"}, "short.txt: 20 lines, where a register file has 64");
        refused("no byte", {"load", "bad.txt", "--burst"},
                "bad.txt:7: no register value in \"KV7106_Register6:Red Gain (0x06):8G\"");
        row("prompt alone", {"read", "6"}, {"R0x0006 0x1 "}, {}, 3,
            {noPrompt, "The board sent no value for chip register 06"}, {Fault::PromptAlone, 0});
        row("silent load", {"load", "changed.txt"}, {"W0x0000 0x1 0x71 "}, {}, 3,
            {noAnswer, "The board did not confirm writing register 00" + after}, {Fault::Silent, 0});
        row("silent load --burst", {"load", "--burst", "changed.txt"}, loadCommands(16).mid(0, 1), {}, 3,
            {noAnswer,
             "The board did not confirm writing registers 00 to 0F; the registers after them were not written"},
            {Fault::Silent, 0});
        row("no prompt", {"fpga-write", "1", "2"}, {"Y0x0001 0x1 0x02 "}, {}, 3,
            {noPrompt, "The board did not confirm writing FPGA register 0001"}, {Fault::NoPrompt, 0});
        row("no prompt write", {"write", "6", "1", "8", "2"}, {"W0x0006 0x1 0x01 "}, {}, 3,
            {noPrompt, "The board did not confirm writing chip register 06" + after}, {Fault::NoPrompt, 0});
        row("no prompt, one run", {"write", "6", "1", "7", "2", "8", "3"}, {"W0x0006 0x03 0x01 0x02 0x03 "}, {}, 3,
            {noPrompt, "The board did not confirm writing chip registers 06 to 08"}, {Fault::NoPrompt, 0});
        // Quiet after the reset, the first read's 13 characters and 4 more.
        row("stops answering", {"diff", "changed.txt"}, {"R0x0000 0x10 ", "R0x0010 0x10 "}, {}, 3,
            {noAnswer, "The board did not send registers 10 to 1F"}, {Fault::StopEchoAfter, 20});
        row("watch stops", {"watch", "1", "--interval", "1"}, {"R0x0001 0x01 ", "R0x0001 0x01 "},
            "    0.0 s 01 Sync Status (0x01): 00\n", 3, {noAnswer, "The board did not send register 01"},
            {Fault::StopEchoAfter, 20});
        row("no port", {"dump"}, {}, {}, 3,
            {"COM1 (/dev/sim1) cannot be opened: No such file or directory. Choose another port with --port N or "
             "--device PATH (kv71xx-cli ports lists them)."},
            {}, true);
    }

    void eachCommandSendsItsLinesAndEndsWithItsStatus()
    {
        QFETCH(sim::BoardOptions, options);
        QFETCH(QStringList, arguments);
        QFETCH(bool, refuseOpen);
        Rig rig(options);
        rig.port.refuseOpen = refuseOpen;
        QTEST(rig.run(arguments), "status");
        QTEST(rig.port.commands(), "commands");
        QCOMPARE(rig.port.received.count('Q'), rig.port.commands().isEmpty() ? 0 : 3); // one reset, after the checks
        QTEST(rig.out.data(), "out");
        QTEST(rig.boxes.texts(), "messages");
    }

    void dumpLoadsUnchanged()
    {
        Rig rig;
        rig.port.board().setChipRegister(0x3E, 0x0A);
        QCOMPARE(rig.run({"dump", "dump.txt"}) + rig.run({"dump"}), 0);
        const QStringList lines = RegisterFile::read("dump.txt").lines;
        QCOMPARE(RegisterFile::lines(rig.out.data()), lines);
        for (int k = 0; k < RegisterMap::Count; ++k)
            QCOMPARE(RegisterFile::valueOf(lines.value(k)),
                     QString::asprintf("%02X", rig.port.board().chipRegister(k)));
    }

    void loadShowsItsProgressOnOneLine()
    {
        QBuffer progress;
        QVERIFY(progress.open(QIODevice::WriteOnly));
        QCOMPARE(Rig().run({"load", "changed.txt"}, &progress), 0);
        QVERIFY(progress.data().startsWith("\rwriting register 1 of 64, 2.5 s left at 9600 baud\x1b[K\rwriting"));
        QVERIFY(progress.data().endsWith("\rwriting register 64 of 64, 0.0 s left at 9600 baud\x1b[K\r\x1b[K"));
    }

    void portsListsEachPortThenEachDetectedDevice()
    {
        FakeSerialDevices devices;
        devices.devices = {{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A1", "FT232R USB UART", "FTDI", "A1"},
                           {"/dev/ttyS4", {}, "", "", ""}};
        const QStringList lines = portList(devices).split('\n');
        QVERIFY(lines.at(7).startsWith("COM8  "));
        QCOMPARE(lines.mid(8),
                 QStringList(
                     {"", "Detected:", "/dev/ttyUSB0  FT232R USB UART, FTDI, serial A1, /dev/serial/by-id/usb-FTDI_A1",
                      "/dev/ttyS4  ", ""}));
    }

#ifdef Q_OS_UNIX // the board on a pty, POSIX signals, /dev/full
    void theProgramRunsWithoutWidgetsAgainstAPtyBoard()
    {
        const QByteArray libraries = run({KV71XX_CLI_EXE}, "ldd");
        QVERIFY(libraries.contains("libQt6SerialPort.so") && !libraries.contains("libQt6Gui"));
        sim::BoardProcess board({"COM1", {Fault::StuckRegister, 0x06}, false, {}});
        QVERIFY(board.ready());
        QCOMPARE(run({"dump", "pty.txt"}), "0||");
        const QByteArray traced = run({"--trace", "read", "6"});
        QVERIFY(traced.startsWith("0|80\n|") && traced.contains(" tx \"R\"\n"));
        QVERIFY(run({"ports"}).startsWith("0|COM1  " + QFile::symLinkTarget("COM1").toLatin1() + ' '));
        QCOMPARE(run({"--device", "COM1", "load", "changed.txt", "--burst", "--verify"}),
                 "1|" + stuckLine + '|'); // not a terminal: no progress line
        sim::BoardProcess chatter({"COM3", {Fault::Chatter, 0}, true, {}}); // a port that talks on
        QCOMPARE(run({"--port", "3", "write", "6", "1"}),
                 "3||kv71xx-cli: " + noPrompt.toLatin1()
                     + "\nkv71xx-cli: The board did not confirm writing chip register 06\n");
    }

    void companionNamesOnStderrWhatItLeftOut()
    {
        sim::BoardProcess board({"COM1", {}, false, {}});
        QVERIFY(board.ready());
        QCOMPARE(run({"write", "1", "55", "--verify"}),
                 "0||kv71xx-cli: Not compared, as the chip sets them: 01 Sync Status (0x01): wrote 55, chip 00\n");
        QCOMPARE(run({"diff", "long.txt"}),
                 "1|06 Red Gain (0x06): file 7F, chip 80\n3F INTERNAL PNUM0 (3Fh): file 2A, "
                 "chip 00\n|kv71xx-cli: long.txt: lines after the 64th ignored: 6\n");
    }
#endif

    void traceShowsCharactersAsTheyArrive()
    {
        QBuffer log;
        QVERIFY(log.open(QIODevice::WriteOnly));
        Rig rig;
        TracePort trace(rig.port, rig.clock, log);
        QVERIFY(trace.open({1, {}}, LineSettings{}));
        trace.send("QR0x"); // the board answers the reset and echoes "0x"
        QCOMPARE(trace.waitingCount(), 6);
        QCOMPARE(log.data(), "   0.0000 open /dev/sim1\n   0.0000 tx \"QR0x\"\n   0.0000 rx \"\\r\\n> 0x\"\n");
        rig.port.send("0");
        QCOMPARE(trace.take(6), "\r\n> 0x");
        QCOMPARE(trace.take(0), "0");
        QVERIFY(log.data().endsWith("\n   0.0000 rx \"0\"\n"));
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

#ifdef Q_OS_UNIX // the board on a pty, /dev/full, pipes, POSIX signals and file names
    void outputThatCannotBeWrittenIsAFailure_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("outcome");
        const QByteArray full = "annot write to standard output: No space left on device\n";
        const QByteArray cli = "2|kv71xx-cli: C" + full;
        QTest::newRow("dump") << KV71XX_CLI_EXE << QStringList{"dump"} << cli;
        QTest::newRow("diff") << KV71XX_CLI_EXE << QStringList{"diff", "changed.txt"} << cli;
        QTest::newRow("watch") << KV71XX_CLI_EXE << QStringList{"watch", "01", "--count", "1"} << cli;
        QTest::newRow("ports") << KV71XX_CLI_EXE << QStringList{"ports"} << cli;
        QTest::newRow("window") << KV71XX_PROGRAM_EXE << QStringList{"--help"} << "1|kv71xx: c" + full;
        QTest::newRow("board") << KV71XX_BOARD_EXE << QStringList{"--version"} << "1|kv71xx-board: c" + full;
    }

    // The installed programs with their standard output on a full disk.
    void outputThatCannotBeWrittenIsAFailure()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        sim::BoardProcess board({"COM1", {}, false, {}});
        QVERIFY(board.ready());
        QProcess child;
        child.setStandardOutputFile("/dev/full");
        child.start(program, arguments);
        QVERIFY(child.waitForFinished(20000));
        QTEST(QByteArray::number(child.exitCode()) + '|' + child.readAllStandardError(), "outcome");
    }

    void aClosedPipeEndsAsItsSignalDoes()
    {
        sim::BoardProcess board({"COM1", {}, false, {}});
        QVERIFY(board.ready());
        std::array<int, 2> ends{};
        QVERIFY(::pipe(ends.data()) == 0);
        ::close(ends[0]);
        QProcess cli;
        cli.setChildProcessModifier([&ends] { ::dup2(ends[1], STDOUT_FILENO); });
        cli.start(KV71XX_CLI_EXE, {"watch", "01", "06", "--count", "3"});
        QVERIFY(cli.waitForFinished(20000));
        ::close(ends[1]);
        QCOMPARE(QByteArray::number(cli.exitCode()) + '|' + cli.readAllStandardError(), "141|");
        QCOMPARE(PortProblems::lockFile(QFile::symLinkTarget("COM1")), QString());
    }

    void aSignalDuringACommandEndsWithItsStatusAfterTheLine_data()
    {
        addTerminationSignalRows();
    }

    // The board stops echoing inside the command line.
    void aSignalDuringACommandEndsWithItsStatusAfterTheLine()
    {
        QFETCH(int, signal);
        sim::BoardProcess board({"COM1", {Fault::StopEchoAfter, 8}, false, QTest::currentDataTag()});
        QVERIFY(board.ready());
        QProcess cli;
        cli.start(KV71XX_CLI_EXE, {"write", "15", "1"});
        QTRY_COMPARE_WITH_TIMEOUT(board.received(), "QQQW0x001", 5000);
        QCOMPARE(::kill(cli.processId(), signal), 0);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitCode(), 128 + signal);
        QTRY_COMPARE(board.received(), "QQQW0x0015 0x1 0x01 "); // the board may log it later
        QCOMPARE(PortProblems::lockFile(QFile::symLinkTarget("COM1")), QString());
    }

    void aNameNotValidInTheSystemEncodingIsRefused()
    {
        // Latin-1 bytes, which UTF-8 cannot decode.
        const QString named = "\"$(printf 'lat\\351 %1.txt')\"";
        QCOMPARE(QProcess::execute("sh", {"-c", "cp changed.txt " + named.arg(1)}), 0);
        const QString refused = "2||kv71xx-cli: Cannot %1 lat\uFFFD %2.txt: the name is not valid in the system's "
                                "encoding (UTF-8): rename the file\n";
        QCOMPARE(run({"-c", "\"$0\" load " + named.arg(1), KV71XX_CLI_EXE}, "sh"), refused.arg("read").arg(1).toUtf8());
        QCOMPARE(run({"-c", "\"$0\" dump " + named.arg(2), KV71XX_CLI_EXE}, "sh"),
                 refused.arg("write").arg(2).toUtf8());
        QCOMPARE(run({"-c", "ls lat*"}, "sh"), "0|lat\xE9 1.txt\n|");
    }
#endif

    // Nothing is sent where the window would open no port; ports, which opens none, still lists them.
    void theSettingsFileChoosesThePortUnlessOneIsGiven_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("opened"); // empty: refused
        QTest::newRow("3") << QByteArray(" 3 ") << QStringList() << "port 3";
        QTest::newRow("3, --port 2") << QByteArray(" 3 ") << QStringList{"--port", "2"} << "port 2";
        QTest::newRow("9") << QByteArray(" 9 ") << QStringList() << "";
        QTest::newRow("empty") << QByteArray() << QStringList() << "";
        QTest::newRow("COM3, --device") << QByteArray("COM3") << QStringList{"--device", "/dev/x"} << "port 1";
    }

    void theSettingsFileChoosesThePortUnlessOneIsGiven()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, options);
        QFETCH(QString, opened);
        writeFile("KV71xx.ini", line + "\r\n");
        Rig rig;
        const int status = rig.run(options + QStringList{"read", "6"});
        const int portsStatus = rig.run({"ports"});
        QFile::remove("KV71xx.ini");
        QCOMPARE(status, opened.isEmpty() ? 2 : 0);
        QCOMPARE(portsStatus, 0);
        QCOMPARE(rig.events.value(0), opened);
        if (opened.isEmpty()) {
            QCOMPARE(rig.boxes.texts(),
                     QStringList{"KV71xx.ini holds \"" + line
                                 + "\", which selects no port: choose one with --port N (1 to 8) or --device PATH"});
        }
    }

    void diffLeavesOutTheRegistersTheChipSets()
    {
        Rig rig;
        for (const int k : {0, 1, 2})
            rig.port.board().setChipRegister(k, quint8(0x12 + k));
        QCOMPARE(rig.run({"diff", "changed.txt"}), 1);
        QCOMPARE(rig.boxes.texts(),
                 QStringList{"Not compared, as the chip sets them: 00 ID and REVISION (00h): file 71, chip 12; "
                             "01 Sync Status (0x01): file 00, chip 13; 02 Sync Polarity (0x02): file 00, chip 14"});
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"