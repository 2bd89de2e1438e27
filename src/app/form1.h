#pragma once

#include "platform/platform.h"
#include "platform/serialport.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class BoardCommands;
class BoardLink;
class CommandLock;
class FieldSliders;
class PrintedText;
class ProgressBar;
class QAction;
class QLineEdit;
class QPushButton;
class QTabWidget;
class ReadAll;
class RegisterBoxes;
class RegisterFiles;
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

    void COM_SEL_Click(int index);
    void mDisconnectSerial_Click();
    void nMenuFileExit_Click();
    void Unload_All_Forms();
    void LoadDefaults();
    void SaveDefaults();

    // A line at the window's foot that says how the last command went.
    void showStatus(const QString &text);

    // The index of the checked port item; the highest wins, 0 for none.
    int selectedPort() const;
    QAction *COM_SEL(int index) const { return m_comSel.at(size_t(index)); }

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
    QWidget *addPage(const QString &caption, const QString &frameName);
    void setupIndividualRegister(QWidget *frame);
    void setupDebugPage(QWidget *frame);
    void setupCommands(QWidget *central);
    void createControllers();
    void connectActions();
    void setCheckedPort(int port);
    void showAboutBox();

    Platform m_platform;
    std::unique_ptr<BoardLink> m_link;
    std::unique_ptr<BoardCommands> m_commands;
    QTabWidget *m_tabs = nullptr;
    QAction *m_saveRegisters = nullptr;
    QAction *m_loadRegisters = nullptr;
    QAction *m_about = nullptr;
    QAction *m_exit = nullptr;
    QAction *m_videoModeInput = nullptr;
    QAction *m_disconnect = nullptr;
    std::array<QAction *, LastPort + 1> m_comSel{}; // 1 to 8
    QWidget *m_userFrame = nullptr;
    QWidget *m_testFrame = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_data = nullptr;
    QPushButton *m_readReg = nullptr;
    QPushButton *m_writeReg = nullptr;
    QPushButton *m_readAllButton = nullptr;
    ProgressBar *m_progress = nullptr;
    PrintedText *m_printed = nullptr;
    RegisterBoxes *m_boxes = nullptr;
    FieldSliders *m_sliders = nullptr;
    CommandLock *m_lock = nullptr;
    ReadAll *m_readAll = nullptr;
    SingleRegister *m_singleRegister = nullptr;
    QPointer<VideoMode> m_videoMode;
    QPointer<frmAbout> m_aboutBox;
    RegisterFiles *m_registerFiles = nullptr;
    ToolsMenu *m_tools = nullptr;
    bool m_unloading = false;
};
