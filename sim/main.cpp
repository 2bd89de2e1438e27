// kv71xx-board: the evaluation board, simulated behind a pseudo-terminal.

#include "ptyboard.h"
#include "signalwatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

struct FaultOption
{
    const char *name;
    sim::BoardOptions::Fault fault;
    bool takesCount;
    int minimumCount;
};

constexpr FaultOption faultOptions[] = {
    {"silent", sim::BoardOptions::Fault::Silent, false, 0},
    {"no-prompt", sim::BoardOptions::Fault::NoPrompt, false, 0},
    {"stop-echo-after", sim::BoardOptions::Fault::StopEchoAfter, true, 0},
    {"garbage", sim::BoardOptions::Fault::Garbage, false, 0},
    {"hang-up-after", sim::BoardOptions::Fault::HangUpAfter, true, 1},
};

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Simulated evaluation board on a pseudo-terminal. Prints \"ready <slave>\" "
        "once the link exists."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("link"), QStringLiteral("Symbolic link to create to the port (required)."),
         QStringLiteral("path")},
        {QStringLiteral("log"), QStringLiteral("Append a log of every byte received and sent."),
         QStringLiteral("file")},
        {QStringLiteral("pace"), QStringLiteral("Send at the speed of 9600 baud 8N1.")},
        {QStringLiteral("silent"), QStringLiteral("Fault: never send anything.")},
        {QStringLiteral("no-prompt"), QStringLiteral("Fault: echo and execute, but never send the prompt.")},
        {QStringLiteral("stop-echo-after"), QStringLiteral("Fault: send nothing more after N received bytes."),
         QStringLiteral("N")},
        {QStringLiteral("garbage"), QStringLiteral("Fault: answer every byte with junk.")},
        {QStringLiteral("hang-up-after"), QStringLiteral("Fault: hang up and exit after N received bytes."),
         QStringLiteral("N")},
    });
}

// The fault chosen on the command line; nullopt (with error set) when invalid.
std::optional<sim::BoardOptions> boardOptions(const QCommandLineParser &parser, QString *error)
{
    sim::BoardOptions options;
    int chosen = 0;
    for (const FaultOption &candidate : faultOptions) {
        const QString name = QLatin1String(candidate.name);
        if (!parser.isSet(name))
            continue;
        ++chosen;
        options.fault = candidate.fault;
        if (!candidate.takesCount)
            continue;
        bool ok = false;
        options.faultAfter = parser.value(name).toInt(&ok);
        if (!ok || options.faultAfter < candidate.minimumCount) {
            *error = QStringLiteral("--%1 needs a count of at least %2").arg(name).arg(candidate.minimumCount);
            return std::nullopt;
        }
    }
    if (chosen > 1) {
        *error = QStringLiteral("choose at most one fault");
        return std::nullopt;
    }
    return options;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "kv71xx-board: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any thread exists, so the signals reach only the signalfd.
    sim::SignalWatcher::blockTerminationSignals();

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kv71xx-board"));

    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);

    QString error;
    sim::PtyBoard::Settings settings;
    settings.linkPath = parser.value(QStringLiteral("link"));
    settings.logPath = parser.value(QStringLiteral("log"));
    settings.paced = parser.isSet(QStringLiteral("pace"));
    if (settings.linkPath.isEmpty())
        return fail(QStringLiteral("--link is required"));
    const std::optional<sim::BoardOptions> options = boardOptions(parser, &error);
    if (!options)
        return fail(error);
    settings.options = *options;

    sim::SignalWatcher watcher;
    if (!watcher.isValid())
        return fail(QStringLiteral("cannot watch termination signals"));
    QObject::connect(&watcher, &sim::SignalWatcher::terminationRequested, &app,
                     [](int) { QCoreApplication::quit(); });

    sim::PtyBoard board(settings);
    QObject::connect(&board, &sim::PtyBoard::hungUp, &app, [] { QCoreApplication::quit(); });
    if (!board.start(&error))
        return fail(error);

    std::printf("ready %s\n", qPrintable(board.slavePath()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
