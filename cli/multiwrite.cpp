// kv71xx-cli write: several chip registers after one link reset, each run of
// adjacent registers as one burst, and with --verify read back.

#include "registerruns.h"
#include "runner.h"

#include <QMap>

namespace {

// The runs' values as the burst's digits, "7F80".
QString digits(const QList<int> &values, int from, int count)
{
    QString text;
    for (int i = from; i < from + count; ++i)
        text += Hex_Digits(values.at(i), 2);
    return text;
}

} // namespace

int Runner::writeRegisters()
{
    const QList<int> &addresses = m_invocation.addresses;
    const QList<int> &values = m_invocation.values;
    if (!connect())
        return Invocation::LinkFailure;
    const QList<RegisterRun> runs = adjacentRuns(addresses);
    int written = 0;
    for (const RegisterRun &run : runs) {
        // One register keeps the one-register command.
        const bool confirmed = run.length == 1
            ? m_commands.Write_KV7106(run.first, quint8(values.at(written)))
            : m_commands.Write_KV7106_Burst(run.first, run.length, digits(values, written, run.length));
        written += run.length;
        if (!confirmed) {
            const QString after = QStringLiteral("; the registers after %1 were not written")
                                      .arg(run.length == 1 ? QStringLiteral("it") : QStringLiteral("them"));
            const bool last = written == addresses.size();
            return fail(Invocation::LinkFailure,
                        QStringLiteral("The board did not confirm writing chip ") + runName(run)
                            + (last ? QString() : after));
        }
    }
    return m_invocation.verify ? verifyWritten() : Invocation::Success;
}

// The chip keeps 0x00 to 0x02 to itself, so they are not read back; a
// register written twice is compared with its last value.
int Runner::verifyWritten()
{
    QMap<int, quint8> wrote;
    for (int i = 0; i < m_invocation.addresses.size(); ++i) {
        if (!RegisterMap::isChipOwned(m_invocation.addresses.at(i)))
            wrote.insert(m_invocation.addresses.at(i), quint8(m_invocation.values.at(i)));
    }
    const std::optional<Values> chip = readRegisters(wrote.keys());
    if (!chip)
        return Invocation::LinkFailure;
    Values expected = *chip;
    for (auto i = wrote.cbegin(); i != wrote.cend(); ++i)
        expected.at(size_t(i.key())) = i.value();
    return compare(expected, *chip, QStringLiteral("wrote"));
}
