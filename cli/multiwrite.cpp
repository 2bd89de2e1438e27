// kv71xx-cli write: several chip registers after one link reset, each run of
// adjacent registers as one burst, and with --verify read back.

#include "runner.h"

int Runner::writeRegisters()
{
    if (!connect())
        return Invocation::LinkFailure;
    // One register keeps the one-register command.
    const QList<Run> runs = RegisterEngine::runs(m_invocation.addresses);
    QList<quint8> values;
    for (const int value : m_invocation.values)
        values.append(quint8(value));
    if (const std::optional<int> failed = writeRuns(runs, values, RegisterEngine::One::Command)) {
        const Run &run = runs.at(*failed);
        const bool last = *failed == runs.size() - 1;
        return fail(Invocation::LinkFailure,
                    QStringLiteral("The board did not confirm writing chip ") + runName(run)
                        + (last ? QString() : notWrittenAfter(run)));
    }
    return m_invocation.verify ? verifyWritten() : Invocation::Success;
}

// A register written twice is compared with its last value. The chip's own
// 0x00 to 0x02 are read back too, and named apart as load --verify names them.
int Runner::verifyWritten()
{
    Values wrote;
    for (int i = 0; i < m_invocation.addresses.size(); ++i)
        wrote[m_invocation.addresses.at(i)] = quint8(m_invocation.values.at(i));
    const std::optional<Values> chip = readRegisters(RegisterMap::addresses(wrote));
    if (!chip)
        return Invocation::LinkFailure;
    return compare(wrote, *chip, QStringLiteral("wrote"));
}
