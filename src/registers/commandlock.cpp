#include "commandlock.h"

#include <QAction>
#include <QWidget>

CommandLock::CommandLock(QWidget *writeRegCommand, QWidget *readRegCommand, QWidget *readAllRegisters,
                         QAction *videoModeInput, QObject *parent)
    : QObject(parent)
    , m_write(writeRegCommand)
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

CommandLock::Hold::Hold(CommandLock &lock)
    : m_lock(lock)
{
    if (m_lock.m_holds++ == 0)
        m_lock.DisableRegisterCommands();
}

CommandLock::Hold::~Hold()
{
    if (--m_lock.m_holds == 0)
        m_lock.EnableRegisterCommands();
    m_lock.leave();
}

CommandLock::Exchange::Exchange(CommandLock &lock)
    : m_lock(lock)
{
    ++m_lock.m_exchanges;
}

CommandLock::Exchange::~Exchange()
{
    --m_lock.m_exchanges;
    m_lock.leave();
}

void CommandLock::leave()
{
    if (!busy())
        emit idle();
}
