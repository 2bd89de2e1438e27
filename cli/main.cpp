// kv71xx-cli: the board's registers from a shell or a script, without a display.

#include "invocation.h"
#include "runner.h"
#include "stderrmessages.h"
#include "traceport.h"

#include "platform/qtserialport.h"
#include "platform/realclock.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

int main(int argc, char *argv[])
{
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
    port.useDevice(invocation.device);
    RealClock clock;
    TracePort trace(port, clock, err);
    SerialPort &used = invocation.trace ? static_cast<SerialPort &>(trace) : port;
    Runner runner(invocation, used, clock, messages, out, terminal ? &err : nullptr);
    return runner.run();
}
