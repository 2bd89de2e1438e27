#pragma once

#include "registerengine.h"
#include "registermap.h"

#include <QObject>
#include <QRect>

#include <array>

class BoardCommands;
class BoardLink;
class CommandLock;
class QLabel;
class QLineEdit;
class QWidget;

// The 64 live register boxes with their caption labels. A box's text is the
// program's only copy of its register; a change of it, typed or set by the
// program, writes the register to the chip and brings the sliders into line.
class RegisterBoxes : public QObject
{
    Q_OBJECT

public:
    // Builds the rows of each page's two columns into the given frames.
    RegisterBoxes(QWidget *userFrame, QWidget *testFrame, BoardLink &link, BoardCommands &commands, CommandLock &lock,
                  QObject *parent = nullptr);

    QLineEdit *reg_KV7103(int address) const { return m_boxes.at(size_t(address)); }
    QLabel *KV7106_Label(int address) const { return m_labels.at(size_t(address)); }
    QString text(int address) const;
    // True unless the change handling the new text raised left a write the
    // board did not confirm (or a text that is no byte) behind.
    bool setText(int address, const QString &text);
    // Where the slider of a register's row goes: right of the box, to the
    // end of the column.
    QRect sliderGeometry(int address) const { return m_sliderGeometry.at(size_t(address)); }

    // Writes the register its box shows; true when the board confirmed it (or
    // nothing was due), including a slider echo's write of it nested inside.
    bool reg_KV7103_Change(int address);

    // What a box's last write or read left to be seen: a colour and a tooltip
    // that say why the chip may not hold what the box shows. A later write or
    // read of the register that succeeds clears it.
    enum class Mark { None, NotAByte, NotWritten, NotRead };
    void setMark(int address, Mark mark);
    Mark mark(int address) const { return m_marks.at(size_t(address)); }

    // Marks a register whose read-back is not what was written.
    void markNotLoaded(int address, quint8 wrote);
    // The values the board sent, as the boxes hold them: every box that holds
    // a byte and is not marked as not read.
    RegisterMap::Values readValues() const;

    // True while Read All fills the boxes: a box change then does nothing.
    bool ReadingAllRegisters() const { return m_readingAllRegisters; }
    void setReadingAllRegisters(bool reading) { m_readingAllRegisters = reading; }

    // The boxes filled with what the board sent, as Read All fills them: box
    // changes do nothing meanwhile (ReadingAllRegisters), and at the end the
    // sliders follow the boxes quietly (filled).
    class Filling
    {
    public:
        enum class Follow { Always, WhenChanged };
        explicit Filling(RegisterBoxes &boxes, Follow follow = Follow::Always);
        ~Filling();
        Filling(const Filling &) = delete;
        Filling &operator=(const Filling &) = delete;

        // A register of the block shows the board's text as it came; one the
        // board did not send keeps its text and is marked as not read. True
        // when the box's text changed.
        bool show(const RegisterEngine::Block &block, int address);
        void show(const RegisterEngine::Block &block);

    private:
        RegisterBoxes &m_boxes;
        Follow m_follow;
        bool m_changed = false;
    };

signals:
    // The last step of every handled change: the sliders follow the boxes.
    void changeHandled();
    // Boxes were filled from the board and box changes are still suppressed.
    void filled();

private:
    void buildPage(QWidget *frame, RegisterMap::Page page);
    int buildColumn(QWidget *frame, const QList<int> &addresses, int left, bool last);
    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    bool m_readingAllRegisters = false;
    std::array<Mark, RegisterMap::Count> m_marks{};
    std::array<bool, RegisterMap::Count> m_confirmed{};
    std::array<QLineEdit *, RegisterMap::Count> m_boxes{};
    std::array<QLabel *, RegisterMap::Count> m_labels{};
    std::array<QRect, RegisterMap::Count> m_sliderGeometry{};
};
