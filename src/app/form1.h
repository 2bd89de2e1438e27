#pragma once

#include "platform/platform.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class BoardCommands;
class BoardLink;
class CommandLock;
class FieldSliders;
class InputHold;
class ModeCommand;
class PortMenu;
class PrintedText;
class ProgressBar;
class QAction;
class QPushButton;
class ReadAll;
class RegisterPages;
class RegisterBoxes;
class RegisterEngine;
class RegisterFiles;
class StatusLine;
class SingleRegister;
class ToolsMenu;
class VideoMode;
class frmAbout;

// The program's one main window: the register pages, the board commands and
// the menus. It owns everything the program shares.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(const Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up; false when the program is to end (another copy runs).
    bool Form_Load();

    void mDisconnectSerial_Click();
    void nMenuFileExit_Click();
    // A logout, kill or Ctrl+C: File > Exit once the command line in flight
    // is complete.
    void endAfterCommand();
    void Unload_All_Forms();

    // A line at the window's foot that says how the last command went, kept
    // until the next one (the label StatusLine).
    void showStatus(const QString &text);

    PortMenu &ports() { return *m_ports; }
    BoardLink &link() { return *m_link; }
    RegisterBoxes &boxes() { return *m_boxes; }
    FieldSliders &sliders() { return *m_sliders; }
    // The video mode dialog, built when there is none; it may be hidden.
    VideoMode &videoMode();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupMenus();
    void setupPages();
    void createControllers();
    void connectActions();
    void showAboutBox();

    Platform m_platform;
    std::unique_ptr<BoardLink> m_link;
    std::unique_ptr<BoardCommands> m_commands;
    std::unique_ptr<RegisterEngine> m_engine;
    RegisterPages *m_pages = nullptr;
    QAction *m_saveRegisters = nullptr;
    QAction *m_loadRegisters = nullptr;
    QAction *m_about = nullptr;
    QAction *m_exit = nullptr;
    QAction *m_videoModeInput = nullptr;
    QAction *m_disconnect = nullptr;
    PortMenu *m_ports = nullptr;
    QPushButton *m_readAllButton = nullptr;
    QPushButton *m_cancelButton = nullptr; // and Esc: the long command that runs
    QAction *m_cancelKey = nullptr;
    ProgressBar *m_progress = nullptr;
    PrintedText *m_printed = nullptr;
    StatusLine *m_statusLine = nullptr;
    RegisterBoxes *m_boxes = nullptr;
    FieldSliders *m_sliders = nullptr;
    CommandLock *m_lock = nullptr;
    ReadAll *m_readAll = nullptr;
    InputHold *m_inputHold = nullptr;
    SingleRegister *m_singleRegister = nullptr;
    ModeCommand *m_modeCommand = nullptr;
    QPointer<VideoMode> m_videoMode;
    QPointer<frmAbout> m_aboutBox;
    RegisterFiles *m_registerFiles = nullptr;
    ToolsMenu *m_tools = nullptr;
    bool m_unloading = false;
};
