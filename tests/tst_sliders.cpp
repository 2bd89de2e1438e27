#include "harness.h"

#include <QScrollBar>
#include <QtTest>

class TestSliders : public QObject
{
    Q_OBJECT

private slots:
    void aSliderMoveRewritesItsBoxAHeldThumbOnlyWhenLetGo()
    {
        Harness h;
        h.slider(0x10)->triggerAction(QAbstractSlider::SliderToMaximum);
        QScrollBar *s = h.slider(0x09);
        s->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        s->triggerAction(QAbstractSlider::SliderPageStepAdd);
        s->setSliderDown(true);
        s->setSliderPosition(0x60);
        QCOMPARE(h.text(0x09), "2");
        s->setSliderDown(false);
        s->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(h.text(0x10), "3F");
        QCOMPARE(h.text(0x09), "0");
        QCOMPARE(h.port.writes(), (QStringList{"10=3F", "09=01", "09=02", "09=60", "09=00"}));
    }

    void heldThumbIsLeftAlone()
    {
        Harness h;
        QScrollBar *s = h.slider(0x07);
        s->setSliderDown(true);
        s->setSliderPosition(0x30);
        h.setText(0x03, "12");
        QCOMPARE(s->sliderPosition(), 0x30);
        QCOMPARE(h.port.writes(), QStringList{"03=12"});
    }
};

QTEST_MAIN(TestSliders)
#include "tst_sliders.moc"
