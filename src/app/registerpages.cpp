#include "registerpages.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int TestPage = 1;
constexpr int DebugPage = 2;

} // namespace

RegisterPages::RegisterPages(const QSize &size, QWidget *parent)
    : QTabWidget(parent)
{
    setObjectName(QStringLiteral("SSTab1"));
    setGeometry(QRect(QPoint(), size));
    m_userFrame = addPage(QStringLiteral("User Registers"), QStringLiteral("Frame5"));
    m_testFrame = addPage(QStringLiteral("Test Registers"), QStringLiteral("Frame1"));
    setupDebugPage(addPage(QStringLiteral("Debug"), QStringLiteral("Frame2")));
    addLogo();
}

QWidget *RegisterPages::addPage(const QString &caption, const QString &frameName)
{
    auto *page = new QWidget;
    addTab(page, caption);
    auto *frame = new QFrame(page);
    frame->setObjectName(frameName);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(2, 2, width() - 10, height() - 32);
    // A compact font: a page holds up to 18 register rows in two columns.
    QFont compact = frame->font();
    compact.setPixelSize(10);
    frame->setFont(compact);
    return frame;
}

void RegisterPages::addLogo()
{
    auto *logo = new QLabel(m_userFrame);
    logo->setObjectName(QStringLiteral("Picture1"));
    logo->setFrameShape(QFrame::Box);
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(QPixmap(QStringLiteral(":/kv71xx/logo.png")));
    logo->setGeometry(m_userFrame->width() - 93, 287, 83, 83);
}

void RegisterPages::setupDebugPage(QWidget *frame)
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

void RegisterPages::hideTestAndDebugPages()
{
    showTestPage(false);
    setTabVisible(DebugPage, false);
    setTabEnabled(DebugPage, false);
}

void RegisterPages::showTestPage(bool shown)
{
    setTabVisible(TestPage, shown);
    setTabEnabled(TestPage, shown);
}
