#pragma once

#include "platform/filechooser.h"

#include <QList>
#include <QObject>

class BoardLink;
class CommandLock;
class MessageBoxes;
class RegisterBoxes;

// The File menu's "Save Resisters" and "Load Registers": the 64 boxes to a
// register file, and a register file back into the boxes and so the chip.
class RegisterFiles : public QObject
{
    Q_OBJECT

public:
    // dialog is CommonDialog1, the window's one file dialog, shared by both.
    RegisterFiles(RegisterBoxes &boxes, BoardLink &link, CommandLock &lock, FileChooser &dialog, MessageBoxes &messages,
                  QObject *parent = nullptr);

    // Both are refused while another command or a box change runs.
    void nFileSaveRegisterAs_Click();
    void nFileLoadRegisterFrom_Click();
    // The window's one file dialog as Load and Save show it: it proposes the
    // path chosen last, and a cancel is printed on the window.
    std::optional<QString> chooseFile(FileChooser::Kind kind);

    // A register file chosen in the dialog and read whole, before anything
    // changes. Nothing when the dialog was cancelled, or when the file could
    // not be read: that has its message box and then the status line says
    // `unchanged`.
    struct Opened
    {
        QString path; // as the user sees it
        QStringList lines;
    };
    std::optional<Opened> openFile(const QString &unchanged);

signals:
    // Percent of the lines done, k / 63 x 100 after line k; 0 at the end.
    void progress(double percent);
    // How it went, for the window's status line.
    void status(const QString &text);
    // A line for the window's client area.
    void print(const QString &line);

private:
    struct Outcome
    {
        int lines = 0; // the file's lines that were used, at most 64
        QList<int> skipped; // lines whose value is no byte
        QList<int> unconfirmed; // registers the board did not confirm
        int cancelledAfter = -1; // the lines done when the user cancelled
    };

    void saveChosen();
    void loadChosen();
    QString save(const QString &path);
    Outcome load(const QStringList &lines);
    bool program(int address, const QString &value);
    void report(const QString &path, const Outcome &outcome, bool connected);

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    CommandLock &m_lock;
    FileChooser &m_dialog;
    MessageBoxes &m_messages;
    QString m_fileName; // the path chosen last, which the dialog proposes next
};
