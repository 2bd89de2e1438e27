#include "form1.h"
#include "programoptions.h"
#include "realplatform.h"

#include "platform/signalwatcher.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = ProgramOptions::answerHelpOrVersion(argc, argv))
        return *status;
    // Before QApplication starts any thread, so that only the watcher takes them.
    SignalWatcher::blockTerminationSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv71xx"));
    if (const std::optional<int> status = ProgramOptions::apply(QApplication::arguments()))
        return *status;
    RealPlatform real;
    Form1 form(real.platform());
    // A logout, kill or Ctrl+C ends the program as File > Exit does: port and locks released.
    const SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &form, &Form1::endAfterCommand);
    if (!form.Form_Load())
        return 0;
    form.show();
    return QApplication::exec();
}
