#pragma once

#include <QObject>

class BoardCommands;
class BoardLink;
class CommandLock;
class MessageBoxes;
class RegisterBoxes;
class RegisterFiles;

// Tools > Quick Load: a register file into the chip with burst writes, then
// all 64 registers read back into the boxes, each register the board does
// not hold as written marked. Load's file rules; one link reset in all.
class QuickLoad : public QObject
{
    Q_OBJECT

public:
    QuickLoad(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock, RegisterFiles &files,
              MessageBoxes &messages, QObject *parent = nullptr);

    // Ignored while another command or a box change runs.
    void run();

signals:
    void progress(double percent);
    // The boxes are filled and box changes are still suppressed.
    void filled();
    void status(const QString &text);

private:
    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    RegisterFiles &m_files;
    MessageBoxes &m_messages;
};
