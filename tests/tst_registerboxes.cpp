// The live register boxes: what each change writes to the chip, and what the
// boxes show afterwards.

#include "harness.h"

#include "link/boardlink.h"
#include "registers/registerboxes.h"

#include <QAction>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

class TestRegisterBoxes : public QObject
{
    Q_OBJECT

private slots:
    void typingWritesEachKeyAndSliderEcho();
    void clearingBoxWithSliderWritesZeroOnce();
    void clearingBoxWithoutSliderWritesNothing();
    void everyHandledChangeResetsLinkFirst();
    void sameTextIsNoChange();
    void editsWhileReadingAllOnlyChangeText();
    void textThatIsNoByteIsNotWritten();
    void portThatDoesNotOpen();
    void silentBoardReportedOnceAndSlidersStillFollow();
};

void TestRegisterBoxes::typingWritesEachKeyAndSliderEcho()
{
    Harness h;
    h.box(0x06)->clear();
    h.port.clearReceived();
    h.type(0x06, QStringLiteral("05"));
    QCOMPARE(h.port.writes(), (QStringList{"06=00", "06=05", "06=05"}));
    QCOMPARE(h.text(0x06), QStringLiteral("5"));
    QCOMPARE(h.slider(0x06)->value(), 5);
    QCOMPARE(h.port.board().chipRegister(0x06), 0x05);
    QVERIFY(h.messages.shown.isEmpty());
}

void TestRegisterBoxes::clearingBoxWithSliderWritesZeroOnce()
{
    Harness h;
    h.setText(0x07, QStringLiteral("40"));
    QCOMPARE(h.slider(0x07)->value(), 0x40);
    h.port.clearReceived();
    h.box(0x07)->selectAll();
    QTest::keyClick(h.box(0x07), Qt::Key_Backspace);
    QCOMPARE(h.port.writes(), QStringList{"07=00"});
    QCOMPARE(h.text(0x07), QStringLiteral("0"));
    QCOMPARE(h.slider(0x07)->value(), 0);
}

void TestRegisterBoxes::clearingBoxWithoutSliderWritesNothing()
{
    Harness h;
    h.setText(0x03, QStringLiteral("7C"));
    h.port.clearReceived();
    const int opens = h.port.opens();
    h.box(0x03)->clear();
    QCOMPARE(h.port.commands(), QStringList{});
    QCOMPARE(h.text(0x03), QString());
    // The link was still reset for the change.
    QCOMPARE(h.port.opens(), opens + 1);
    QCOMPARE(h.port.received(), QByteArray("QQQ"));
}

void TestRegisterBoxes::everyHandledChangeResetsLinkFirst()
{
    Harness h;
    h.log.events.clear();
    h.setText(0x03, QStringLiteral("12"));
    const QStringList expectedStart{"port 1", "settings 9600,n,8,1", "open", "send Q", "send Q",
                                    "send Q", "pause 0.5", "discard", "yield", "send W"};
    QCOMPARE(h.log.events.mid(0, expectedStart.size()), expectedStart);
    QCOMPARE(h.port.commands(), QStringList{"W0x0003 0x1 0x12 "});
    // The next change closes the open port before reopening it.
    h.log.events.clear();
    h.setText(0x03, QStringLiteral("13"));
    QCOMPARE(h.log.events.mid(0, 2), (QStringList{"close", "port 1"}));
}

void TestRegisterBoxes::sameTextIsNoChange()
{
    Harness h;
    h.setText(0x0C, QStringLiteral("05"));
    h.port.clearReceived();
    const int opens = h.port.opens();
    h.setText(0x0C, QStringLiteral("05"));
    QCOMPARE(h.port.opens(), opens);
    QVERIFY(h.port.received().isEmpty());
}

void TestRegisterBoxes::editsWhileReadingAllOnlyChangeText()
{
    Harness h;
    h.box(0x09)->clear();
    h.port.clearReceived();
    const int opens = h.port.opens();
    h.form->boxes().ReadingAllRegisters = true;
    h.type(0x09, QStringLiteral("3"));
    h.setText(0x03, QStringLiteral("AA"));
    QCOMPARE(h.text(0x09), QStringLiteral("3"));
    QCOMPARE(h.text(0x03), QStringLiteral("AA"));
    QCOMPARE(h.port.opens(), opens);
    QVERIFY(h.port.received().isEmpty());
    QCOMPARE(h.slider(0x09)->value(), 0);
}

void TestRegisterBoxes::textThatIsNoByteIsNotWritten()
{
    Harness h;
    // 0x24 has no length limit; its page is hidden, so the program sets it.
    for (const char *text : {"1", "12", "123"})
        h.setText(0x24, QString::fromLatin1(text));
    QCOMPARE(h.port.writes(), (QStringList{"24=01", "24=12"}));
    QCOMPARE(h.text(0x24), QStringLiteral("123"));
    // 0x123 is beyond the slider's range: it stays where the "12" put it.
    QCOMPARE(h.slider(0x24)->value(), 0x12);
    QCOMPARE(h.box(0x24)->styleSheet(), QStringLiteral("QLineEdit { color: red; }"));
    QVERIFY(h.box(0x24)->toolTip().contains(QStringLiteral("123")));
    QVERIFY(h.messages.shown.isEmpty());
    // Back to a byte: written, and no longer marked.
    h.setText(0x24, QStringLiteral("12"));
    QCOMPARE(h.port.writes(), (QStringList{"24=01", "24=12", "24=12"}));
    QVERIFY(h.box(0x24)->styleSheet().isEmpty());
    QVERIFY(h.box(0x24)->toolTip().isEmpty());
}

void TestRegisterBoxes::portThatDoesNotOpen()
{
    Harness h;
    h.port.refuseOpen = true;
    h.setText(0x06, QStringLiteral("12"));
    h.setText(0x06, QStringLiteral("13"));
    QCOMPARE(h.text(0x06), QStringLiteral("13"));
    QCOMPARE(h.slider(0x06)->value(), 0);
    QVERIFY(h.port.received().isEmpty());
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown.first().caption, QStringLiteral("KV71xx"));
    QCOMPARE(h.messages.shown.first().text,
             QStringLiteral("Cannot open serial port COM1 (/dev/sim1): No such file or directory"));
    // Choosing a port re-arms the message.
    h.form->COM_SEL(1)->trigger();
    h.setText(0x06, QStringLiteral("14"));
    QCOMPARE(h.messages.shown.size(), 2);
    // Once a port opens, the writes go through.
    h.port.refuseOpen = false;
    h.setText(0x06, QStringLiteral("15"));
    QCOMPARE(h.port.writes(), QStringList{"06=15"});
}

void TestRegisterBoxes::silentBoardReportedOnceAndSlidersStillFollow()
{
    sim::BoardOptions silent;
    silent.fault = sim::BoardOptions::Fault::Silent;
    Harness h(silent);
    h.setText(0x08, QStringLiteral("20"));
    h.setText(0x09, QStringLiteral("30"));
    QCOMPARE(h.messages.texts(),
             QStringList{"There is a problem communicating over the serial port. Please check your "
                         "serial cable connection and settings"});
    QCOMPARE(h.text(0x08), QStringLiteral("20"));
    QCOMPARE(h.slider(0x08)->value(), 0x20);
    QCOMPARE(h.slider(0x09)->value(), 0x30);
    QVERIFY(h.form->link().Serial_Error());
}

QTEST_MAIN(TestRegisterBoxes)
#include "tst_registerboxes.moc"
