#include "quickload.h"

#include "registerbursts.h"
#include "files/registerfile.h"
#include "files/registerfiles.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "platform/messageboxes.h"
#include "commands/commandlock.h"
#include "registers/registerboxes.h"

#include <QDir>

using namespace RegisterBursts;

namespace {

// What the file could not give, for one closing message; empty when all 64.
QString fileProblems(const FileValues &file)
{
    QStringList problems;
    if (file.lines < RegisterMap::Count) {
        problems.append(QObject::tr("The file holds only %1 of 64 lines: the registers from %2 on were "
                                    "left unchanged.")
                            .arg(file.lines)
                            .arg(Hex_Digits(file.lines, 2)));
    }
    QStringList lines;
    for (const int k : file.skipped)
        lines.append(QObject::tr("line %1 (register %2)").arg(k + 1).arg(Hex_Digits(k, 2)));
    if (!lines.isEmpty()) {
        problems.append(QObject::tr("These lines hold no byte (00 to FF) and were skipped, leaving their "
                                    "registers unchanged: %1.")
                            .arg(lines.join(QStringLiteral(", "))));
    }
    return problems.join(QLatin1Char('\n'));
}

} // namespace

QuickLoad::QuickLoad(RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock,
                     RegisterFiles &files, MessageBoxes &messages, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_files(files)
    , m_messages(messages)
{}

void QuickLoad::run()
{
    const auto hold = m_lock.tryHold(tr("Quick Load"));
    if (!hold)
        return;
    const std::optional<QString> path = m_files.chooseFile(FileChooser::Kind::Open);
    if (!path)
        return;
    const RegisterFile::Contents contents = RegisterFile::read(*path);
    if (!contents.error.isEmpty()) {
        m_messages.show(contents.error);
        emit status(tr("Quick Load: no register was changed."));
        return;
    }
    const FileValues file = fromLines(contents.lines);

    // The bar counts registers: those written, then the 64 read back.
    const double steps = double(file.values.size() + RegisterMap::Count);
    int done = 0;
    m_link.connectOrReport();
    for (const Run &run : runs(file.values)) {
        write(m_commands, run);
        done += int(run.values.size());
        emit progress(done / steps * 100);
    }
    m_boxes.setReadingAllRegisters(true);
    int unread = 0;
    for (int block = 0; block < RegisterMap::Bursts; ++block) {
        if (!readInto(m_commands, m_boxes, block * RegisterMap::BurstLength, RegisterMap::BurstLength))
            unread += RegisterMap::BurstLength;
        done += RegisterMap::BurstLength;
        emit progress(done / steps * 100);
    }
    emit filled();
    m_boxes.setReadingAllRegisters(false);
    const QList<int> differ = differences(m_boxes, file.values);
    for (const int address : differ)
        markNotLoaded(m_boxes, address, file.values.at(address));
    emit progress(0);

    const QString problems = fileProblems(file);
    if (!problems.isEmpty())
        m_messages.show(problems);
    const QString shown = QDir::toNativeSeparators(*path);
    if (problems.isEmpty() && differ.isEmpty() && unread == 0) {
        emit status(tr("Quick Load: loaded the 64 registers from %1 and read them back.").arg(shown));
        return;
    }
    emit status(tr("Quick Load from %1: %2 values sent, %3 not loaded (marked), %4 registers not read back.")
                    .arg(shown)
                    .arg(file.values.size())
                    .arg(differ.size())
                    .arg(unread));
}
