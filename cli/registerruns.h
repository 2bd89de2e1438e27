#pragma once

#include <QList>
#include <QString>

// Registers at consecutive addresses, which one burst command carries.
struct RegisterRun
{
    int first = 0;
    int length = 0;
};

// The addresses as runs, in the order given: a run goes on while each
// address is one above the one before.
QList<RegisterRun> adjacentRuns(const QList<int> &addresses);

// "register 06", "registers 06 to 0D".
QString runName(const RegisterRun &run);
