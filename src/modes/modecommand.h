#pragma once

#include "presets.h"

#include <QObject>

class BoardCommands;
class BoardLink;
class CommandLock;
class QWidget;
class ReadAll;

// What the video mode dialog's OK does: the preset's writes, then the
// read-back of all registers, under the command lock. It outlives the dialog,
// which is built afresh after each close.
class ModeCommand : public QObject
{
    Q_OBJECT

public:
    ModeCommand(BoardLink &link, BoardCommands &commands, CommandLock &lock, ReadAll &readAll,
                QObject *parent = nullptr);

    // Refused while another command or a box change runs. The dialog is
    // hidden after the writes, before the read-back.
    void apply(const Presets::Preset &preset, QWidget &dialog);

signals:
    // The preset's outcome, and the read-back's where it failed, for the
    // main window's status line.
    void status(const QString &text);

private:
    void run(const Presets::Preset &preset, QWidget &dialog);

    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    ReadAll &m_readAll;
};
