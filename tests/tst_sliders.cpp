// The sliders and their loop with the boxes, write by write.

#include "harness.h"

#include <QScrollBar>
#include <QtTest>

class TestSliders : public QObject
{
    Q_OBJECT

private slots:
    // Arrow and track clicks and a released drag report; a drag in progress
    // and the same position again do not. The phase ends at 3F.
    void reportingRules()
    {
        Harness h;
        h.slider(0x10)->triggerAction(QAbstractSlider::SliderToMaximum);
        QScrollBar *offset = h.slider(0x09);
        offset->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        offset->triggerAction(QAbstractSlider::SliderPageStepAdd);
        offset->setSliderDown(true);
        offset->setSliderPosition(0x60);
        QCOMPARE(h.text(0x09), QStringLiteral("2"));
        offset->setSliderDown(false);
        offset->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(h.text(0x10) + h.text(0x09), QStringLiteral("3F0"));
        QCOMPARE(h.port.writes(), (QStringList{"10=3F", "09=01", "09=02", "09=60", "09=00"}));
    }

    // A held thumb stays where the user holds it while another box changes.
    void heldThumbIsLeftAlone()
    {
        Harness h;
        QScrollBar *gain = h.slider(0x07);
        gain->setSliderDown(true);
        gain->setSliderPosition(0x30);
        h.setText(0x03, QStringLiteral("12"));
        QCOMPARE(gain->sliderPosition(), 0x30);
        QCOMPARE(h.port.writes(), QStringList{"03=12"});
    }
};

QTEST_MAIN(TestSliders)
#include "tst_sliders.moc"
