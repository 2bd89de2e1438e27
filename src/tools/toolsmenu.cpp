#include "toolsmenu.h"

#include "boardconsole.h"
#include "comparefile.h"
#include "linklog.h"
#include "quickload.h"
#include "registerwatch.h"
#include "scriptrecorder.h"
#include "sliders/fieldsliders.h"
#include "widgets/bringup.h"

#include <QMenuBar>

ToolsMenu::ToolsMenu(QMenuBar *menuBar, QWidget *window, const Parts &parts)
    : QObject(window)
    , m_window(window)
    , m_parts(parts)
{
    m_menu = menuBar->addMenu(tr("&Tools"));
    m_menu->setObjectName(QStringLiteral("mTools"));
    m_quickLoad = new QuickLoad(parts.boxes, parts.link, parts.engine, parts.lock, parts.files, parts.messages, this);
    connect(m_quickLoad, &QuickLoad::progress, this, &ToolsMenu::progress);
    connect(m_quickLoad, &QuickLoad::status, this, &ToolsMenu::status);

    connect(addItem(tr("&Link Log"), QStringLiteral("mLinkLog")), &QAction::triggered, this,
            [this] { bringUp(&linkLog()); });
    connect(addItem(tr("&Compare With File..."), QStringLiteral("mCompareWithFile")), &QAction::triggered, this,
            [this] { compareFile().run(); });
    connect(addItem(tr("&Quick Load..."), QStringLiteral("mQuickLoad")), &QAction::triggered, m_quickLoad,
            &QuickLoad::run);
    connect(addItem(tr("&Watch Registers..."), QStringLiteral("mWatchRegisters")), &QAction::triggered, this,
            [this] { bringUp(&registerWatch()); });

    m_recorder = new ScriptRecorder(parts.link, parts.commands, parts.lock, parts.dialog, parts.messages, this);
    connect(m_recorder, &ScriptRecorder::status, this, &ToolsMenu::status);
    QAction *record = addItem(tr("&Record Script..."), QStringLiteral("mRecordScript"));
    record->setCheckable(true);
    // Checked while recording: a stop that saved nothing leaves it checked.
    connect(record, &QAction::triggered, this, [this, record] {
        if (m_recorder->isOn())
            m_recorder->stop();
        else
            m_recorder->start();
        record->setChecked(m_recorder->isOn());
    });
    QAction *testPage = addItem(tr("&Test Registers"), QStringLiteral("mTestRegisters"));
    testPage->setCheckable(true);
    connect(testPage, &QAction::toggled, this, &ToolsMenu::testRegistersShown);
    connect(addItem(tr("&Board Console..."), QStringLiteral("mBoardConsole")), &QAction::triggered, this,
            [this] { bringUp(&boardConsole()); });
}

QAction *ToolsMenu::addItem(const QString &caption, const QString &name)
{
    QAction *action = m_menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

LinkLog &ToolsMenu::linkLog()
{
    if (!m_linkLog)
        m_linkLog = new LinkLog(m_parts.link, m_parts.dialog, m_parts.messages, m_window);
    return *m_linkLog;
}

CompareFile &ToolsMenu::compareFile()
{
    if (!m_compareFile) {
        m_compareFile = new CompareFile(m_parts.boxes, m_parts.link, m_parts.engine, m_parts.lock, m_parts.files,
                                        m_window);
        connect(m_compareFile, &CompareFile::progress, this, &ToolsMenu::progress);
        connect(m_compareFile, &CompareFile::status, this, &ToolsMenu::status);
    }
    return *m_compareFile;
}

RegisterWatch &ToolsMenu::registerWatch()
{
    if (!m_registerWatch) {
        m_registerWatch = new RegisterWatch(m_parts.boxes, m_parts.link, m_parts.engine, m_parts.lock, m_window);
        connect(m_registerWatch, &RegisterWatch::status, this, &ToolsMenu::status);
    }
    return *m_registerWatch;
}

BoardConsole &ToolsMenu::boardConsole()
{
    if (!m_boardConsole)
        m_boardConsole = new BoardConsole(m_parts.link, m_parts.commands, m_parts.lock, m_window);
    return *m_boardConsole;
}
