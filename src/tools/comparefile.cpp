#include "comparefile.h"

#include "files/registerfile.h"
#include "files/registerfiles.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "platform/messageboxes.h"
#include "commands/commandlock.h"
#include "registers/registerboxes.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace RegisterBursts;

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

CompareFile::CompareFile(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock,
                         RegisterFiles &files, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_files(files)
    , m_messages(messages)
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
    const std::optional<QString> path = m_files.chooseFile(FileChooser::Kind::Open);
    if (!path)
        return;
    const RegisterFile::Contents contents = RegisterFile::read(*path);
    if (!contents.error.isEmpty()) {
        m_messages.show(contents.error);
        emit status(tr("Compare: nothing was read."));
        return;
    }
    m_file = fromLines(contents.lines).values;
    m_path = QDir::toNativeSeparators(*path);

    m_link.connectOrReport();
    m_boxes.setReadingAllRegisters(true);
    for (int block = 0; block < RegisterMap::Bursts; ++block) {
        readInto(m_commands, m_boxes, block * RegisterMap::BurstLength, RegisterMap::BurstLength);
        emit progress((block + 1) * 100.0 / RegisterMap::Bursts);
    }
    emit filled();
    m_boxes.setReadingAllRegisters(false);
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
    Values values;
    for (const int address : differences(m_boxes, m_file))
        values[address] = m_file.at(address);
    if (values.empty())
        return;
    m_link.connectOrReport();
    const QList<Run> planned = runs(values);
    for (const Run &run : planned)
        write(m_commands, run);
    m_boxes.setReadingAllRegisters(true);
    for (const Run &run : planned)
        readInto(m_commands, m_boxes, run.first, int(run.values.size()));
    emit filled();
    m_boxes.setReadingAllRegisters(false);
    for (const int address : differences(m_boxes, values))
        markNotLoaded(m_boxes, address, values.at(address));
    showTables();
    emit status(summary());
}

void CompareFile::showTables()
{
    m_differing->setRowCount(0);
    m_chipOwned->setRowCount(0);
    const auto row = [this](int address) {
        const std::optional<quint8> chip = readValue(m_boxes, address);
        return QStringList{Hex_Digits(address, 2), RegisterMap::caption(address).trimmed(),
                           Hex_Digits(m_file.at(address), 2), chip ? Hex_Digits(*chip, 2) : tr("not read")};
    };
    for (const int address : differences(m_boxes, m_file))
        addRow(m_differing, row(address));
    for (const auto &[address, value] : m_file) {
        if (RegisterMap::isChipOwned(address))
            addRow(m_chipOwned, row(address));
    }
    m_title->setText(summary());
    m_load->setEnabled(m_differing->rowCount() > 0);
}

QString CompareFile::summary() const
{
    int unread = 0;
    for (int address = 0; address < RegisterMap::Count; ++address)
        unread += m_boxes.mark(address) == RegisterBoxes::Mark::NotRead ? 1 : 0;
    const qsizetype differ = differences(m_boxes, m_file).size();
    QString text = differ == 0 ? tr("Compared with %1: no register differs.").arg(m_path)
                               : tr("Compared with %1: differing registers: %2.").arg(m_path).arg(differ);
    if (unread > 0)
        text += tr(" Registers not read: %1.").arg(unread);
    return text;
}
