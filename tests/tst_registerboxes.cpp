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
    void clearingBoxes();
    void everyHandledChangeResetsLinkFirst();
    void unhandledChanges();
    void textThatIsNoByteIsNotWritten();
    void portThatDoesNotOpen();
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
}

void TestRegisterBoxes::clearingBoxes()
{
    Harness h;
    h.setText(0x07, QStringLiteral("40"));
    h.setText(0x03, QStringLiteral("7C"));
    h.port.clearReceived();
    h.box(0x07)->selectAll();
    QTest::keyClick(h.box(0x07), Qt::Key_Backspace);
    QCOMPARE(h.port.writes(), QStringList{"07=00"}); // by the slider's echo
    QCOMPARE(h.text(0x07), QStringLiteral("0"));
    h.port.clearReceived();
    h.box(0x03)->clear(); // no slider: the link is reset, nothing written
    QCOMPARE(h.port.received(), QByteArray("QQQ"));
    QCOMPARE(h.text(0x03), QString());
}

void TestRegisterBoxes::everyHandledChangeResetsLinkFirst()
{
    Harness h;
    h.setText(0x03, QStringLiteral("12"));
    h.log.events.clear();
    h.setText(0x03, QStringLiteral("13"));
    const QStringList expectedStart{"close", "port 1", "settings 9600,n,8,1", "open", "send Q",
                                    "send Q", "send Q", "pause 0.5", "discard", "yield", "send W"};
    QCOMPARE(h.log.events.mid(0, expectedStart.size()), expectedStart);
    QCOMPARE(h.port.commands(), (QStringList{"W0x0003 0x1 0x12 ", "W0x0003 0x1 0x13 "}));
}

// The same text again, and any edit while Read All fills the boxes, change
// only the text: no link reset, no write, no slider move.
void TestRegisterBoxes::unhandledChanges()
{
    Harness h;
    h.setText(0x0C, QStringLiteral("05"));
    const int opens = h.port.opens();
    h.port.clearReceived();
    h.setText(0x0C, QStringLiteral("05"));
    h.form->boxes().ReadingAllRegisters = true;
    h.box(0x09)->clear();
    h.type(0x09, QStringLiteral("3"));
    QCOMPARE(h.text(0x09), QStringLiteral("3"));
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
    // 0x123 is beyond the slider's range: it stays where "12" put it.
    QCOMPARE(h.slider(0x24)->value(), 0x12);
    QCOMPARE(h.box(0x24)->styleSheet(), QStringLiteral("QLineEdit { color: red; }"));
    QVERIFY(h.box(0x24)->toolTip().contains(QStringLiteral("123")));
    QVERIFY(h.messages.shown.isEmpty());
    h.setText(0x24, QStringLiteral("12"));
    QCOMPARE(h.port.writes().last(), QStringLiteral("24=12"));
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
    QCOMPARE(h.messages.texts(),
             QStringList{"Cannot open serial port COM1 (/dev/sim1): No such file or directory"});
    QCOMPARE(h.messages.shown.first().caption, QStringLiteral("KV71xx"));
    h.form->COM_SEL(1)->trigger(); // choosing a port re-arms the message
    h.setText(0x06, QStringLiteral("14"));
    QCOMPARE(h.messages.shown.size(), 2);
    h.port.refuseOpen = false;
    h.setText(0x06, QStringLiteral("15"));
    QCOMPARE(h.port.writes(), QStringList{"06=15"});
}

QTEST_MAIN(TestRegisterBoxes)
#include "tst_registerboxes.moc"
