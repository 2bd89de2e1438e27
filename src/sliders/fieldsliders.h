#pragma once

#include <QObject>

#include <map>

class CommandLock;
class QScrollBar;
class RegisterBoxes;

// The 30 horizontal sliders, each standing for one whole register byte. A
// slider move rewrites its register's box; every handled box change sets all
// sliders from their boxes again.
class FieldSliders : public QObject
{
    Q_OBJECT

public:
    FieldSliders(RegisterBoxes &boxes, CommandLock &lock, QObject *parent = nullptr);

    QScrollBar *slider(int address) const { return m_sliders.at(address); }
    // In ascending register address order. A box value beyond its slider's
    // range leaves that slider where it stands: it is neither clamped nor
    // moved, so it rewrites no box and writes no register.
    void updateFromBoxes();
    // The same without reporting: after Read All the sliders stand where
    // their boxes say, and neither the boxes nor the chip are touched.
    void followBoxesQuietly();

private:
    void sliderChanged(int address);
    // The position a box asks its slider for, or -1 beyond the slider's range.
    int positionFor(int address) const;

    RegisterBoxes &m_boxes;
    CommandLock &m_lock;
    int m_assigned = -1; // the slider the program is setting from its box
    std::map<int, QScrollBar *> m_sliders;
};
