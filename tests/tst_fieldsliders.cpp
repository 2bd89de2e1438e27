// The sliders and their loop with the boxes, write by write.

#include "harness.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

class TestFieldSliders : public QObject
{
    Q_OBJECT

private slots:
    void reportingRules();
    void typingZeroThenA();
    void rangeLimits();
};

// Arrow and track clicks and a released drag report; a drag in progress and
// the same position again do not.
void TestFieldSliders::reportingRules()
{
    Harness h;
    QScrollBar *offset = h.slider(0x09);
    offset->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    offset->triggerAction(QAbstractSlider::SliderPageStepAdd);
    offset->setSliderDown(true);
    offset->setSliderPosition(0x60);
    QCOMPARE(h.text(0x09), QStringLiteral("2"));
    offset->setSliderDown(false);
    offset->setValue(0x60);
    QCOMPARE(h.port.writes(), (QStringList{"09=01", "09=02", "09=60"}));
    offset->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(h.text(0x09), QStringLiteral("0"));
    QCOMPARE(h.port.writes().last(), QStringLiteral("09=00"));
}

void TestFieldSliders::typingZeroThenA()
{
    Harness h;
    h.box(0x0A)->clear();
    h.port.clearReceived();
    h.type(0x0A, QStringLiteral("0"));
    QCOMPARE(h.slider(0x0A)->value(), 0);
    h.type(0x0A, QStringLiteral("A"));
    QCOMPARE(h.port.writes(), (QStringList{"0A=00", "0A=0A", "0A=0A"}));
    QCOMPARE(h.slider(0x0A)->value(), 10);
    QCOMPARE(h.text(0x0A), QStringLiteral("A"));
}

void TestFieldSliders::rangeLimits()
{
    Harness h;
    h.slider(0x10)->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(h.text(0x10), QStringLiteral("3F"));
    QCOMPARE(h.port.commands(), QStringList{"W0x0010 0x1 0x3F "});
    // Beyond the range the slider is neither clamped nor moved.
    h.setText(0x10, QStringLiteral("FF"));
    QCOMPARE(h.port.writes(), (QStringList{"10=3F", "10=FF"}));
    QCOMPARE(h.slider(0x10)->value(), 63);
    QCOMPARE(h.text(0x10), QStringLiteral("FF"));
}

QTEST_MAIN(TestFieldSliders)
#include "tst_fieldsliders.moc"
