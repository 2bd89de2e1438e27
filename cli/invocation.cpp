#include "invocation.h"

#include "link/hex.h"
#include "app/settingsfile.h"
#include "platform/serialport.h"
#include "registers/registermap.h"

#include <QCommandLineParser>

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

constexpr std::array<CommandName, 7> Commands = {{
    {"read", Command::Read, "ADDR", ChipAddressMaximum},
    {"write", Command::Write, "ADDR VALUE", ChipAddressMaximum},
    {"fpga-read", Command::FpgaRead, "ADDR", FpgaAddressMaximum},
    {"fpga-write", Command::FpgaWrite, "ADDR VALUE", FpgaAddressMaximum},
    {"dump", Command::Dump, "[FILE]", 0},
    {"load", Command::Load, "FILE", 0},
    {"diff", Command::Diff, "FILE", 0},
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

// Fills in the command's arguments; the error names the one that is wrong.
QString takeArguments(const CommandName &command, const QStringList &given, Invocation &invocation)
{
    const QString name = QLatin1String(command.name);
    const QStringList wanted = QString::fromLatin1(command.arguments).split(QLatin1Char(' '));
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

// The link options; the error names the one that is wrong.
QString takeOptions(const QCommandLineParser &parser, Invocation &invocation)
{
    if (parser.isSet(portOption) && parser.isSet(deviceOption))
        return QStringLiteral("--port and --device exclude each other");
    if (!parser.isSet(portOption) && !parser.isSet(deviceOption)) {
        // The port the desktop program was last told to use here.
        const SettingsFile::Loaded saved = SettingsFile::load();
        if (saved.port != 0)
            invocation.port = saved.port;
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
    for (const QCommandLineOption *option : {&verifyOption, &burstOption}) {
        if (parser.isSet(*option) && invocation.command != Command::Load)
            return QStringLiteral("--%1 goes with load only").arg(option->names().constFirst());
    }
    return {};
}

} // namespace

namespace CommandLine {

Parsed parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({portOption, deviceOption, traceOption, verifyOption, burstOption, helpOption, versionOption});
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
    write ADDR VALUE
        Writes VALUE (00 to FF) to chip register ADDR.
    fpga-read ADDR
        Prints FPGA register ADDR (0000 to FFFF) of the board.
    fpga-write ADDR VALUE
        Writes VALUE to FPGA register ADDR.
    dump [FILE]
        Reads all 64 chip registers (four burst reads) and writes them as a
        register file to FILE, or to standard output. The desktop program
        loads the file.
    load FILE [--verify] [--burst]
        Writes the 64 values of a register file, read as the desktop
        program reads it: the last two characters of each line, a single
        digit after ":" alone. Every line must hold a value; a file that
        does not is refused before anything is sent. One write per
        register, in address order, unless:
        --burst   writes four bursts of 16 registers (about 1.3 s instead
                  of 3 s);
        --verify  reads all registers back afterwards and prints each one
                  that differs, as diff does.
    diff FILE
        Reads the chip and prints each register whose value differs from
        the file, with its caption:
            06 Red Gain (0x06): file 80, chip 7F

OPTIONS
    --port N      Serial port N (1 to 8): the file or link COMn in the
                  working directory when there is one, else the platform's
                  port (/dev/ttyS<N-1>). Without it, the port KV71xx.ini in
                  the working directory names (the desktop program's
                  choice), else 1.
    --device PATH Opens PATH (a tty such as /dev/ttyUSB0) instead.
    --trace       Logs every character sent (tx) and received (rx) on
                  standard error, with the seconds since the start.
    -h, --help    Shows this text.
    --version     Shows the version.

    On a terminal, dump, load and diff keep a progress line on standard
    error: the register reached and the time left at 9600 baud.

EXIT STATUS
    0   success
    1   diff, or load --verify, found registers that differ
    2   bad usage or input: unknown command or option, a bad hexadecimal
        argument, a register file that cannot be read, has fewer than 64
        lines or a line that holds no byte (nothing is sent to the board),
        or a dump FILE that cannot be written (an earlier file stays)
    3   link failure: the port cannot be opened, or the board does not
        answer within the link's time limits

EXAMPLES
    kv71xx-cli --port 2 write 06 80
    gain=$(kv71xx-cli read 0x06)
    kv71xx-cli dump chip.txt
    kv71xx-cli --device /dev/ttyUSB0 load known-good.txt --burst --verify
    kv71xx-cli diff known-good.txt || echo "chip differs"
)");
}

} // namespace CommandLine
