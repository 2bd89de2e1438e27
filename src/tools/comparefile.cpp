#include "comparefile.h"

#include "files/registerfile.h"
#include "files/registerfiles.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "commands/commandlock.h"
#include "registers/registerboxes.h"
#include "registers/registerengine.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget *table(QWidget *parent, const QString &name)
{
    auto *widget = new QTableWidget(0, 4, parent);
    widget->setObjectName(name);
    widget->setHorizontalHeaderLabels(
        {QObject::tr("Address"), QObject::tr("Caption"), QObject::tr("File"), QObject::tr("Chip")});
    widget->verticalHeader()->hide();
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    return widget;
}

void addRow(QTableWidget *widget, const QStringList &cells)
{
    const int row = widget->rowCount();
    widget->insertRow(row);
    for (int column = 0; column < cells.size(); ++column)
        widget->setItem(row, column, new QTableWidgetItem(cells.at(column)));
}

} // namespace

// Fills the boxes as the bursts come in; the bar, when there is one, moves
// after each burst. A cancel takes effect between two bursts.
class CompareFile::Fill : public RegisterEngine::Steps
{
public:
    Fill(RegisterBoxes &boxes, CommandLock &lock, CompareFile *showsProgress = nullptr)
        : m_filling(boxes)
        , m_lock(lock)
        , m_compare(showsProgress)
    {}

    bool next(const RegisterEngine::Run &) override
    {
        stopped = m_lock.cancelled();
        return !stopped;
    }
    void read(const RegisterEngine::Block &block) override
    {
        m_filling.show(block);
        registers += block.run.length;
        if (m_compare)
            emit m_compare->progress(registers * 100.0 / RegisterMap::Count);
    }

    bool stopped = false;
    int registers = 0;

private:
    RegisterBoxes::Filling m_filling;
    CommandLock &m_lock;
    CompareFile *m_compare;
};

// Counts the registers whose write the board confirmed.
class CompareFile::Confirmed : public RegisterEngine::Steps
{
public:
    void written(const RegisterEngine::Run &run, bool confirmed) override { registers += confirmed ? run.length : 0; }
    int registers = 0;
};

CompareFile::CompareFile(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock,
                         RegisterFiles &files, QWidget *parent)
    : QDialog(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_engine(engine)
    , m_lock(lock)
    , m_files(files)
{
    setWindowTitle(tr("Compare With File"));
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("summary"));
    m_title->setWordWrap(true);
    m_differing = table(this, QStringLiteral("differing"));
    m_chipOwned = table(this, QStringLiteral("chipOwned"));
    m_chipOwned->setMaximumHeight(120);
    m_load = new QPushButton(tr("Load the differing registers"), this);
    m_load->setObjectName(QStringLiteral("loadDifferences"));
    layout->addWidget(m_title);
    layout->addWidget(m_differing);
    layout->addWidget(new QLabel(tr("Registers the chip sets itself (not compared):"), this));
    layout->addWidget(m_chipOwned);
    layout->addWidget(m_load);
    resize(460, 420);
    connect(m_load, &QPushButton::clicked, this, &CompareFile::loadDifferences);
}

void CompareFile::run()
{
    const auto hold = m_lock.tryHold(tr("Compare With File"));
    if (!hold)
        return;
    const std::optional<RegisterFiles::Opened> opened = m_files.openFile(tr("Compare: nothing was read."));
    if (!opened)
        return;
    const RegisterFile::FileValues file = RegisterFile::values(opened->lines);
    m_file = file.values;
    m_notCompared = RegisterFile::problems(file.lines, file.skipped, RegisterFile::Use::Compare);
    m_path = opened->path;

    const CommandLock::Cancellable cancellable(m_lock);
    m_link.connectOrReport();
    bool stopped = false;
    int registers = 0;
    {
        Fill fill(m_boxes, m_lock, this);
        m_engine.read(RegisterEngine::wholeChip(), RegisterEngine::One::Burst, fill);
        stopped = fill.stopped;
        registers = fill.registers;
    }
    emit progress(0);
    if (stopped) {
        emit status(tr("Compare cancelled after %1 of %2 registers read; nothing was compared.")
                        .arg(registers)
                        .arg(RegisterMap::Count));
        return;
    }
    showTables();
    show();
    raise();
    emit status(statusText());
}

void CompareFile::loadDifferences()
{
    const auto hold = m_lock.tryHold(tr("Load the differing registers"));
    if (!hold)
        return;
    RegisterMap::Values values;
    for (const int address : differences())
        values[address] = m_file.at(address);
    if (values.empty())
        return;
    m_link.connectOrReport();
    Confirmed confirmed;
    m_engine.write(values, RegisterEngine::One::Burst, confirmed);
    {
        Fill fill(m_boxes, m_lock);
        m_engine.read(RegisterEngine::runs(RegisterMap::addresses(values)), RegisterEngine::One::Burst, fill);
    }
    for (const int address : RegisterEngine::differences(values, m_boxes.readValues()).compared)
        m_boxes.markNotLoaded(address, values.at(address));
    showTables();
    emit status(
        tr("The board confirmed writing %1 of the %2 differing registers. ").arg(confirmed.registers).arg(values.size())
        + statusText());
}

void CompareFile::showTables()
{
    m_differing->setRowCount(0);
    m_chipOwned->setRowCount(0);
    const RegisterMap::Values chip = m_boxes.readValues();
    const auto row = [this, &chip](int address) {
        const auto held = chip.find(address);
        return QStringList{Hex_Digits(address, 2), RegisterMap::caption(address).trimmed(),
                           Hex_Digits(m_file.at(address), 2),
                           held != chip.end() ? Hex_Digits(held->second, 2) : tr("not read")};
    };
    for (const int address : differences())
        addRow(m_differing, row(address));
    for (const auto &[address, value] : m_file) {
        if (RegisterMap::isChipOwned(address))
            addRow(m_chipOwned, row(address));
    }
    m_title->setText(m_notCompared.isEmpty() ? summary() : summary() + QLatin1Char('\n') + m_notCompared);
    m_load->setEnabled(m_differing->rowCount() > 0);
}

QList<int> CompareFile::differences() const
{
    return RegisterEngine::differences(m_file, m_boxes.readValues()).compared;
}

// "No register differs" only when every register the file can be compared
// in was read and compared; what was left out is named.
QString CompareFile::summary() const
{
    int unread = 0;
    for (int address = 0; address < RegisterMap::Count; ++address)
        unread += m_boxes.mark(address) == RegisterBoxes::Mark::NotRead ? 1 : 0;
    const RegisterMap::Values chip = m_boxes.readValues();
    int compared = 0;
    for (const auto &[address, value] : m_file)
        compared += !RegisterMap::isChipOwned(address) && chip.count(address) > 0 ? 1 : 0;
    const qsizetype differ = differences().size();
    const bool whole = unread == 0 && m_notCompared.isEmpty();
    QString text;
    if (differ > 0)
        text = tr("Compared with %1: differing registers: %2.").arg(m_path).arg(differ);
    else if (whole)
        text = tr("Compared with %1: no register differs.").arg(m_path);
    else
        text = tr("Compared with %1: no difference in the %2 registers compared.").arg(m_path).arg(compared);
    if (unread > 0)
        text += tr(" Registers not read: %1.").arg(unread);
    return text;
}

QString CompareFile::statusText() const
{
    return m_notCompared.isEmpty()
        ? summary()
        : summary() + QLatin1Char(' ') + QString(m_notCompared).replace(QLatin1Char('\n'), QLatin1Char(' '));
}
