#include "readall.h"

#include "registerboxes.h"
#include "../app/progressbar.h"
#include "../link/boardcommands.h"
#include "../link/boardlink.h"
#include "../link/clock.h"

#include <QAction>
#include <QWidget>

CommandLock::CommandLock(QWidget *writeRegCommand, QWidget *readRegCommand,
                         QWidget *readAllRegisters, QAction *videoModeInput)
    : m_write(writeRegCommand)
    , m_read(readRegCommand)
    , m_readAll(readAllRegisters)
    , m_videoMode(videoModeInput)
{}

void CommandLock::setEnabled(bool enabled)
{
    m_write->setEnabled(enabled);
    m_read->setEnabled(enabled);
    m_readAll->setEnabled(enabled);
    m_videoMode->setEnabled(enabled);
}

ReadAll::ReadAll(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands,
                 CommandLock &lock, ProgressBar &progress)
    : m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_progress(progress)
{}

void ReadAll::Read_All_Registers()
{
    m_boxes.ReadingAllRegisters = true;
    m_lock.DisableRegisterCommands();
    // Failures are not reported here: a port that does not open leaves every
    // burst to return "00" at once.
    m_link.Connect_Board();
    for (int block = 0; block < 4; ++block)
        fillBlock(block);
    m_progress.setPercent(100);
    m_link.clock().pause(0.5);
    m_progress.setPercent(0);
    m_lock.EnableRegisterCommands();
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
            m_progress.setPercent((first + j) / 64.0 * 100);
            m_link.clock().processEvents();
        }
    }
}
