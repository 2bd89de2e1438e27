#include "readall.h"

#include "registerboxes.h"
#include "commands/commandlock.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"

ReadAll::ReadAll(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
{}

void ReadAll::ReadAllRegisters_Click()
{
    if (const auto hold = m_lock.tryHold(tr("Read All")))
        emit status(Read_All_Registers().text);
}

ReadAll::Outcome ReadAll::Read_All_Registers()
{
    m_boxes.setReadingAllRegisters(true);
    Outcome outcome;
    bool connected = false;
    {
        const CommandLock::Hold hold(m_lock, tr("Read All"));
        connected = m_link.connectOrReport();
        for (int block = 0; block < RegisterMap::Bursts; ++block)
            outcome.unread += fillBlock(block, connected);
        emit progress(100);
        m_link.pause(ClosingPause);
        emit progress(0);
    }
    emit filled();
    m_boxes.setReadingAllRegisters(false);
    if (outcome.unread == 0)
        outcome.text = tr("Read all 64 registers.");
    else if (!connected)
        outcome.text = tr("Read All: 64 of 64 registers not read, the port could not be opened.");
    else
        outcome.text = tr("Read All: %1 of 64 registers not read, the board did not answer.").arg(outcome.unread);
    return outcome;
}

int ReadAll::fillBlock(int block, bool connected)
{
    const int first = RegisterMap::BurstLength * block;
    const QString text = connected ? m_commands.Read_KV7106_Burst(first, RegisterMap::BurstLength) : QString();
    const bool read = connected && m_commands.confirmed();
    for (int j = 0; j < RegisterMap::BurstLength; ++j) {
        if (read)
            m_boxes.setText(first + j, text.mid(2 * j, 2));
        m_boxes.setMark(first + j, read ? RegisterBoxes::Mark::None : RegisterBoxes::Mark::NotRead);
        if (j == 0 || j == 8) {
            // The bar counts boxes filled, not commands sent.
            emit progress((first + j) / 64.0 * 100);
            m_link.processEvents();
        }
    }
    return read ? 0 : RegisterMap::BurstLength;
}
