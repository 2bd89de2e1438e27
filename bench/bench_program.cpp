// Prints what the desktop program's own code costs against kv71xx-board paced
// at 9600 baud over a pseudo-terminal: for each command its wall time, the
// floor (the characters it moved at 960 a second, as the board's byte log
// counts them, plus the fixed pauses) and their ratio, and the CPU seconds
// per wall second meanwhile; then the start-up time to the main window's
// first paint and the peak resident memory.

#include "benchrig.h"
#include "recordedscript.h"
#include "watchhour.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void row(const char *name, const Measured &m)
{
    std::printf("%-28s %8.3f s %8.3f s %6.3f %10.4f\n", name, m.wall, m.floor, m.wall / m.floor, m.cpu / m.wall);
}

// Runs this program again with --startup and times it to the first paint.
void startup()
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup")});
    if (!child.waitForReadyRead(10000)) {
        std::printf("start-up: the program did not paint\n");
        return;
    }
    const double seconds = wall.nsecsElapsed() / 1e9;
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished();
    std::printf("start-up to first paint      %8.3f s   (peak memory then %s kB)\n", seconds, line.constData());
}

// File > Load cancelled with Esc as a register's write begins: the time to
// the last character sent and to the command's end, against the floor of
// what the exchange in flight still moves.
void cancelling(BenchRig &rig)
{
    for (const int atRegister : {0x01, 0x16, 0x3E}) {
        const BenchRig::Cancelled c = rig.cancelledLoad(atRegister);
        std::printf("Load, Esc at register %02X: %.3f s to the last character sent, %.3f s to the end "
                    "(floor %.3f s, ratio %.2f)\n",
                    atRegister, c.lastSent, c.end, c.floor, c.end / c.floor);
    }
}

// The Tools menu's commands; Read All with the Link Log open and closed in turns.
void tools(BenchRig &rig)
{
    for (int i = 0; i < 2; ++i) {
        row("Read All, Link Log open", rig.readAllWithLog());
        row("Read All, Link Log closed", rig.readAll());
    }
    row("Quick Load, 64 changed", rig.quickLoad());
    row("Compare With File", rig.compare());
}

// Scripts of 64 register writes recorded in the window, replayed by
// kv71xx-cli; CPU is the script's.
void scripts(BenchRig &rig)
{
    const QTemporaryDir dir;
    const std::pair<const char *, Session> sessions[] = {{"script of a Quick Load, 64", Session::QuickLoad},
                                                         {"script of 64 box edits", Session::BoxEdits}};
    for (const auto &[name, session] : sessions) {
        const QString path = dir.filePath(QString::fromLatin1(name).replace(QLatin1Char(' '), QLatin1Char('-')));
        if (recordSession(session, path))
            row(name, rig.replay(path));
        else
            std::printf("%s: no script was recorded\n", name);
    }
}

// An hour and twelve hours of Watch Registers, compressed by the fake clock.
void watching()
{
    for (const int seconds : {3600, 12 * 3600}) {
        const WatchFigures watch = watchRegisters(seconds);
        std::printf("watching 01 and 02 for %5d s (fake clock, Link Log open): %.3f CPU s, %d log lines, "
                    "%d characters sent, memory +%ld kB\n",
                    seconds, watch.cpu, watch.logLines, watch.sent, watch.growthKilobytes);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--startup")
        return paintOnce(argc, argv);
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--watch") {
        watching();
        return 0;
    }
    std::printf("%-28s %10s %10s %6s %10s\n", "", "wall", "floor", "ratio", "CPU/wall");
    BenchRig rig;
    if (!rig.ready())
        return 1;
    if (argc > 1 && QByteArray(argv[1]) == "--tools") {
        tools(rig);
        return 0;
    }
    if (argc > 1 && QByteArray(argv[1]) == "--cancel") {
        cancelling(rig);
        return 0;
    }
    if (argc > 1 && QByteArray(argv[1]) == "--scripts") {
        scripts(rig);
        return 0;
    }
    row("Read All", rig.readAll());
    row("one register, its box", rig.boxWrite());
    row("video mode OK", rig.videoModeOk());
    row("Load, 64 registers changed", rig.load());
    cancelling(rig);
    row("silent board, 1 s echo wait", rig.silentWait());
    tools(rig);
    scripts(rig);
    watching();
    startup();
    std::printf("peak memory of the program   %8ld kB\n", peakKilobytes());
    return 0;
}
