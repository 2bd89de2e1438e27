#include "readall.h"

#include "registerboxes.h"
#include "registerengine.h"
#include "commands/commandlock.h"
#include "link/boardlink.h"

// Fills the boxes block by block as the bursts come in. The bar counts boxes
// filled, not commands sent: it moves after the first and the middle box of
// each block, and the window takes its events each time.
class ReadAll::Fill : public RegisterEngine::Steps
{
public:
    Fill(ReadAll &readAll, RegisterBoxes::Filling &filling)
        : m_readAll(readAll)
        , m_filling(filling)
    {}

    bool next(const RegisterEngine::Run &) override { return !m_readAll.m_lock.cancelled(); }
    void read(const RegisterEngine::Block &block) override
    {
        filled += block.run.length;
        for (int j = 0; j < block.run.length; ++j) {
            m_filling.show(block, block.run.first + j);
            if (j == 0 || j == RegisterMap::BurstLength / 2) {
                emit m_readAll.progress((block.run.first + j) / double(RegisterMap::Count) * 100);
                m_readAll.m_link.processEvents();
            }
        }
        unread += block.read ? 0 : block.run.length;
    }

    int unread = 0;
    int filled = 0;

private:
    ReadAll &m_readAll;
    RegisterBoxes::Filling &m_filling;
};

ReadAll::ReadAll(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_engine(engine)
    , m_lock(lock)
{}

void ReadAll::ReadAllRegisters_Click()
{
    if (const auto hold = m_lock.tryHold(tr("Read All")))
        emit status(Read_All_Registers().text);
}

ReadAll::Outcome ReadAll::Read_All_Registers()
{
    Outcome outcome;
    bool connected = false;
    int filled = 0;
    {
        RegisterBoxes::Filling filling(m_boxes);
        const CommandLock::Hold hold(m_lock, tr("Read All"));
        const CommandLock::Cancellable cancellable(m_lock);
        // A port that does not open sends nothing: every block is marked.
        connected = m_link.connectOrReport();
        Fill fill(*this, filling);
        m_engine.read(RegisterEngine::wholeChip(), RegisterEngine::One::Burst, fill);
        outcome.unread = fill.unread;
        filled = fill.filled;
        // A cancelled read ends at once, without the closing pause.
        if (filled == RegisterMap::Count) {
            emit progress(100);
            m_link.pause(ClosingPause);
        }
        emit progress(0);
    }
    const int count = RegisterMap::Count;
    if (filled < count)
        outcome.text = tr("Read All cancelled after %1 of %2 registers.").arg(filled).arg(count);
    else if (outcome.unread == 0)
        outcome.text = tr("Read all %1 registers.").arg(count);
    else if (!connected)
        outcome.text = tr("Read All: %1 of %1 registers not read, the port could not be opened.").arg(count);
    else
        outcome.text
            = tr("Read All: %1 of %2 registers not read, the board did not answer.").arg(outcome.unread).arg(count);
    return outcome;
}
