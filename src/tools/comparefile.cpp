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
// after each burst.
class CompareFile::Fill : public RegisterEngine::Steps
{
public:
    Fill(RegisterBoxes &boxes, CompareFile *showsProgress = nullptr)
        : m_filling(boxes)
        , m_compare(showsProgress)
    {}

    void read(const RegisterEngine::Block &block) override
    {
        m_filling.show(block);
        if (m_compare)
            emit m_compare->progress(++m_blocks * 100.0 / RegisterMap::Bursts);
    }

private:
    RegisterBoxes::Filling m_filling;
    CompareFile *m_compare;
    int m_blocks = 0;
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
    m_file = RegisterFile::values(opened->lines).values;
    m_path = opened->path;

    m_link.connectOrReport();
    {
        Fill fill(m_boxes, this);
        m_engine.read(RegisterEngine::wholeChip(), RegisterEngine::One::Burst, fill);
    }
    emit progress(0);
    showTables();
    show();
    raise();
    emit status(summary());
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
    RegisterEngine::Steps quiet;
    m_engine.write(values, RegisterEngine::One::Burst, quiet);
    {
        Fill fill(m_boxes);
        m_engine.read(RegisterEngine::runs(RegisterMap::addresses(values)), RegisterEngine::One::Burst, fill);
    }
    for (const int address : RegisterEngine::differences(values, m_boxes.readValues()).compared)
        m_boxes.markNotLoaded(address, values.at(address));
    showTables();
    emit status(summary());
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
    m_title->setText(summary());
    m_load->setEnabled(m_differing->rowCount() > 0);
}

QList<int> CompareFile::differences() const
{
    return RegisterEngine::differences(m_file, m_boxes.readValues()).compared;
}

QString CompareFile::summary() const
{
    int unread = 0;
    for (int address = 0; address < RegisterMap::Count; ++address)
        unread += m_boxes.mark(address) == RegisterBoxes::Mark::NotRead ? 1 : 0;
    const qsizetype differ = differences().size();
    QString text = differ == 0 ? tr("Compared with %1: no register differs.").arg(m_path)
                               : tr("Compared with %1: differing registers: %2.").arg(m_path).arg(differ);
    if (unread > 0)
        text += tr(" Registers not read: %1.").arg(unread);
    return text;
}
