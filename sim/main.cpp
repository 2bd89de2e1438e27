// kv71xx-board: the evaluation board, simulated behind a pseudo-terminal.

#include "ptyboard.h"

#include "platform/signalwatcher.h"
#include "platform/standardoutput.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Simulated evaluation board on a pseudo-terminal. Prints \"ready <slave>\" "
                       "once the link exists."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("link"), QStringLiteral("Symbolic link to create to the port (required)."),
         QStringLiteral("path")},
        {QStringLiteral("log"), QStringLiteral("Append a log of every byte received and sent."),
         QStringLiteral("file")},
        {QStringLiteral("pace"), QStringLiteral("Send at the speed of 9600 baud 8N1.")},
    });
    for (const sim::FaultName &f : sim::faultNames) {
        const QString valueName = f.argument == sim::FaultName::Argument::Count ? QStringLiteral("N")
            : f.argument == sim::FaultName::Argument::Register                  ? QStringLiteral("ADDR")
                                                                                : QString();
        parser.addOption({QLatin1String(f.option), QLatin1String(f.help), valueName});
    }
}

// The fault chosen on the command line; nullopt (with error set) when invalid.
std::optional<sim::BoardOptions> boardOptions(const QCommandLineParser &parser, QString *error)
{
    sim::BoardOptions options;
    int chosen = 0;
    for (const sim::FaultName &candidate : sim::faultNames) {
        const QString name = QLatin1String(candidate.option);
        if (!parser.isSet(name))
            continue;
        ++chosen;
        options.fault = candidate.fault;
        if (candidate.argument == sim::FaultName::Argument::None)
            continue;
        const std::optional<int> argument = sim::faultArgument(candidate, parser.value(name));
        if (!argument) {
            *error = candidate.argument == sim::FaultName::Argument::Register
                ? QStringLiteral("--%1 needs a chip register address 00 to 3F").arg(name)
                : QStringLiteral("--%1 needs a count of at least %2").arg(name).arg(candidate.minimumCount);
            return std::nullopt;
        }
        options.faultAfter = *argument;
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
    SignalWatcher::blockTerminationSignals();

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kv71xx-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KV71XX_VERSION));

    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    // Help and version are checked like every other output.
    const bool help = parser.isSet(QStringLiteral("help"));
    if (help || parser.isSet(QStringLiteral("version"))) {
        const QString text = help ? parser.helpText()
                                  : QStringLiteral("kv71xx-board %1\n").arg(QCoreApplication::applicationVersion());
        QString error;
        return StandardOutput::print(text.toLocal8Bit(), &error) ? 0 : fail(error);
    }

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

    SignalWatcher watcher;
    if (!watcher.isValid())
        return fail(QStringLiteral("cannot watch termination signals"));
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &app, [](int) { QCoreApplication::quit(); });

    sim::PtyBoard board(settings);
    QObject::connect(&board, &sim::PtyBoard::hungUp, &app, [] { QCoreApplication::quit(); });
    if (!board.start(&error))
        return fail(error);

    std::printf("ready %s\n", qPrintable(board.slavePath()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
