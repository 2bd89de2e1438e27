#include "harness.h"

QString commandStates(const QWidget &form)
{
    QString states;
    for (const char *name : {"WriteRegCommand", "ReadRegCommand", "ReadAllRegisters", "nVideoModeInput"})
        states += form.findChild<QObject *>(name)->property("enabled").toBool() ? '1' : '0';
    return states;
}
