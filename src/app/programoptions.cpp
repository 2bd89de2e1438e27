#include "programoptions.h"

#include "platform/standardoutput.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption versionOption(QStringLiteral("version"));
const QCommandLineOption userFolderOption(QStringLiteral("user-folder"));

// Parses what it can: an unknown option still leaves the known ones set. Qt's
// options are single-dash words, never letters to split (-platformtheme is
// no -h).
bool parse(QCommandLineParser &parser, const QStringList &arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({helpOption, versionOption, userFolderOption});
    return parser.parse(arguments);
}

// On Windows the window's program has no console of its own: it prints to
// the console it was started from, unless its output goes elsewhere already.
void useParentConsole()
{
#ifdef Q_OS_WIN
    if (::GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

int fail(int status, const QString &message)
{
    useParentConsole();
    std::fprintf(stderr, "kv71xx: %s\n", qPrintable(message));
    return status;
}

// Where the files of the help text live.
#ifdef Q_OS_WIN
const char UserFolder[] = "%LOCALAPPDATA%";
const char PortFiles[] = R"(    Port n opens the device assigned to it in the Options menu, else
    \\.\COMn.)";
const char InstanceLock[] = "%TEMP%\\kv71xx-USERNAME.lock";
#else
const char UserFolder[] = "$XDG_DATA_HOME, else ~/.local/share";
const char PortFiles[] = R"(    COM1 to COM8   a file or symbolic link that port n opens instead of
                   /dev/ttyS<n-1>: ln -s /dev/ttyUSB0 COM1)";
const char InstanceLock[] = "$TMPDIR/kv71xx-UID.lock (else /tmp)";
#endif

} // namespace

namespace ProgramOptions {

std::optional<int> answerHelpOrVersion(int argc, const char *const argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parse(parser, arguments);
    if (parser.isSet(helpOption) || parser.isSet(versionOption))
        useParentConsole();
    QByteArray text;
    if (parser.isSet(helpOption))
        text = helpText().toLocal8Bit();
    else if (parser.isSet(versionOption))
        text = "kv71xx " KV71XX_VERSION "\n";
    else
        return std::nullopt;
    QString error;
    return StandardOutput::print(text, &error) ? 0 : fail(1, error);
}

std::optional<int> apply(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parse(parser, arguments))
        return fail(2, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(2, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(userFolderOption)) {
        // ~/.local/share/kv71xx, %LOCALAPPDATA%\kv71xx: the user's own, never roaming.
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        if (!QDir().mkpath(folder) || !QDir::setCurrent(folder))
            return fail(1, QStringLiteral("cannot work in the folder %1").arg(folder));
    }
    return std::nullopt;
}

QString helpText()
{
    return QStringLiteral(R"(NAME
    kv71xx - program a KV71xx video digitizer on its evaluation board

SYNOPSIS
    kv71xx [--user-folder] [Qt options]
    kv71xx --help | --version

DESCRIPTION
    The desktop program for the KV71xx triple video digitizer on its
    evaluation board, over an RS-232 link at 9600 baud: the chip's 64
    registers as live hexadecimal boxes and sliders, Read All, the input
    video mode dialog, and register files to save and load. kv71xx-cli
    does the same from a shell, without a display.

OPTIONS
    --user-folder  Works in the program's own folder, kv71xx in the user's
                   data folder (%1),
                   created when missing, instead of the working folder the
                   program was started in. The desktop menu starts it so.
    -h, --help     Shows this text.
    --version      Shows the version.

    Qt's own options work as Qt documents them (-platform NAME,
    -style NAME, -reverse, ...); any other option is refused.

FILES
    In the working folder:
    KV71xx.ini     the chosen serial port, one line (" 3 " for COM3)
%2
    The file dialog of Save and Load opens there too.

    %3
                   one copy of the program runs per user

EXIT STATUS
    0   the program ended
    1   the per-user folder cannot be made, or standard output cannot be
        written
    2   an unknown option or argument

SEE ALSO
    kv71xx-cli(1), kv71xx-board(1)
)")
        .arg(QLatin1String(UserFolder), QLatin1String(PortFiles), QLatin1String(InstanceLock));
}

} // namespace ProgramOptions
