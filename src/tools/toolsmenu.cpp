#include "toolsmenu.h"

#include "comparefile.h"
#include "linklog.h"
#include "quickload.h"
#include "registerwatch.h"
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
