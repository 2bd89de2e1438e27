#include "form1.h"

#include "portmenu.h"
#include "printedtext.h"
#include "progressbar.h"
#include "registerpages.h"
#include "statusline.h"
#include "about/frmabout.h"
#include "commands/commandlock.h"
#include "commands/inputhold.h"
#include "files/registerfiles.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "modes/modecommand.h"
#include "modes/videomode.h"
#include "platform/messageboxes.h"
#include "platform/programend.h"
#include "platform/singleinstance.h"
#include "registers/readall.h"
#include "registers/registerboxes.h"
#include "registers/registerengine.h"
#include "registers/singleregister.h"
#include "sliders/fieldsliders.h"
#include "tools/toolsmenu.h"
#include "widgets/bringup.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace {

constexpr int ClientWidth = 477;
constexpr int ClientHeight = 420;

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
    m_ports = new PortMenu(options, m_platform.devices, m_platform.deviceChooser, m_platform.messages, this);
    m_disconnect = menuItem(options, QStringLiteral("&Disconnect Serial Port"), QStringLiteral("mDisconnectSerial"));
}

void Form1::setupPages()
{
    auto *central = new QWidget(this);
    central->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(central);
    m_pages = new RegisterPages(central->size(), central);
    // The window's own board command, in front of the pages on every page.
    m_readAllButton = new QPushButton(QStringLiteral("Read All Registers"), central);
    m_readAllButton->setObjectName(QStringLiteral("ReadAllRegisters"));
    m_readAllButton->setGeometry(12, 318, 120, 26);
    m_progress = new ProgressBar(central);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setGeometry(12, 350, 120, 20);
    m_printed = new PrintedText(central);
    // A label of its own: a menu's status tip shows over it for a moment,
    // and the last command's outcome comes back.
    m_statusLine = new StatusLine(this);
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->addWidget(m_statusLine, 1);
    // Shown only while a long command runs, in the status bar: nothing on
    // the pages moves or is covered.
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelCommand"));
    m_cancelButton->hide();
    statusBar()->addPermanentWidget(m_cancelButton);
    // Esc does this only while there is something to cancel; otherwise it
    // reaches what it reached before.
    m_cancelKey = new QAction(this);
    m_cancelKey->setObjectName(QStringLiteral("CancelKey"));
    m_cancelKey->setShortcut(QKeySequence(Qt::Key_Escape));
    m_cancelKey->setEnabled(false);
    addAction(m_cancelKey);
}

void Form1::createControllers()
{
    m_link = std::make_unique<BoardLink>(m_platform.port, m_platform.clock, m_platform.messages);
    m_commands = std::make_unique<BoardCommands>(*m_link);
    m_engine = std::make_unique<RegisterEngine>(*m_commands);
    m_lock = new CommandLock(this);
    m_boxes = new RegisterBoxes(m_pages->userFrame(), m_pages->testFrame(), *m_link, *m_commands, *m_lock, this);
    m_sliders = new FieldSliders(*m_boxes, *m_lock, this);
    m_readAll = new ReadAll(*m_boxes, *m_link, *m_engine, *m_lock, this);
    m_inputHold = new InputHold(centralWidget(), *m_lock, this);
    m_singleRegister = new SingleRegister(m_pages->userFrame(), *m_boxes, *m_link, *m_commands, *m_lock,
                                          m_platform.messages, this);
    m_modeCommand = new ModeCommand(*m_link, *m_commands, *m_lock, *m_readAll, this);
    m_registerFiles = new RegisterFiles(*m_boxes, *m_link, *m_lock, m_platform.fileDialog, m_platform.messages, this);
    m_tools = new ToolsMenu(menuBar(), this,
                            {*m_boxes, *m_link, *m_commands, *m_engine, *m_lock, *m_registerFiles,
                             m_platform.fileDialog, m_platform.messages});
}

