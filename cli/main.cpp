// kv71xx-cli: the board's registers from a shell or a script, without a display.

#include "invocation.h"
#include "runner.h"
#include "stderrmessages.h"
#include "traceport.h"

#include "platform/immediateend.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#include "platform/signalwatcher.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

int main(int argc, char *argv[])
{
    SignalWatcher::blockTerminationSignals(); // before any thread, so that only the watcher takes them
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    // Unbuffered, so that each write to standard output says whether it got there.
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
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
    // A logout, kill or Ctrl+C closes the port (its lock goes with it) and ends with 128 + the signal.
    ImmediateEnd end(port);
    const SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, [&end](int signal) { end.endWith(128 + signal); });
    RealClock clock;
    TracePort trace(port, clock, err);
    SerialPort &used = invocation.trace ? static_cast<SerialPort &>(trace) : port;
    Runner runner(invocation, used, clock, messages, out, terminal ? &err : nullptr);
    return runner.run();
}
