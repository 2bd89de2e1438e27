#pragma once

#include "registerbursts.h"

#include <QDialog>

class BoardCommands;
class BoardLink;
class CommandLock;
class MessageBoxes;
class QLabel;
class QPushButton;
class QTableWidget;
class RegisterBoxes;
class RegisterFiles;

// Tools > Compare With File: reads the chip into the boxes as Read All does
// and lists the registers whose value differs from a register file's; the
// chip's own registers 0x00 to 0x02 are listed apart. It can load just the
// registers that differ and read them back.
class CompareFile : public QDialog
{
    Q_OBJECT

public:
    CompareFile(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock, RegisterFiles &files,
                MessageBoxes &messages, QWidget *parent = nullptr);

    // Chooses the file, reads the chip and shows the table. Ignored while
    // another command or a box change runs.
    void run();
    // "Load the differing registers": writes them, adjacent ones as a burst,
    // then reads them back.
    void loadDifferences();

    QTableWidget *differing() const { return m_differing; }
    QTableWidget *chipOwned() const { return m_chipOwned; }

signals:
    void progress(double percent);
    void filled();
    void status(const QString &text);

private:
    void showTables();
    QString summary() const;

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    RegisterFiles &m_files;
    MessageBoxes &m_messages;
    RegisterBursts::Values m_file;
    QString m_path;
    QLabel *m_title = nullptr;
    QTableWidget *m_differing = nullptr;
    QTableWidget *m_chipOwned = nullptr;
    QPushButton *m_load = nullptr;
};
