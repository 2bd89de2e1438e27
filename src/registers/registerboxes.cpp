#include "registerboxes.h"

#include "hexinput.h"
#include "commands/commandlock.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "link/hex.h"

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int RowTop = 6;
constexpr int RowHeight = 17;
constexpr int BoxHeight = 16;
constexpr int Gap = 3;
constexpr int ColumnSpacing = 8;
constexpr int SliderWidth = 44;
constexpr int NarrowBox = 22;
constexpr int WideBox = 30;

// Boxes without a length limit are wider: they may hold more than two digits.
int boxWidth(const RegisterMap::Register &r)
{
    return r.maxLength == 0 ? WideBox : NarrowBox;
}

} // namespace

RegisterBoxes::RegisterBoxes(QWidget *userFrame, QWidget *testFrame, BoardLink &link, BoardCommands &commands,
                             CommandLock &lock, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
{
    buildPage(userFrame, RegisterMap::Page::User);
    buildPage(testFrame, RegisterMap::Page::Test);
}

void RegisterBoxes::buildPage(QWidget *frame, RegisterMap::Page page)
{
    QList<int> left;
    QList<int> right;
    for (const RegisterMap::Register &r : RegisterMap::registers()) {
        if (r.page == page)
            (r.column == RegisterMap::Column::Left ? left : right).append(r.address);
    }
    const int leftEnd = buildColumn(frame, left, Gap, false);
    buildColumn(frame, right, leftEnd + ColumnSpacing, true);
}

// Lays out one column top to bottom: each box just right of its caption's
// end, each slider from its box to the column's end. The last column reaches
// to the frame's edge. Returns the column's right edge.
int RegisterBoxes::buildColumn(QWidget *frame, const QList<int> &addresses, int left, bool last)
{
    const QFontMetrics metrics(frame->font());
    auto captionWidth = [&metrics](const RegisterMap::Register &r) {
        return metrics.horizontalAdvance(QString::fromLatin1(r.caption)) + 2;
    };
    int right = frame->width() - Gap;
    if (!last) {
        right = left;
        for (const int a : addresses) {
            const RegisterMap::Register &r = RegisterMap::at(a);
            right = qMax(right, left + captionWidth(r) + Gap + WideBox + (r.slider ? Gap + SliderWidth : 0));
        }
    }
    int y = RowTop;
    for (const int a : addresses) {
        const RegisterMap::Register &r = RegisterMap::at(a);
        auto *label = new QLabel(QString::fromLatin1(r.caption), frame);
        label->setGeometry(left, y, captionWidth(r), BoxHeight);
        const int boxLeft = left + captionWidth(r) + Gap;
        auto *box = new QLineEdit(QString::fromLatin1(r.initialText), frame);
        box->setObjectName(QStringLiteral("reg_KV7103_%1").arg(a));
        box->setGeometry(boxLeft, y, boxWidth(r), BoxHeight);
        box->setEnabled(r.enabled);
        label->setBuddy(box);
        HexInput::attach(box, r.maxLength);
        const int sliderLeft = boxLeft + boxWidth(r) + Gap;
        m_sliderGeometry.at(size_t(a)) = QRect(sliderLeft, y, right - sliderLeft, BoxHeight);
        m_labels.at(size_t(a)) = label;
        m_boxes.at(size_t(a)) = box;
        connect(box, &QLineEdit::textChanged, this, [this, a] { reg_KV7103_Change(a); });
        y += RowHeight;
    }
    return right;
}

QString RegisterBoxes::text(int address) const
{
    return reg_KV7103(address)->text();
}

bool RegisterBoxes::setText(int address, const QString &text)
{
    QLineEdit *box = reg_KV7103(address);
    // Giving a box the text it already holds is no change: its change handling
    // does not run, so the register is not written again. This is what ends
    // the loop between the boxes and the sliders.
    if (box->text() == text)
        return true;
    m_confirmed.at(size_t(address)) = true;
    HexInput::setProgramText(box, text);
    return m_confirmed.at(size_t(address));
}

bool RegisterBoxes::reg_KV7103_Change(int address)
{
    if (m_readingAllRegisters)
        return true;
    const CommandLock::Exchange exchange(m_lock, tr("a write of register %1").arg(Hex_Digits(address, 2)));
    // A port that does not open: nothing is written, but the sliders still
    // follow the boxes.
    const bool connected = m_link.connectOrReport();
    const QString text = reg_KV7103(address)->text();
    m_confirmed.at(size_t(address)) = true; // an empty box writes nothing
    if (!text.isEmpty()) {
        const std::optional<quint8> value = RegisterMap::textToByte(text);
        const bool written = value && connected && m_commands.Write_KV7106(address, *value);
        setMark(address, !value ? Mark::NotAByte : written ? Mark::None : Mark::NotWritten);
        m_confirmed.at(size_t(address)) = written;
    }
    // A slider echo may write the register again, nested in here: its outcome counts.
    emit changeHandled();
    return m_confirmed.at(size_t(address));
}

void RegisterBoxes::setMark(int address, Mark mark)
{
    QLineEdit *box = reg_KV7103(address);
    m_marks.at(size_t(address)) = mark;
    switch (mark) {
    case Mark::None:
        box->setStyleSheet(QString());
        box->setToolTip(QString());
        break;
    case Mark::NotAByte:
        box->setStyleSheet(QStringLiteral("QLineEdit { color: red; }"));
        box->setToolTip(tr("Not written to the chip: %1 is not a byte (00 to FF).").arg(box->text()));
        break;
    case Mark::NotWritten:
        box->setStyleSheet(QStringLiteral("QLineEdit { background: #ffc8a0; }"));
        box->setToolTip(tr("Not written: the board did not answer."));
        break;
    case Mark::NotRead:
        box->setStyleSheet(QStringLiteral("QLineEdit { background: #ffc8a0; }"));
        box->setToolTip(tr("Not read: the board did not answer; the box shows what it held before."));
        break;
    }
}

void RegisterBoxes::markNotLoaded(int address, quint8 wrote)
{
    setMark(address, Mark::NotWritten);
    reg_KV7103(address)->setToolTip(
        tr("Not loaded: wrote %1, the board holds %2").arg(Hex_Digits(wrote, 2), text(address)));
}

RegisterMap::Values RegisterBoxes::readValues() const
{
    RegisterMap::Values values;
    for (int address = 0; address < RegisterMap::Count; ++address) {
        const std::optional<quint8> value = RegisterMap::textToByte(text(address));
        if (mark(address) != Mark::NotRead && value)
            values[address] = *value;
    }
    return values;
}

RegisterBoxes::Filling::Filling(RegisterBoxes &boxes, Follow follow)
    : m_boxes(boxes)
    , m_follow(follow)
{
    m_boxes.setReadingAllRegisters(true);
}

RegisterBoxes::Filling::~Filling()
{
    if (m_changed || m_follow == Follow::Always)
        emit m_boxes.filled();
    m_boxes.setReadingAllRegisters(false);
}

bool RegisterBoxes::Filling::show(const RegisterEngine::Block &block, int address)
{
    const bool changed = block.read && m_boxes.text(address) != block.textOf(address);
    if (block.read)
        m_boxes.setText(address, block.textOf(address));
    m_boxes.setMark(address, block.read ? Mark::None : Mark::NotRead);
    m_changed = m_changed || changed;
    return changed;
}

void RegisterBoxes::Filling::show(const RegisterEngine::Block &block)
{
    for (int address = block.run.first; address < block.run.first + block.run.length; ++address)
        show(block, address);
}
