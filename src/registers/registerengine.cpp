#include "registerengine.h"

#include "link/boardcommands.h"
#include "link/hex.h"

QString RegisterEngine::Block::textOf(int address) const
{
    return text.mid(2 * (address - run.first), 2);
}

std::optional<quint8> RegisterEngine::Block::valueOf(int address) const
{
    return read ? RegisterMap::textToByte(textOf(address)) : std::nullopt;
}

RegisterEngine::RegisterEngine(BoardCommands &commands)
    : m_commands(commands)
{}

QList<RegisterEngine::Run> RegisterEngine::runs(const QList<int> &addresses, int longest)
{
    QList<Run> result;
    for (const int address : addresses) {
        if (!result.isEmpty() && result.constLast().first + result.constLast().length == address
            && result.constLast().length < longest)
            ++result.last().length;
        else
            result.append({address, 1});
    }
    return result;
}

QList<RegisterEngine::Run> RegisterEngine::wholeChip()
{
    QList<Run> result;
    for (int first = 0; first < RegisterMap::Count; first += RegisterMap::BurstLength)
        result.append({first, RegisterMap::BurstLength});
    return result;
}

bool RegisterEngine::write(const QList<Run> &runs, const QList<quint8> &values, One one, Steps &steps)
{
    bool confirmed = true;
    qsizetype at = 0;
    for (const Run &run : runs) {
        if (!steps.next(run))
            return false;
        const bool written = write(run, values.mid(at, run.length), one);
        at += run.length;
        confirmed = confirmed && written;
        steps.written(run, written);
    }
    return confirmed;
}

bool RegisterEngine::write(const RegisterMap::Values &values, One one, Steps &steps)
{
    QList<int> addresses;
    QList<quint8> bytes;
    for (const auto &[address, value] : values) {
        addresses.append(address);
        bytes.append(value);
    }
    return write(runs(addresses), bytes, one, steps);
}

bool RegisterEngine::write(const Run &run, const QList<quint8> &values, One one)
{
    if (run.length == 1 && one == One::Command)
        return m_commands.Write_KV7106(run.first, values.constFirst());
    QString digits;
    for (const quint8 value : values)
        digits += Hex_Digits(value, BoardCommands::ValueDigits);
    return m_commands.Write_KV7106_Burst(run.first, run.length, digits);
}

QList<RegisterEngine::Block> RegisterEngine::read(const QList<Run> &runs, One one, Steps &steps)
{
    QList<Block> blocks;
    for (const Run &run : runs) {
        if (!steps.next(run))
            break;
        blocks.append(read(run, one));
        steps.read(blocks.constLast());
    }
    return blocks;
}

RegisterEngine::Block RegisterEngine::read(const Run &run, One one)
{
    Block block{run, {}, false};
    block.text = run.length == 1 && one == One::Command ? m_commands.Read_KV7106(run.first)
                                                        : m_commands.Read_KV7106_Burst(run.first, run.length);
    block.read = m_commands.confirmed();
    return block;
}

RegisterEngine::Differences RegisterEngine::differences(const RegisterMap::Values &expected,
                                                        const RegisterMap::Values &read)
{
    Differences result;
    for (const auto &[address, value] : expected) {
        const auto held = read.find(address);
        if (held == read.end() || held->second == value)
            continue;
        (RegisterMap::isChipOwned(address) ? result.chipOwned : result.compared).append(address);
    }
    return result;
}
