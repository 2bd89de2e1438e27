#include "registerruns.h"
#include "runner.h"

#include "link/hex.h"

QList<RegisterRun> adjacentRuns(const QList<int> &addresses)
{
    QList<RegisterRun> runs;
    for (const int address : addresses) {
        if (!runs.isEmpty() && runs.constLast().first + runs.constLast().length == address)
            ++runs.last().length;
        else
            runs.append({address, 1});
    }
    return runs;
}

QString runName(const RegisterRun &run)
{
    if (run.length == 1)
        return QStringLiteral("register ") + Hex_Digits(run.first, 2);
    return QStringLiteral("registers %1 to %2")
        .arg(Hex_Digits(run.first, 2), Hex_Digits(run.first + run.length - 1, 2));
}

// A single register is a burst of one too: its 29 characters on the wire are
// what a one-register read moves.
std::optional<Runner::Values> Runner::readRegisters(const QList<int> &addresses)
{
    Values values{};
    for (const RegisterRun &run : adjacentRuns(addresses)) {
        const QString data = m_commands.Read_KV7106_Burst(run.first, run.length);
        if (!m_commands.confirmed()) {
            fail(Invocation::LinkFailure, QStringLiteral("The board did not send ") + runName(run));
            return std::nullopt;
        }
        for (int i = 0; i < run.length; ++i) {
            const std::optional<quint8> value = RegisterMap::textToByte(data.mid(2 * i, 2));
            if (!value) {
                fail(Invocation::LinkFailure, QStringLiteral("The board sent \"%1\" for %2").arg(data, runName(run)));
                return std::nullopt;
            }
            values.at(size_t(run.first + i)) = *value;
        }
    }
    return values;
}
