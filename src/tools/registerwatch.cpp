#include "registerwatch.h"

#include "link/boardlink.h"
#include "link/hex.h"
#include "commands/commandlock.h"
#include "registers/registerboxes.h"
#include "registers/registerengine.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>

namespace {

// Two-digit addresses separated by blanks or commas; nothing when one is no
// register address.
std::optional<QList<int>> parseAddresses(const QString &text)
{
    QList<int> addresses;
    for (const QString &word : text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)) {
        const std::optional<int> address = hexNumber(word, RegisterMap::Count - 1);
        if (!address)
            return std::nullopt;
        if (!addresses.contains(*address))
            addresses.append(*address);
    }
    if (addresses.isEmpty())
        return std::nullopt;
    return addresses;
}

} // namespace

// One turn's reads, one register at a time, each into its box as it comes;
// the first the board does not answer ends the turn.
class RegisterWatch::Turn : public RegisterEngine::Steps
{
public:
    explicit Turn(RegisterBoxes &boxes)
        : m_filling(boxes, RegisterBoxes::Filling::Follow::WhenChanged)
    {}

    bool next(const RegisterEngine::Run &) override { return !failed; }
    void read(const RegisterEngine::Block &block) override
    {
        failed = !block.read;
        if (!failed && m_filling.show(block, block.run.first))
            changed.append(block.run.first);
    }

    bool failed = false;
    QList<int> changed;

private:
    RegisterBoxes::Filling m_filling;
};

RegisterWatch::RegisterWatch(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock,
                             QWidget *parent)
    : QDialog(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_engine(engine)
    , m_lock(lock)
    , m_registers(new QLineEdit(QStringLiteral("01 02"), this))
    , m_interval(new QSpinBox(this))
    , m_watch(new QPushButton(tr("&Watch"), this))
    , m_note(new QLabel(this))
    , m_timer(new QTimer(this))
{
    setWindowTitle(tr("Watch Registers"));
    m_registers->setObjectName(QStringLiteral("watchedRegisters"));
    m_interval->setObjectName(QStringLiteral("watchInterval"));
    m_interval->setRange(1, 3600);
    m_interval->setSuffix(tr(" s"));
    m_watch->setObjectName(QStringLiteral("watchButton"));
    m_watch->setCheckable(true);
    m_note->setObjectName(QStringLiteral("watchNote"));
    m_note->setWordWrap(true);
    auto *layout = new QFormLayout(this);
    layout->addRow(tr("&Registers (hex):"), m_registers);
    layout->addRow(tr("&Interval:"), m_interval);
    layout->addRow(m_watch);
    layout->addRow(m_note);
    // The dialog takes the size its note needs, so that no line is cut off.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_watch, &QPushButton::toggled, this, &RegisterWatch::toggled);
    connect(m_timer, &QTimer::timeout, this, &RegisterWatch::readNow);
}

bool RegisterWatch::isOn() const
{
    return m_watch->isChecked();
}

void RegisterWatch::setOn(bool on)
{
    m_watch->setChecked(on);
}

void RegisterWatch::toggled(bool on)
{
    m_registers->setEnabled(!on);
    m_interval->setEnabled(!on);
    if (!on) {
        m_timer->stop();
        return;
    }
    const std::optional<QList<int>> addresses = parseAddresses(m_registers->text());
    if (!addresses) {
        m_note->setText(tr("Give register addresses 00 to 3F, separated by blanks."));
        setOn(false);
        return;
    }
    m_note->clear();
    m_addresses = *addresses;
    m_timer->start(m_interval->value() * 1000);
}

void RegisterWatch::readNow()
{
    // A command or a box change at work has the link: wait for the next turn.
    if (!isOn() || m_lock.busy())
        return;
    const CommandLock::Exchange exchange(m_lock, tr("Watch Registers"));
    if (!m_link.Connect_Board()) {
        stop(tr("Watch Registers stopped: the serial port did not open."));
        return;
    }
    QList<int> changed;
    {
        Turn turn(m_boxes);
        m_engine.read(RegisterEngine::runs(m_addresses, 1), RegisterEngine::One::Command, turn);
        if (turn.failed) {
            stop(tr("Watch Registers stopped: the board did not answer."));
            return;
        }
        changed = turn.changed;
    }
    for (const int address : changed)
        highlight(address);
}

void RegisterWatch::stop(const QString &why)
{
    setOn(false);
    m_note->setText(why);
    emit status(why);
}

void RegisterWatch::highlight(int address)
{
    QWidget *box = m_boxes.reg_KV7103(address);
    box->setStyleSheet(QStringLiteral("QLineEdit { background: #fff59d; }"));
    QTimer::singleShot(HighlightTime, box, [this, address] { m_boxes.setMark(address, m_boxes.mark(address)); });
}

void RegisterWatch::hideEvent(QHideEvent *event)
{
    // Nothing watches the board behind the user's back.
    setOn(false);
    QDialog::hideEvent(event);
}
