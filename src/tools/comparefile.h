#pragma once

#include "registers/registermap.h"

#include <QDialog>

class BoardLink;
class CommandLock;
class QLabel;
class QPushButton;
class QTableWidget;
class RegisterBoxes;
class RegisterEngine;
class RegisterFiles;

// Tools > Compare With File: reads the chip into the boxes as Read All does
// and lists the registers whose value differs from a register file's; the
// chip's own registers 0x00 to 0x02 are listed apart. It can load just the
// registers that differ and read them back.
class CompareFile : public QDialog
{
    Q_OBJECT

public:
    CompareFile(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock, RegisterFiles &files,
                QWidget *parent = nullptr);

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
    void status(const QString &text);

private:
    class Fill;
    class Confirmed;

    // The registers of the file that were read and differ, chip-owned ones left out.
    QList<int> differences() const;
    void showTables();
    QString summary() const;
    // The summary with what the file left out, for the status line.
    QString statusText() const;

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    RegisterEngine &m_engine;
    CommandLock &m_lock;
    RegisterFiles &m_files;
    RegisterMap::Values m_file;
    QString m_notCompared; // the registers the file left out, and why
    QString m_path;
    QLabel *m_title = nullptr;
    QTableWidget *m_differing = nullptr;
    QTableWidget *m_chipOwned = nullptr;
    QPushButton *m_load = nullptr;
};
