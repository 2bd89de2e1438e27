#include "form1.h"

#include "printedtext.h"
#include "progressbar.h"
#include "settingsfile.h"
#include "about/frmabout.h"
#include "files/registerfiles.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "modes/videomode.h"
#include "platform/messageboxes.h"
#include "platform/programend.h"
#include "platform/singleinstance.h"
#include "registers/commandlock.h"
#include "registers/hexinput.h"
#include "registers/inputhold.h"
#include "registers/readall.h"
#include "registers/registerboxes.h"
#include "registers/singleregister.h"
#include "sliders/fieldsliders.h"
#include "tools/toolsmenu.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>

namespace {

constexpr int ClientWidth = 477;
constexpr int ClientHeight = 420;
constexpr int TestPage = 1;
constexpr int DebugPage = 2;

QFrame *captionlessFrame(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(geometry);
    return frame;
}

// Shows a modeless window, or brings it forward when it is up.
void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

QAction *menuItem(QMenu *menu, const QString &caption, const QString &name, const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

Form1::Form1(const Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
{
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmora KV71xx Triple Video Digitizer"));
    setupMenus();
    setupPages();
    createControllers();
    connectActions();
}

Form1::~Form1() = default;

void Form1::setupMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mFile"));
    m_saveRegisters = menuItem(file, QStringLiteral("Save Resisters"), QStringLiteral("nFileSaveRegisterAs"),
                               QKeySequence(Qt::CTRL | Qt::Key_S));
    m_loadRegisters = menuItem(file, QStringLiteral("Load Registers"), QStringLiteral("nFileLoadRegisterFrom"),
                               QKeySequence(Qt::CTRL | Qt::Key_L));
    m_about = menuItem(file, QStringLiteral("About"), QStringLiteral("nFileAbout"));
    m_exit = menuItem(file, QStringLiteral("E&xit"), QStringLiteral("nMenuFileExit"),
                      QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("nMenuOptions"));
    m_videoModeInput = menuItem(options, QStringLiteral("Select &Input Video Mode"), QStringLiteral("nVideoModeInput"));
    QMenu *ports = options->addMenu(QStringLiteral("&Select Serial Port"));
    ports->setObjectName(QStringLiteral("mSetupCom"));
    for (int i = FirstPort; i <= LastPort; ++i) {
        QAction *item = menuItem(ports, QStringLiteral("COM%1").arg(i), QStringLiteral("COM_SEL_%1").arg(i));
        item->setCheckable(true);
        m_comSel.at(size_t(i)) = item;
    }
    m_disconnect = menuItem(options, QStringLiteral("&Disconnect Serial Port"), QStringLiteral("mDisconnectSerial"));
}

void Form1::setupPages()
{
    auto *central = new QWidget(this);
    central->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(central);

    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->setGeometry(0, 0, ClientWidth, ClientHeight);
    m_userFrame = addPage(QStringLiteral("User Registers"), QStringLiteral("Frame5"));
    m_testFrame = addPage(QStringLiteral("Test Registers"), QStringLiteral("Frame1"));
    setupDebugPage(addPage(QStringLiteral("Debug"), QStringLiteral("Frame2")));
    setupIndividualRegister(m_userFrame);

    auto *logo = new QLabel(m_userFrame);
    logo->setObjectName(QStringLiteral("Picture1"));
    logo->setFrameShape(QFrame::Box);
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(QPixmap(QStringLiteral(":/kv71xx/logo.png")));
    logo->setGeometry(m_userFrame->width() - 93, 287, 83, 83);

    setupCommands(central);
    m_printed = new PrintedText(central);
}

QWidget *Form1::addPage(const QString &caption, const QString &frameName)
{
    auto *page = new QWidget;
    m_tabs->addTab(page, caption);
    QFrame *frame = captionlessFrame(page, frameName, QRect(2, 2, ClientWidth - 10, ClientHeight - 32));
    // A compact font: a page holds up to 18 register rows in two columns.
    QFont compact = frame->font();
    compact.setPixelSize(10);
    frame->setFont(compact);
    return frame;
}

void Form1::setupIndividualRegister(QWidget *frame)
{
    auto *group = new QGroupBox(QStringLiteral("Individual Register Read/Write"), frame);
    group->setObjectName(QStringLiteral("Frame3"));
    group->setGeometry(140, 290, 210, 80);
    auto *caption = new QLabel(QStringLiteral("Address      Data "), group);
    caption->setGeometry(62, 20, 100, 16);
    m_readReg = new QPushButton(QStringLiteral("Read"), group);
    m_readReg->setObjectName(QStringLiteral("ReadRegCommand"));
    m_readReg->setGeometry(8, 38, 48, 26);
    m_address = new QLineEdit(QStringLiteral("00"), group);
    m_address->setObjectName(QStringLiteral("Address"));
    m_address->setAccessibleName(QStringLiteral("Address"));
    m_address->setGeometry(62, 40, 32, 22);
    m_data = new QLineEdit(group);
    m_data->setObjectName(QStringLiteral("Data"));
    m_data->setAccessibleName(QStringLiteral("Data"));
    m_data->setGeometry(100, 40, 50, 22);
    m_writeReg = new QPushButton(QStringLiteral("Write"), group);
    m_writeReg->setObjectName(QStringLiteral("WriteRegCommand"));
    m_writeReg->setGeometry(156, 38, 48, 26);
    HexInput::attach(m_address, 2);
    HexInput::attach(m_data);
}

void Form1::setupDebugPage(QWidget *frame)
{
    const char *const rows[3][3] = {
        {"Show PLL Jitter", "ShowJitterCheckButton", "Text1"},
        {"Minimized Jitter", "MinimizedJitterCheckButton", "Text2"},
        {"Auto Sync Detect", "AutoSyncCheckButton", "Text3"},
    };
    for (int i = 0; i < 3; ++i) {
        auto *check = new QCheckBox(QString::fromLatin1(rows[i][0]), frame);
        check->setObjectName(QString::fromLatin1(rows[i][1]));
        check->setGeometry(16, 16 + 32 * i, 140, 22);
        auto *text = new QLineEdit(frame);
        text->setObjectName(QString::fromLatin1(rows[i][2]));
        text->setGeometry(160, 16 + 32 * i, 120, 22);
    }
}

// The window's own board command, in front of the pages on every page.
void Form1::setupCommands(QWidget *central)
{
    m_readAllButton = new QPushButton(QStringLiteral("Read All Registers"), central);
    m_readAllButton->setObjectName(QStringLiteral("ReadAllRegisters"));
    m_readAllButton->setGeometry(12, 318, 120, 26);
    m_progress = new ProgressBar(central);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setGeometry(12, 350, 120, 20);
}

void Form1::createControllers()
{
    m_link = std::make_unique<BoardLink>(m_platform.port, m_platform.clock, m_platform.messages,
                                         [this] { return selectedPort(); });
    m_commands = std::make_unique<BoardCommands>(*m_link);
    m_lock = new CommandLock(m_writeReg, m_readReg, m_readAllButton, m_videoModeInput, this);
    m_boxes = new RegisterBoxes(m_userFrame, m_testFrame, *m_link, *m_commands, *m_lock, this);
    m_sliders = new FieldSliders(*m_boxes, *m_lock, this);
    m_readAll = new ReadAll(*m_boxes, *m_link, *m_commands, *m_lock, this);
    new InputHold(centralWidget(), *m_lock, this);
    m_singleRegister = new SingleRegister(m_address, m_data, *m_boxes, *m_link, *m_commands, *m_lock,
                                          m_platform.messages, this);
    m_registerFiles = new RegisterFiles(*m_boxes, *m_link, *m_lock, m_platform.fileDialog, m_platform.messages, this);
    m_tools = new ToolsMenu(menuBar(), this,
                            {*m_boxes, *m_sliders, *m_link, *m_commands, *m_lock, *m_registerFiles,
                             m_platform.fileDialog, m_platform.messages});
}

void Form1::connectActions()
{
    connect(m_videoModeInput, &QAction::triggered, this, [this] { bringUp(&videoMode()); });
    connect(m_about, &QAction::triggered, this, &Form1::showAboutBox);
    connect(m_exit, &QAction::triggered, this, &Form1::nMenuFileExit_Click);
    for (int i = FirstPort; i <= LastPort; ++i)
        connect(COM_SEL(i), &QAction::triggered, this, [this, i] { COM_SEL_Click(i); });
    connect(m_disconnect, &QAction::triggered, this, &Form1::mDisconnectSerial_Click);

    connect(m_readAllButton, &QPushButton::clicked, this, [this] {
        if (!m_lock->busy())
            m_readAll->Read_All_Registers();
    });
    connect(m_readAll, &ReadAll::progress, m_progress, &ProgressBar::setPercent);
    connect(m_readAll, &ReadAll::filled, m_sliders, &FieldSliders::followBoxesQuietly);
    connect(m_readAll, &ReadAll::status, this, &Form1::showStatus);
    connect(m_readReg, &QPushButton::clicked, m_singleRegister, &SingleRegister::ReadRegCommand_Click);
    connect(m_writeReg, &QPushButton::clicked, m_singleRegister, &SingleRegister::WriteRegCommand_Click);
    connect(m_singleRegister, &SingleRegister::status, this, &Form1::showStatus);

    connect(m_saveRegisters, &QAction::triggered, m_registerFiles, &RegisterFiles::nFileSaveRegisterAs_Click);
    connect(m_loadRegisters, &QAction::triggered, m_registerFiles, &RegisterFiles::nFileLoadRegisterFrom_Click);
    connect(m_registerFiles, &RegisterFiles::progress, m_progress, &ProgressBar::setPercent);
    connect(m_registerFiles, &RegisterFiles::status, this, &Form1::showStatus);
    connect(m_registerFiles, &RegisterFiles::print, m_printed, &PrintedText::print);
    connect(m_tools, &ToolsMenu::progress, m_progress, &ProgressBar::setPercent);
    connect(m_tools, &ToolsMenu::status, this, &Form1::showStatus);
}

bool Form1::Form_Load()
{
    if (m_platform.instance.anotherCopyRunning()) {
        m_platform.messages.show(QStringLiteral("Another copy of the Application is running.\r\n"
                                                "Please close all previous instance of the "
                                                "application and restart"),
                                 MessageBoxes::programTitle(), MessageBoxes::Icon::Exclamation);
        m_platform.end.endProgram();
        return false;
    }
    videoMode().Option(2)->setChecked(true);
    for (const int page : {TestPage, DebugPage}) {
        m_tabs->setTabVisible(page, false);
        m_tabs->setTabEnabled(page, false);
    }
    m_boxes->ReadingAllRegisters = false;
    LoadDefaults();
    return true;
}

int Form1::selectedPort() const
{
    int port = 0;
    for (int i = FirstPort; i <= LastPort; ++i) {
        if (COM_SEL(i)->isChecked())
            port = i;
    }
    return port;
}

void Form1::setCheckedPort(int port)
{
    for (int i = FirstPort; i <= LastPort; ++i)
        COM_SEL(i)->setChecked(i == port);
}

void Form1::LoadDefaults()
{
    const SettingsFile::Loaded loaded = SettingsFile::load();
    setCheckedPort(loaded.missing ? FirstPort : loaded.port);
    if (loaded.missing)
        SaveDefaults();
}

void Form1::SaveDefaults()
{
    QString error;
    if (!SettingsFile::save(selectedPort(), &error))
        m_platform.messages.show(error);
}

void Form1::COM_SEL_Click(int index)
{
    // An open port stays as it is; the choice counts from the next connect.
    setCheckedPort(index);
    m_link->portChosen();
    SaveDefaults();
}

void Form1::showStatus(const QString &text)
{
    statusBar()->showMessage(text);
}

void Form1::mDisconnectSerial_Click()
{
    m_link->disconnect();
}

void Form1::nMenuFileExit_Click()
{
    m_link->disconnect();
    Unload_All_Forms();
    m_platform.end.endProgram();
}

void Form1::Unload_All_Forms()
{
    m_unloading = true;
    close();
    if (m_videoMode && !m_videoMode->discarded())
        m_videoMode->close();
    if (m_aboutBox && !m_aboutBox->discarded())
        m_aboutBox->close();
}

VideoMode &Form1::videoMode()
{
    if (!m_videoMode || m_videoMode->discarded()) {
        m_videoMode = new VideoMode(*m_link, *m_commands, *m_lock, *m_readAll, this);
        connect(m_videoMode, &VideoMode::status, this, &Form1::showStatus);
    }
    return *m_videoMode;
}

void Form1::showAboutBox()
{
    if (!m_aboutBox || m_aboutBox->discarded()) {
        m_aboutBox = new frmAbout(m_platform.registry, m_platform.launcher, m_platform.messages, this);
    }
    bringUp(m_aboutBox);
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_unloading)
        return;
    Unload_All_Forms();
    m_platform.end.endProgram();
}
