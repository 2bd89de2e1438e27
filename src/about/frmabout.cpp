#include "frmabout.h"

#include "widgets/twips.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int ClientWidth = 5730;
constexpr int ClientHeight = 3510;
constexpr QSize PictureSize(76, 69);

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const TwipRect &place)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(QLatin1String(name));
    result->setGeometry(place.pixels());
    return result;
}

} // namespace

frmAbout::frmAbout(Registry &registry, ProgramLauncher &launcher, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , m_sysInfo(registry, launcher, messages)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About KV7105EVKit"));
    setFont(layoutFont(font()));
    setFixedSize(twips(ClientWidth), twips(ClientHeight));

    // Enter and Escape both press OK.
    QPushButton *ok = button(this, "cmdOK", QStringLiteral("OK"), {4245, 2625, 1260, 345});
    ok->setDefault(true);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setGeometry(TwipRect{240, 240, 1200, 1095}.pixels());
    picture->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(QPixmap(QStringLiteral(":/kv71xx/logo.png"))
                           .scaled(PictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QPushButton *sysInfo = button(this, "cmdSysInfo", QStringLiteral("&System Info..."), {4260, 3075, 1245, 345});
    QLabel *description = placedLabel(this, "lblDescription",
                                      QStringLiteral("Evaluation software for Velmora's KV7101, KV7102, "
                                                     "KV7103, KV7104, and KV7105 family of video analog "
                                                     "front ends"),
                                      {240, 1560, 4965, 570});
    description->setWordWrap(true);
    QPalette black = description->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    description->setPalette(black);
    // The title's box is made for a larger font than the rest.
    QLabel *title = placedLabel(this, "KV7", QStringLiteral("KV71xx Evaluation Software "), {1560, 240, 3885, 345});
    QFont titleFont = title->font();
    titleFont.setPixelSize(16);
    title->setFont(titleFont);
    placedLabel(this, "lblVersion", QStringLiteral("Version 1.2  November 20, 2003"), {1560, 600, 3885, 225});
    setTabOrder(ok, sysInfo);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    // OK, Escape, the title bar and shutdown all end here.
    connect(this, &QDialog::finished, this, &frmAbout::discard);
}

void frmAbout::cmdSysInfo_Click()
{
    m_sysInfo.StartSysInfo();
}

void frmAbout::discard()
{
    m_discarded = true;
    deleteLater();
}

// Line1, an etched separator: a grey line with a white one below it.
void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(twips(90), twips(2445)), QPoint(twips(5654), twips(2445))), QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(twips(105), twips(2460)), QPoint(twips(5654), twips(2460) + 1)), Qt::white);
}
