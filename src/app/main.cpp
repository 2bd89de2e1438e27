#include "form1.h"
#include "programoptions.h"
#include "realplatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = ProgramOptions::answerHelpOrVersion(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv71xx"));
    if (const std::optional<int> status = ProgramOptions::apply(QApplication::arguments()))
        return *status;
    RealPlatform real;
    Form1 form(real.platform());
    if (!form.Form_Load())
        return 0;
    form.show();
    return QApplication::exec();
}
