#include "readall.h"

#include "commandlock.h"
#include "registerboxes.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"

ReadAll::ReadAll(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands,
                 CommandLock &lock, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
{}

void ReadAll::Read_All_Registers()
{
    m_boxes.ReadingAllRegisters = true;
    {
        const CommandLock::Hold hold(m_lock);
        // Failures are not reported here: a port that does not open leaves
        // every burst to return "00" at once.
        m_link.Connect_Board();
        for (int block = 0; block < 4; ++block)
            fillBlock(block);
        emit progress(100);
        m_link.pause(0.5);
        emit progress(0);
    }
    emit filled();
    m_boxes.ReadingAllRegisters = false;
}

void ReadAll::fillBlock(int block)
{
    const int first = 16 * block;
    const QString text = m_commands.Read_KV7106_Burst(first, 16);
    for (int j = 0; j < 16; ++j) {
        m_boxes.setText(first + j, text.mid(2 * j, 2));
        if (j == 0 || j == 8) {
            // The bar counts boxes filled, not commands sent.
            emit progress((first + j) / 64.0 * 100);
            m_link.processEvents();
        }
    }
}
