#include "quickload.h"

#include "files/registerfile.h"
#include "files/registerfiles.h"
#include "link/boardlink.h"
#include "platform/messageboxes.h"
#include "commands/commandlock.h"
#include "registers/registerboxes.h"
#include "registers/registerengine.h"

// The bar counts registers: those written, then the 64 read back, which
// go into the boxes as they come. A cancel takes effect between two exchanges.
class QuickLoad::Steps : public RegisterEngine::Steps
{
public:
    Steps(QuickLoad &load, int registers)
        : m_load(load)
        , m_registers(registers)
    {}

    bool next(const RegisterEngine::Run &) override
    {
        stopped = m_load.m_lock.cancelled();
        return !stopped;
    }
    void written(const RegisterEngine::Run &run, bool confirmed) override
    {
        confirmedWrites += confirmed ? run.length : 0;
        advance(run.length);
    }
    void read(const RegisterEngine::Block &block) override
    {
        filling->show(block);
        for (int address = block.run.first; address < block.run.first + block.run.length; ++address) {
            if (const std::optional<quint8> value = block.valueOf(address))
                readBack[address] = *value;
        }
        reads += block.run.length;
        unread += block.read ? 0 : block.run.length;
        advance(block.run.length);
    }

    RegisterBoxes::Filling *filling = nullptr;
    bool stopped = false; // cancelled before an exchange
    int confirmedWrites = 0; // registers the board confirmed writing
    int reads = 0;
    int unread = 0;
    RegisterMap::Values readBack;

private:
    void advance(int registers)
    {
        m_done += registers;
        emit m_load.progress(m_done / double(m_registers) * 100);
    }

    QuickLoad &m_load;
    const int m_registers;
    int m_done = 0;
};

QuickLoad::QuickLoad(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock,
                     RegisterFiles &files, MessageBoxes &messages, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_engine(engine)
    , m_lock(lock)
    , m_files(files)
    , m_messages(messages)
{}

void QuickLoad::run()
{
    const auto hold = m_lock.tryHold(tr("Quick Load"));
    if (!hold)
        return;
    const std::optional<RegisterFiles::Opened> opened = m_files.openFile(tr("Quick Load: no register was changed."));
    if (!opened)
        return;
    const RegisterFile::FileValues file = RegisterFile::values(opened->lines);

    Steps steps(*this, int(file.values.size()) + RegisterMap::Count);
    const CommandLock::Cancellable cancellable(m_lock);
    m_link.connectOrReport();
    m_engine.write(file.values, RegisterEngine::One::Burst, steps);
    { // after a cancelled write nothing is read back: the reads stop at once
        RegisterBoxes::Filling filling(m_boxes);
        steps.filling = &filling;
        m_engine.read(RegisterEngine::wholeChip(), RegisterEngine::One::Burst, steps);
    }
    const QList<int> differ = RegisterEngine::differences(file.values, steps.readBack).compared;
    for (const int address : differ)
        m_boxes.markNotLoaded(address, file.values.at(address));
    emit progress(0);

    if (steps.stopped) {
        emit status(tr("Quick Load cancelled after %1 of %2 values written and %3 of %4 registers read back.")
                        .arg(steps.confirmedWrites)
                        .arg(file.values.size())
                        .arg(steps.reads - steps.unread)
                        .arg(RegisterMap::Count));
        return;
    }
    const QString problems = RegisterFile::problems(file.lines, file.skipped);
    if (!problems.isEmpty())
        m_messages.show(problems);
    if (problems.isEmpty() && differ.isEmpty() && steps.unread == 0) {
        emit status(tr("Quick Load: loaded the %1 registers from %2 and read them back.")
                        .arg(RegisterMap::Count)
                        .arg(opened->path));
        return;
    }
    emit status(tr("Quick Load from %1: %2 of %3 values written, %4 not loaded (marked), %5 registers not read back.")
                    .arg(opened->path)
                    .arg(steps.confirmedWrites)
                    .arg(file.values.size())
                    .arg(differ.size())
                    .arg(steps.unread));
}
