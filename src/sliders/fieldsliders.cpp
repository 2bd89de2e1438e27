#include "fieldsliders.h"

#include "../registers/registerboxes.h"

#include <QLineEdit>
#include <QScrollBar>

FieldSliders::FieldSliders(RegisterBoxes &boxes, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
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
    connect(&boxes, &RegisterBoxes::changeHandled, this, &FieldSliders::updateFromBoxes);
}

void FieldSliders::updateFromBoxes()
{
    for (const int a : RegisterMap::sliderAddresses()) {
        QScrollBar *s = slider(a);
        const int position = RegisterMap::textToSliderPosition(m_boxes.text(a));
        if (position > s->maximum())
            continue;
        // Reports (and so rewrites the box) only when the position differs.
        s->setValue(position);
    }
}

void FieldSliders::sliderChanged(int address)
{
    m_boxes.setText(address, RegisterMap::sliderText(slider(address)->value()));
}
