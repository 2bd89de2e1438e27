#include "form1.h"
#include "realplatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv71xx"));
    RealPlatform real;
    Form1 form(real.platform());
    if (!form.Form_Load())
        return 0;
    form.show();
    return QApplication::exec();
}
