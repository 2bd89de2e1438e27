#pragma once

#include <QObject>

class BoardLink;
class CommandLock;
class MessageBoxes;
class RegisterBoxes;
class RegisterEngine;
class RegisterFiles;

// Tools > Quick Load: a register file into the chip with burst writes, then
// all 64 registers read back into the boxes, each register the board does
// not hold as written marked. Load's file rules; one link reset in all.
class QuickLoad : public QObject
{
    Q_OBJECT

public:
    QuickLoad(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock, RegisterFiles &files,
              MessageBoxes &messages, QObject *parent = nullptr);

    // Ignored while another command or a box change runs.
    void run();

signals:
    void progress(double percent);
    void status(const QString &text);

private:
    class Steps;

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    RegisterEngine &m_engine;
    CommandLock &m_lock;
    RegisterFiles &m_files;
    MessageBoxes &m_messages;
};
