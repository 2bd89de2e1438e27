#include "fieldsliders.h"

#include "commands/commandlock.h"
#include "registers/registerboxes.h"

#include <QLineEdit>
#include <QScrollBar>

#include <utility>

FieldSliders::FieldSliders(RegisterBoxes &boxes, CommandLock &lock, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_lock(lock)
{
    for (const int a : RegisterMap::sliderAddresses()) {
        const RegisterMap::Register &r = RegisterMap::at(a);
        auto *slider = new QScrollBar(Qt::Horizontal, boxes.reg_KV7103(a)->parentWidget());
        slider->setObjectName(QString::fromLatin1(r.slider));
        slider->setRange(0, r.sliderMaximum);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        // A dragged thumb reports only when it is let go.
        slider->setTracking(false);
        slider->setGeometry(boxes.sliderGeometry(a));
        slider->setAccessibleName(QString::fromLatin1(r.caption));
        connect(slider, &QScrollBar::valueChanged, this, [this, a] { sliderChanged(a); });
        m_sliders.emplace(a, slider);
    }
}

int FieldSliders::positionFor(int address) const
{
    const int position = RegisterMap::textToSliderPosition(m_boxes.text(address));
    return position <= slider(address)->maximum() ? position : -1;
}

void FieldSliders::updateFromBoxes()
{
    for (const int a : RegisterMap::sliderAddresses()) {
        const int position = positionFor(a);
        // Assigning the position a slider has must report nothing. Qt reports
        // it anyway while the thumb is held down, so it is not assigned.
        if (position >= 0 && position != slider(a)->value()) {
            m_assigned = a; // the report this raises is the program's own
            slider(a)->setValue(position);
        }
    }
}

void FieldSliders::followBoxesQuietly()
{
    for (const int a : RegisterMap::sliderAddresses()) {
        const int position = positionFor(a);
        if (position >= 0) {
            const QSignalBlocker quiet(slider(a));
            slider(a)->setValue(position);
        }
    }
}

void FieldSliders::sliderChanged(int address)
{
    // A move the user makes while the board is busy (an arrow's auto-repeat
    // firing inside a wait, even inside a slider echo's own write) would start
    // an exchange inside another: it is refused, and the slider goes back to
    // where its box says.
    const bool assigned = std::exchange(m_assigned, -1) == address;
    if (m_lock.busy() && !assigned) {
        const QSignalBlocker quiet(slider(address));
        slider(address)->setValue(qMax(positionFor(address), 0));
        return;
    }
    m_boxes.setText(address, RegisterMap::sliderText(slider(address)->value()));
}
