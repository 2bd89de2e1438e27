#include "invocation.h"

#include "link/hex.h"
#include "platform/serialport.h"
#include "registers/registermap.h"
#include "settings/settingsfile.h"

#include <QCommandLineParser>
#include <QFile>

#include <array>

namespace {

using Command = Invocation::Command;

struct CommandName
{
    const char *name;
    Command command;
    const char *arguments; // in order; a bracketed one may be left out
    int addressMaximum;
};

constexpr int ChipAddressMaximum = RegisterMap::Count - 1;
constexpr int FpgaAddressMaximum = 0xFFFF; // four digits on the wire
constexpr int ByteMaximum = 0xFF;

// A trailing "..." repeats the arguments before it, each group complete.
constexpr std::array<CommandName, 9> Commands = {{
    {"read", Command::Read, "ADDR", ChipAddressMaximum},
    {"write", Command::Write, "ADDR VALUE ...", ChipAddressMaximum},
    {"fpga-read", Command::FpgaRead, "ADDR", FpgaAddressMaximum},
    {"fpga-write", Command::FpgaWrite, "ADDR VALUE", FpgaAddressMaximum},
    {"dump", Command::Dump, "[FILE]", 0},
    {"load", Command::Load, "FILE", 0},
    {"diff", Command::Diff, "FILE", 0},
    {"ports", Command::Ports, "", 0},
    {"watch", Command::Watch, "ADDR ...", ChipAddressMaximum},
}};

const CommandName *commandNamed(const QString &name)
{
    for (const CommandName &c : Commands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

QString range(int maximum)
{
    const int digits = maximum > ByteMaximum ? 4 : 2;
    return Hex_Digits(0, digits) + QStringLiteral(" to ") + Hex_Digits(maximum, digits);
}

// A group that ends in "..." as often as the given arguments need, at least once.
QStringList repeated(QStringList group, int given)
{
    if (group.isEmpty() || group.constLast() != QLatin1String("..."))
        return group;
    group.removeLast();
    QStringList wanted = group;
    while (wanted.size() < given)
        wanted += group;
    return wanted;
}

// Fills in the command's arguments; the error names the one that is wrong.
QString takeArguments(const CommandName &command, const QStringList &given, Invocation &invocation)
{
    const QString name = QLatin1String(command.name);
    const QStringList wanted = repeated(
        QString::fromLatin1(command.arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts), given.size());
    if (given.size() > wanted.size())
        return QStringLiteral("%1: unexpected argument \"%2\"").arg(name, given.at(wanted.size()));
    for (int i = 0; i < wanted.size(); ++i) {
        const bool optional = wanted.at(i).startsWith(QLatin1Char('['));
        const QString argument = optional ? wanted.at(i).mid(1).chopped(1) : wanted.at(i);
        if (i >= given.size()) {
            if (optional)
                break;
            return QStringLiteral("%1: missing %2").arg(name, argument);
        }
        const QString text = given.at(i);
        if (argument == QLatin1String("FILE")) {
            invocation.file = text;
            continue;
        }
        const bool isAddress = argument == QLatin1String("ADDR");
        const int maximum = isAddress ? command.addressMaximum : ByteMaximum;
        const std::optional<int> number = CommandLine::hexArgument(text, maximum);
        if (!number) {
            return QStringLiteral("%1: %2 \"%3\" is not a hexadecimal %4 %5")
                .arg(name, argument, text, isAddress ? QStringLiteral("address") : QStringLiteral("byte"),
                     range(maximum));
        }
        (isAddress ? invocation.address : invocation.value) = *number;
        (isAddress ? invocation.addresses : invocation.values).append(*number);
    }
    return {};
}

const QCommandLineOption portOption(QStringLiteral("port"), {}, QStringLiteral("N"));
const QCommandLineOption deviceOption(QStringLiteral("device"), {}, QStringLiteral("PATH"));
const QCommandLineOption traceOption(QStringLiteral("trace"));
const QCommandLineOption verifyOption(QStringLiteral("verify"));
const QCommandLineOption burstOption(QStringLiteral("burst"));
const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption versionOption(QStringLiteral("version"));

// The port the desktop program would select here: the one KV71xx.ini names,
// 1 without the file. Where the file names none the window opens none, and
// neither does the companion.
QString takeSavedPort(Invocation &invocation)
{
    const SettingsFile::Loaded saved = SettingsFile::load();
    if (saved.port != 0)
        invocation.port = saved.port;
    if (saved.port != 0 || saved.missing)
        return {};
    QFile file(SettingsFile::fileName());
    QString held;
    if (file.open(QIODevice::ReadOnly)) {
        QString line = QString::fromLatin1(file.readLine(80)); // the first line counts
        held = QStringLiteral("holds \"%1\"").arg(line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
    } else {
        held = QStringLiteral("cannot be read (%1)").arg(file.errorString());
    }
    return QStringLiteral("%1 %2, which selects no port: choose one with --port N (%3 to %4) or --device PATH")
        .arg(SettingsFile::fileName(), held)
        .arg(FirstPort)
        .arg(LastPort);
}

// The link options; the error names the one that is wrong.
QString takeOptions(const QCommandLineParser &parser, Invocation &invocation)
{
    if (parser.isSet(portOption) && parser.isSet(deviceOption))
        return QStringLiteral("--port and --device exclude each other");
    // ports opens no port: it is what a user runs to choose one.
    if (!parser.isSet(portOption) && !parser.isSet(deviceOption) && invocation.command != Command::Ports) {
        const QString error = takeSavedPort(invocation);
        if (!error.isEmpty())
            return error;
    }
    if (parser.isSet(portOption)) {
        bool ok = false;
        invocation.port = parser.value(portOption).toInt(&ok);
        if (!ok || !isPortNumber(invocation.port)) {
            return QStringLiteral("--port \"%1\" is not a port number %2 to %3")
                .arg(parser.value(portOption))
                .arg(FirstPort)
                .arg(LastPort);
        }
    }
    invocation.device = parser.value(deviceOption);
    invocation.trace = parser.isSet(traceOption);
    invocation.verify = parser.isSet(verifyOption);
    invocation.burst = parser.isSet(burstOption);
    if (parser.isSet(burstOption) && invocation.command != Command::Load)
        return QStringLiteral("--burst goes with load only");
    if (parser.isSet(verifyOption) && invocation.command != Command::Load && invocation.command != Command::Write)
        return QStringLiteral("--verify goes with load and write");
    return {};
}

const QCommandLineOption intervalOption(QStringLiteral("interval"), {}, QStringLiteral("S"));
const QCommandLineOption countOption(QStringLiteral("count"), {}, QStringLiteral("N"));
// Below a second the rounds would crowd the line; above a day the wait
// would not fit the clock's timer.
constexpr double MinimumInterval = 1;
constexpr double MaximumInterval = 86400;

// watch's options; the error names the one that is wrong.
QString takeWatchOptions(const QCommandLineParser &parser, Invocation &invocation)
{
    for (const QCommandLineOption *option : {&intervalOption, &countOption}) {
        if (parser.isSet(*option) && invocation.command != Command::Watch)
            return QStringLiteral("--%1 goes with watch only").arg(option->names().constFirst());
    }
    bool ok = true;
    if (parser.isSet(intervalOption)) {
        invocation.interval = parser.value(intervalOption).toDouble(&ok);
        if (!ok || !(invocation.interval >= MinimumInterval && invocation.interval <= MaximumInterval))
            return QStringLiteral("--interval \"%1\" is not a number of seconds from %2 to %3")
                .arg(parser.value(intervalOption))
                .arg(MinimumInterval)
                .arg(MaximumInterval);
    }
    if (parser.isSet(countOption)) {
        invocation.count = parser.value(countOption).toInt(&ok);
        if (!ok || invocation.count < 1)
            return QStringLiteral("--count \"%1\" is not a number of reads, 1 or more").arg(parser.value(countOption));
    }
    return {};
}

} // namespace

namespace CommandLine {

Parsed parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({portOption, deviceOption, traceOption, verifyOption, burstOption, helpOption, versionOption});
    parser.addOptions({intervalOption, countOption});
    if (!parser.parse(arguments))
        return {std::nullopt, parser.errorText()};
    Invocation invocation;
    if (parser.isSet(helpOption))
        return {invocation, {}};
    if (parser.isSet(versionOption)) {
        invocation.command = Command::Version;
        return {invocation, {}};
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return {std::nullopt, QStringLiteral("No command given (kv71xx-cli --help lists them)")};
    const CommandName *command = commandNamed(positional.constFirst());
    if (!command)
        return {std::nullopt, QStringLiteral("Unknown command \"%1\"").arg(positional.constFirst())};
    invocation.command = command->command;

    QString error = takeArguments(*command, positional.mid(1), invocation);
    if (error.isEmpty())
        error = takeOptions(parser, invocation);
    if (error.isEmpty())
        error = takeWatchOptions(parser, invocation);
    if (!error.isEmpty())
        return {std::nullopt, error};
    return {invocation, {}};
}

std::optional<int> hexArgument(const QString &text, int maximum)
{
    const bool prefixed = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    return hexNumber(prefixed ? text.mid(2) : text, maximum);
}

QString helpText()
{
    return QStringLiteral(R"(NAME
    kv71xx-cli - read, write, dump and load the registers of a KV71xx chip
    on its evaluation board

SYNOPSIS
    kv71xx-cli [--port N | --device PATH] [--trace] COMMAND [ARGUMENTS]
    kv71xx-cli --help | --version

DESCRIPTION
    Talks to the evaluation board over its RS-232 link (9600 baud, 8 data
    bits, no parity, 1 stop bit) with the same link, commands and register
    file format as the desktop program kv71xx, and needs no display.
    Every command first brings the board to its prompt (half a second).
    Addresses and values are hexadecimal, with or without 0x.

COMMANDS
    read ADDR
        Prints chip register ADDR (00 to 3F) as two hexadecimal digits.
    write ADDR VALUE [ADDR VALUE ...] [--verify]
        Writes VALUE (00 to FF) to chip register ADDR, pair by pair in the
        order given, after one link reset. Pairs whose addresses follow
        each other (06 80 07 80 08 80) go as one burst. A bad pair is
        refused before anything is sent.
        --verify  reads the registers back afterwards and prints each one
                  that differs, as diff does; 00 to 02 belong to the chip
                  and are named apart, as load --verify names them.
    fpga-read ADDR
        Prints FPGA register ADDR (0000 to FFFF) of the board.
    fpga-write ADDR VALUE
        Writes VALUE to FPGA register ADDR.
    dump [FILE]
        Reads all 64 chip registers (four burst reads) and writes them as a
        register file to FILE, or to standard output. The desktop program
        loads the file. A regular FILE is replaced only once the new one
        is complete; a FIFO or device is written into.
    load FILE [--verify] [--burst]
        Writes the 64 values of a register file (a regular file, not a
        FIFO or device), read as the desktop program reads it: the last
        two characters of each line, a single digit after ":" alone. Every
        line must hold a value; a file that does not is refused before
        anything is sent. Lines after the 64th are ignored, and standard
        error says how many (diff likewise). One write per register, in
        address order, unless:
        --burst   writes four bursts of 16 registers (about 1.3 s instead
                  of 3 s);
        --verify  reads all registers back afterwards and prints each one
                  that differs, as diff does.
    watch ADDR... [--interval S] [--count N]
        Reads the chip registers every S seconds (1 to 86400, default 1)
        and prints each one whose value changed, with the seconds since
        the first read, until Ctrl+C or after N reads. The first read
        prints every watched register:
              0.0 s 01 Sync Status (0x01): 00
              3.0 s 01 Sync Status (0x01): 00 -> 10
    diff FILE
        Reads the chip and prints each register whose value differs from
        the file, with its caption:
            06 Red Gain (0x06): file 80, chip 7F
    ports
        Lists COM1 to COM8 with the device each opens and whether it is
        present, then every serial device the system reports, with its
        description, maker and serial number. Sends nothing.

    Registers 00, 01 and 02 (ID and revision, sync status, sync polarity)
    belong to the chip: a write does not change them. diff and --verify
    leave them out, so the other 61 decide the exit status; where they
    differ, one line on standard error names them as not compared.

OPTIONS
    --port N      Serial port N (1 to 8), as the desktop program opens it:
                  the file or link COMn in the working directory when there
                  is one, else the device assigned to COMn in the desktop
                  program (~/.config/kv71xx/ports.ini), else the platform's
                  port (/dev/ttyS<N-1>). Without --port and --device, the
                  port KV71xx.ini in the working directory names (the
                  desktop program's choice), 1 when there is no such file.
                  A KV71xx.ini that names no port 1 to 8 is refused, as
                  the desktop program then opens none (ports lists the
                  ports all the same).
    --device PATH Opens PATH (a tty such as /dev/ttyUSB0) instead.
    --trace       Logs every character sent (tx) and received (rx) on
                  standard error, with the seconds since the start.
    -h, --help    Shows this text.
    --version     Shows the version.

    On a terminal, dump, load and diff keep a progress line on standard
    error: the register reached and the time left at 9600 baud.

EXIT STATUS
    0   success
    1   diff, or load or write with --verify, found registers that differ
    2   bad usage or input: unknown command or option, a bad hexadecimal
        argument, a KV71xx.ini that names no port, a register file that
        cannot be read, is no regular file, has fewer than 64 lines or a
        line that holds no byte (nothing is sent to the board), standard
        output that cannot be written, or a dump FILE that cannot be
        written (an earlier file stays)
    3   link failure: the port cannot be opened, or the board does not
        answer within the link's time limits
    128+N   ended by signal N (SIGHUP 129, SIGINT 130, SIGTERM 143), or
        141 when the reader of standard output has gone (a closed pipe):
        the command line on the wire is completed first, then the port is
        closed and its lock removed

EXAMPLES
    kv71xx-cli --port 2 write 06 80
    kv71xx-cli write 06 80 07 80 08 80 --verify
    kv71xx-cli watch 01 02 --interval 2
    gain=$(kv71xx-cli read 0x06)
    kv71xx-cli dump chip.txt
    kv71xx-cli --device /dev/ttyUSB0 load known-good.txt --burst --verify
    kv71xx-cli diff known-good.txt || echo "chip differs"
    kv71xx-cli ports
)");
}

} // namespace CommandLine
