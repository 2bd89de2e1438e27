// The sliders and their loop with the boxes, write by write.

#include "harness.h"

#include "registers/registerboxes.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

namespace {

// A point on the slider's right arrow, as the style draws it.
QPoint addArrow(QScrollBar *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    return slider->style()
        ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, slider)
        .center();
}

} // namespace

class TestFieldSliders : public QObject
{
    Q_OBJECT

private slots:
    void movingToZeroWritesZero();
    void pllPhaseToItsEnd();
    void arrowClickWritesOneStep();
    void dragReportsOnRelease();
    void samePositionReportsNothing();
    void typingZeroThenA();
    void clearedBoxMovesSliderToZero();
    void valueBeyondRangeLeavesSliderAlone();
    void hiddenPageSlidersFollowToo();
};

void TestFieldSliders::movingToZeroWritesZero()
{
    Harness h;
    h.slider(0x06)->setValue(0x33);
    h.port.clearReceived();
    h.slider(0x06)->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(h.text(0x06), QStringLiteral("0"));
    QCOMPARE(h.port.writes(), QStringList{"06=00"});
}

void TestFieldSliders::pllPhaseToItsEnd()
{
    Harness h;
    QScrollBar *phase = h.form->findChild<QScrollBar *>(QStringLiteral("PllPhase_HScroll"));
    phase->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(h.text(0x10), QStringLiteral("3F"));
    QCOMPARE(h.port.writes(), QStringList{"10=3F"});
    QCOMPARE(h.port.commands(), QStringList{"W0x0010 0x1 0x3F "});
}

void TestFieldSliders::arrowClickWritesOneStep()
{
    Harness h;
    h.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
    QScrollBar *gain = h.slider(0x08);
    QTest::mouseClick(gain, Qt::LeftButton, {}, addArrow(gain));
    QCOMPARE(gain->value(), 1);
    QCOMPARE(h.text(0x08), QStringLiteral("1"));
    QCOMPARE(h.port.writes(), QStringList{"08=01"});
}

void TestFieldSliders::dragReportsOnRelease()
{
    Harness h;
    QScrollBar *offset = h.slider(0x09);
    offset->setSliderDown(true);
    offset->setSliderPosition(0x50);
    offset->setSliderPosition(0x60);
    QVERIFY(h.port.received().isEmpty());
    QCOMPARE(h.text(0x09), QStringLiteral("  "));
    offset->setSliderDown(false);
    QCOMPARE(h.text(0x09), QStringLiteral("60"));
    QCOMPARE(h.port.writes(), QStringList{"09=60"});
}

void TestFieldSliders::samePositionReportsNothing()
{
    Harness h;
    h.slider(0x0B)->setValue(0x21);
    h.port.clearReceived();
    h.slider(0x0B)->setValue(0x21);
    QVERIFY(h.port.received().isEmpty());
}

void TestFieldSliders::typingZeroThenA()
{
    Harness h;
    h.box(0x0A)->clear();
    h.port.clearReceived();
    h.type(0x0A, QStringLiteral("0"));
    QCOMPARE(h.port.writes(), QStringList{"0A=00"});
    QCOMPARE(h.slider(0x0A)->value(), 0);
    QCOMPARE(h.text(0x0A), QStringLiteral("0"));
    h.type(0x0A, QStringLiteral("A"));
    QCOMPARE(h.port.writes(), (QStringList{"0A=00", "0A=0A", "0A=0A"}));
    QCOMPARE(h.slider(0x0A)->value(), 10);
    QCOMPARE(h.text(0x0A), QStringLiteral("A"));
}

void TestFieldSliders::clearedBoxMovesSliderToZero()
{
    Harness h;
    h.setText(0x0A, QStringLiteral("3"));
    QCOMPARE(h.slider(0x0A)->value(), 3);
    h.port.clearReceived();
    h.box(0x0A)->clear();
    QCOMPARE(h.port.writes(), QStringList{"0A=00"});
    QCOMPARE(h.text(0x0A), QStringLiteral("0"));
    QCOMPARE(h.slider(0x0A)->value(), 0);
}

void TestFieldSliders::valueBeyondRangeLeavesSliderAlone()
{
    Harness h;
    h.setText(0x10, QStringLiteral("5"));
    QCOMPARE(h.slider(0x10)->value(), 5);
    h.port.clearReceived();
    h.setText(0x10, QStringLiteral("FF"));
    QCOMPARE(h.port.writes(), QStringList{"10=FF"});
    QCOMPARE(h.slider(0x10)->value(), 5);
    QCOMPARE(h.text(0x10), QStringLiteral("FF"));
}

void TestFieldSliders::hiddenPageSlidersFollowToo()
{
    Harness h;
    h.setText(0x32, QStringLiteral("0C"));
    // The box change wrote 0C, the slider moved to 12 and its echo rewrote
    // the box as "C", which wrote the register again.
    QCOMPARE(h.port.writes(), (QStringList{"32=0C", "32=0C"}));
    QCOMPARE(h.slider(0x32)->value(), 12);
    QCOMPARE(h.text(0x32), QStringLiteral("C"));
}

QTEST_MAIN(TestFieldSliders)
#include "tst_fieldsliders.moc"
