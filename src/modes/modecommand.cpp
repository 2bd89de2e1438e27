#include "modecommand.h"

#include "commands/commandlock.h"
#include "link/boardlink.h"
#include "registers/readall.h"

#include <QWidget>

ModeCommand::ModeCommand(BoardLink &link, BoardCommands &commands, CommandLock &lock, ReadAll &readAll, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_readAll(readAll)
{}

void ModeCommand::apply(const Presets::Preset &preset, QWidget &dialog)
{
    // Two command sequences must never interleave on the link: OK waits for
    // nothing, it is simply not taken while another command runs.
    if (const auto hold = m_lock.tryHold(tr("Input video mode OK")))
        run(preset, dialog);
}

void ModeCommand::run(const Presets::Preset &preset, QWidget &dialog)
{
    const bool connected = m_link.connectOrReport();
    const QStringList unconfirmed = connected ? Presets::write(m_commands, preset) : Presets::registerNames();
    dialog.hide();
    m_link.processEvents();
    // The boxes show what the chip holds, whatever went through.
    const ReadAll::Outcome readBack = m_readAll.Read_All_Registers();
    const QString mode = QLatin1String(preset.group) + QLatin1Char(' ') + QLatin1String(preset.caption);
    QString text = tr("Input video mode %1 applied.").arg(mode);
    if (!connected)
        text = tr("Input video mode %1 not applied: the port could not be opened.").arg(mode);
    else if (!unconfirmed.isEmpty())
        text = tr("Input video mode %1 not applied: %2 not confirmed by the board.")
                   .arg(mode, unconfirmed.join(QStringLiteral(", ")));
    emit status(readBack.unread == 0 ? text : text + QLatin1Char(' ') + readBack.text);
}
