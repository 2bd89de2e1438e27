// kv71xx-cli: the board's registers from a shell or a script, without a display.

#include "invocation.h"
#include "runner.h"
#include "stderrmessages.h"
#include "traceport.h"

#include "platform/immediateend.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#include "platform/signalwatcher.h"
#include "platform/standardoutput.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <unistd.h>

int main(int argc, char *argv[])
{
    SignalWatcher::blockTerminationSignals(); // before any thread, so that only the watcher takes them
#ifdef SIGPIPE
    // A reader that closes the pipe shows as a failed write, so that the port is closed first.
    std::signal(SIGPIPE, SIG_IGN);
    constexpr int closedPipe = SIGPIPE;
#else
    constexpr int closedPipe = 13;
#endif
    QCoreApplication app(argc, argv);
    QFile err;
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    StderrMessages messages(err, terminal);

    // Usage errors end here, before the port is touched.
    const CommandLine::Parsed parsed = CommandLine::parse(QCoreApplication::arguments());
    if (!parsed.invocation) {
        messages.show(parsed.error);
        return Invocation::BadInput;
    }
    const Invocation &invocation = *parsed.invocation;

    QtSerialPort port;
    // A logout, kill, Ctrl+C or a closed pipe closes the port (its lock goes
    // with it) and ends with 128 + the signal, once the command line in
    // flight is complete.
    ImmediateEnd end(port);
    BoardLink *link = nullptr; // the runner's, set before anything can end it
    const auto endBy = [&end, &link](int signal) {
        link->whenNoCommand([&end, signal] { end.endWith(128 + signal); });
    };
    StandardOutputDevice out([&endBy] { endBy(closedPipe); });
    RealClock clock;
    TracePort trace(port, clock, err);
    SerialPort &used = invocation.trace ? static_cast<SerialPort &>(trace) : port;
    Runner runner(invocation, used, clock, messages, out, terminal ? &err : nullptr);
    link = &runner.link();
    const SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, endBy);
    return runner.run();
}
