#include "registerwatch.h"

#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "commands/commandlock.h"
#include "registers/registerboxes.h"

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

RegisterWatch::RegisterWatch(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock,
                             QWidget *parent)
    : QDialog(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
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
    for (const int address : std::as_const(m_addresses)) {
        const QString value = m_commands.Read_KV7106(address);
        if (!m_commands.confirmed()) {
            stop(tr("Watch Registers stopped: the board did not answer."));
            return;
        }
        m_boxes.setMark(address, RegisterBoxes::Mark::None);
        if (m_boxes.text(address) != value)
            changed.append(address);
        m_boxes.setReadingAllRegisters(true);
        m_boxes.setText(address, value);
        m_boxes.setReadingAllRegisters(false);
    }
    if (changed.isEmpty())
        return;
    m_boxes.setReadingAllRegisters(true);
    emit filled();
    m_boxes.setReadingAllRegisters(false);
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
