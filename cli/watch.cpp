// kv71xx-cli watch: reads the registers once a round and prints each change,
// until the count of rounds is reached or the user stops it.

#include "runner.h"

#include "platform/clock.h"

#include <algorithm>

namespace {

// "   12.0 s 01 Sync Status (0x01): 00 -> 10"; the first round has no old value.
QString changeLine(double seconds, int address, std::optional<quint8> old, quint8 value)
{
    const QString from = old ? Hex_Digits(*old, 2) + QStringLiteral(" -> ") : QString();
    return QStringLiteral("%1 s %2 %3: %4%5\n")
        .arg(seconds, 7, 'f', 1)
        .arg(Hex_Digits(address, 2), RegisterMap::caption(address).trimmed(), from, Hex_Digits(value, 2));
}

} // namespace

int Runner::watch()
{
    QList<int> addresses = m_invocation.addresses;
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    if (!connect())
        return Invocation::LinkFailure;
    std::optional<Values> last;
    const double start = m_clock.seconds();
    for (int round = 0; m_invocation.count == 0 || round < m_invocation.count; ++round) {
        // Rounds start on a fixed beat, so a slow read does not shift the rest.
        const double due = start + round * m_invocation.interval;
        while (m_clock.seconds() < due)
            m_clock.waitForEvents(due);
        const double at = m_clock.seconds() - start;
        const std::optional<Values> now = readRegisters(addresses);
        if (!now)
            return Invocation::LinkFailure;
        for (const int address : addresses) {
            const quint8 value = now->at(address);
            const std::optional<quint8> old = last ? std::optional<quint8>(last->at(address)) : std::nullopt;
            if (old != value && !print(changeLine(at, address, old, value).toLatin1()))
                return Invocation::BadInput;
        }
        last = now;
    }
    return Invocation::Success;
}
