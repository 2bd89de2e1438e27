#include "videomode.h"

#include "modecommand.h"
#include "widgets/twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

constexpr int ClientWidth = 6600;
constexpr int ClientHeight = 3660;
constexpr TwipRect FramePlace = {0, 30, 6405, 3075};
constexpr int ButtonWidth = 1455;
constexpr int ButtonHeight = 375;

// Inside the frame, by option number.
constexpr std::array<TwipRect, Presets::Count> OptionPlaces = {{
    {1800, 570, 2595, 255},
    {1800, 960, 1455, 195},
    {1800, 1170, 1395, 255},
    {3540, 960, 1875, 465},
    {1800, 1800, 1365, 255},
    {1800, 1410, 1485, 255},
    {1800, 2130, 1335, 255},
    {1800, 2460, 1605, 255},
}};

// Each resolution label names the group of the option at the head of its row.
struct GroupLabel
{
    const char *name;
    int option;
    TwipRect place;
};

constexpr std::array<GroupLabel, 5> GroupLabels = {{
    {"Label1", 1, {270, 570, 1455, 255}},
    {"Label2", 2, {270, 930, 1455, 255}},
    {"Label3", 5, {450, 1800, 1215, 255}},
    {"Label4", 7, {450, 2130, 1215, 255}},
    {"Label5", 8, {570, 2490, 1095, 255}},
}};

// A freshly built dialog selects the last mode.
constexpr int FirstSelected = Presets::Count;

// An option button does not wrap its caption: it is broken at the last blank
// that lets the first line fit, as the layout shows Option4 on two lines.
QString wrapped(const QString &caption, const QRadioButton &button, int width)
{
    const QStyle *style = button.style();
    const int room = width - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &button)
        - style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &button);
    const QFontMetrics metrics = button.fontMetrics();
    if (metrics.horizontalAdvance(caption) <= room)
        return caption;
    for (int blank = caption.lastIndexOf(QLatin1Char(' ')); blank > 0;
         blank = caption.lastIndexOf(QLatin1Char(' '), blank - 1)) {
        if (metrics.horizontalAdvance(caption.left(blank)) <= room)
            return caption.left(blank) + QLatin1Char('\n') + caption.mid(blank + 1);
    }
    return caption;
}

} // namespace

VideoMode::VideoMode(ModeCommand &command, QWidget *parent)
    : QWidget(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , m_command(command)
{
    setObjectName(QStringLiteral("VideoMode"));
    setWindowTitle(QStringLiteral("Input Video Mode Select"));
    setFont(layoutFont(font()));
    setFixedSize(twips(ClientWidth), twips(ClientHeight));
    // Tab order: OK, Cancel, then the options.
    QPushButton *ok = addButton(QStringLiteral("OK"), "OKButton", 3930, 3150);
    QPushButton *cancel = addButton(QStringLiteral("Cancel"), "CancelButton", 900, 3180);
    setupFrame();
    setTabOrder(ok, cancel);
    setTabOrder(cancel, Option(1));
    for (int number = 1; number < Presets::Count; ++number)
        setTabOrder(Option(number), Option(number + 1));
    Option(FirstSelected)->setChecked(true);
    connect(ok, &QPushButton::clicked, this, &VideoMode::OKButton_Click);
    connect(cancel, &QPushButton::clicked, this, &VideoMode::CancelButton_Click);
}

QPushButton *VideoMode::addButton(const QString &caption, const char *name, int left, int top)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(TwipRect{left, top, ButtonWidth, ButtonHeight}.pixels());
    return button;
}

void VideoMode::setupFrame()
{
    // All options lie in the one frame, which makes them one radio group.
    // The frame bears the window's title.
    auto *frame = new QGroupBox(windowTitle(), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(FramePlace.pixels());
    for (int i = 0; i < Presets::Count; ++i) {
        const Presets::Preset &preset = Presets::at(i);
        auto *option = new QRadioButton(frame);
        option->setObjectName(QLatin1String(preset.option));
        option->setGeometry(OptionPlaces.at(size_t(i)).pixels());
        option->setText(wrapped(QLatin1String(preset.caption), *option, option->width()));
        m_options.at(size_t(i)) = option;
    }
    for (const GroupLabel &group : GroupLabels)
        placedLabel(frame, group.name, QLatin1String(Presets::at(group.option - 1).group), group.place);
    placedLabel(frame, "Label6", QStringLiteral("Select the resolution of the input video:"), {150, 270, 5295, 255});
    placedLabel(frame, "Label7",
                QStringLiteral("This evaluation system does not have a scaler or automatic mode "
                               "detection.  This panel configures the AFE for the correct number of "
                               "horizontal pixels and optimizes the framing of the image for the "
                               "chosen display mode.  Refresh rates not listed will generally work up "
                               "to the 165MHz limit of DVI."),
                {3420, 1410, 2895, 1575})
        ->setWordWrap(true);
}

// The first selected of the first seven; the last mode is not looked at.
int VideoMode::selectedRow() const
{
    for (int i = 0; i < Presets::Count - 1; ++i) {
        if (m_options.at(size_t(i))->isChecked())
            return i;
    }
    return Presets::Count - 1;
}

void VideoMode::OKButton_Click()
{
    // A close meanwhile only hides the dialog, which goes when OK has ended.
    // An OK clicked again inside its own waits is refused, but counts here too.
    ++m_running;
    m_command.apply(Presets::at(selectedRow()), *this);
    if (--m_running == 0 && m_discarded)
        deleteLater();
}

void VideoMode::CancelButton_Click()
{
    hide();
}

void VideoMode::closeEvent(QCloseEvent *event)
{
    // A running OK still needs the dialog: it only hides then, and goes
    // when OK has ended.
    event->accept();
    m_discarded = true;
    if (m_running == 0)
        deleteLater();
}
