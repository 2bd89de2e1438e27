#pragma once

#include <QObject>
#include <QPointer>

class BoardCommands;
class BoardConsole;
class BoardLink;
class CommandLock;
class CompareFile;
class FileChooser;
class LinkLog;
class MessageBoxes;
class QAction;
class QMenu;
class QMenuBar;
class QuickLoad;
class QWidget;
class RegisterBoxes;
class RegisterEngine;
class RegisterFiles;
class RegisterWatch;
class ScriptRecorder;

// The window's "&Tools" menu: the link log, a comparison with a register
// file, a quick load, a register watch, a script recorder, the test page and
// a board console. Nothing here talks to the board until the user starts it.
class ToolsMenu : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        RegisterBoxes &boxes;
        BoardLink &link;
        BoardCommands &commands;
        RegisterEngine &engine;
        CommandLock &lock;
        RegisterFiles &files;
        FileChooser &dialog;
        MessageBoxes &messages;
    };

    // Adds the menu at the end of the window's menu bar; the tool windows
    // belong to `window`.
    ToolsMenu(QMenuBar *menuBar, QWidget *window, const Parts &parts);

    LinkLog &linkLog();
    CompareFile &compareFile();
    QuickLoad &quickLoad() { return *m_quickLoad; }
    RegisterWatch &registerWatch();
    ScriptRecorder &scriptRecorder() { return *m_recorder; }
    BoardConsole &boardConsole();

signals:
    void progress(double percent);
    void status(const QString &text);
    // Tools > Test Registers checked or cleared.
    void testRegistersShown(bool shown);

private:
    QAction *addItem(const QString &caption, const QString &name);

    QMenu *m_menu = nullptr;
    QWidget *m_window;
    Parts m_parts;
    QuickLoad *m_quickLoad = nullptr;
    ScriptRecorder *m_recorder = nullptr;
    QPointer<LinkLog> m_linkLog;
    QPointer<CompareFile> m_compareFile;
    QPointer<RegisterWatch> m_registerWatch;
    QPointer<BoardConsole> m_boardConsole;
};