void Form1::connectActions()
{
    connect(m_videoModeInput, &QAction::triggered, this, [this] { bringUp(&videoMode()); });
    connect(m_about, &QAction::triggered, this, &Form1::showAboutBox);
    connect(m_exit, &QAction::triggered, this, &Form1::nMenuFileExit_Click);
    connect(m_ports, &PortMenu::portChosen, this, [this](int number) { m_link->setPort(number); });
    connect(m_disconnect, &QAction::triggered, this, &Form1::mDisconnectSerial_Click);

    // The board commands, disabled and enabled in this order.
    connect(m_lock, &CommandLock::commandsEnabled, m_singleRegister->WriteRegCommand(), &QWidget::setEnabled);
    connect(m_lock, &CommandLock::commandsEnabled, m_singleRegister->ReadRegCommand(), &QWidget::setEnabled);
    connect(m_lock, &CommandLock::commandsEnabled, m_readAllButton, &QWidget::setEnabled);
    connect(m_lock, &CommandLock::commandsEnabled, m_videoModeInput, &QAction::setEnabled);
    connect(m_lock, &CommandLock::idle, m_inputHold, &InputHold::replay, Qt::QueuedConnection);
    connect(m_lock, &CommandLock::refused, this, &Form1::showStatus);
    connect(m_lock, &CommandLock::cancellable, m_cancelButton, &QWidget::setVisible);
    connect(m_lock, &CommandLock::cancellable, m_cancelKey, &QAction::setEnabled);
    connect(m_cancelButton, &QPushButton::clicked, m_lock, &CommandLock::cancel);
    connect(m_cancelKey, &QAction::triggered, m_lock, &CommandLock::cancel);
    connect(m_boxes, &RegisterBoxes::changeHandled, m_sliders, &FieldSliders::updateFromBoxes);
    connect(m_boxes, &RegisterBoxes::filled, m_sliders, &FieldSliders::followBoxesQuietly);

    connect(m_readAllButton, &QPushButton::clicked, m_readAll, &ReadAll::ReadAllRegisters_Click);
    connect(m_readAll, &ReadAll::progress, m_progress, &ProgressBar::setPercent);
    connect(m_readAll, &ReadAll::status, this, &Form1::showStatus);
    connect(m_singleRegister, &SingleRegister::status, this, &Form1::showStatus);
    connect(m_modeCommand, &ModeCommand::status, this, &Form1::showStatus);

    connect(m_saveRegisters, &QAction::triggered, m_registerFiles, &RegisterFiles::nFileSaveRegisterAs_Click);
    connect(m_loadRegisters, &QAction::triggered, m_registerFiles, &RegisterFiles::nFileLoadRegisterFrom_Click);
    connect(m_registerFiles, &RegisterFiles::progress, m_progress, &ProgressBar::setPercent);
    connect(m_registerFiles, &RegisterFiles::status, this, &Form1::showStatus);
    connect(m_registerFiles, &RegisterFiles::print, m_printed, &PrintedText::print);
    connect(m_tools, &ToolsMenu::progress, m_progress, &ProgressBar::setPercent);
    connect(m_tools, &ToolsMenu::status, this, &Form1::showStatus);
    connect(m_tools, &ToolsMenu::testRegistersShown, m_pages, &RegisterPages::showTestPage);
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
    m_pages->hideTestAndDebugPages();
    m_boxes->setReadingAllRegisters(false);
    m_ports->LoadDefaults();
    return true;
}

void Form1::showStatus(const QString &text)
{
    // A port that did not open or a silent board, while an adapter sits
    // elsewhere: say where, and how to choose it.
    const QString hint = m_link->isDown() ? m_ports->adapterHint() : QString();
    m_statusLine->setStatus(hint.isEmpty() ? text : text + QLatin1Char(' ') + hint);
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

void Form1::endAfterCommand()
{
    m_link->whenNoCommand([this] { nMenuFileExit_Click(); });
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
    if (!m_videoMode || m_videoMode->discarded())
        m_videoMode = new VideoMode(*m_modeCommand, this);
    return *m_videoMode;
}

void Form1::showAboutBox()
{
    if (!m_aboutBox || m_aboutBox->discarded())
        m_aboutBox = new frmAbout(m_platform.registry, m_platform.launcher, m_platform.messages, this);
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
