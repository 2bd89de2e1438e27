// The "Individual Register Read/Write" frame.

#include "harness.h"

#include "link/boardlink.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

struct Frame
{
    explicit Frame(Harness &h)
        : address(h.form->findChild<QLineEdit *>(QStringLiteral("Address")))
        , data(h.form->findChild<QLineEdit *>(QStringLiteral("Data")))
        , read(h.form->findChild<QPushButton *>(QStringLiteral("ReadRegCommand")))
        , write(h.form->findChild<QPushButton *>(QStringLiteral("WriteRegCommand")))
    {}

    void set(const QString &addressText, const QString &dataText)
    {
        address->setText(addressText);
        data->setText(dataText);
    }

    QLineEdit *address;
    QLineEdit *data;
    QPushButton *read;
    QPushButton *write;
};

bool allCommandsEnabled(const Harness &h)
{
    return h.form->findChild<QPushButton *>(QStringLiteral("ReadRegCommand"))->isEnabled()
           && h.form->findChild<QPushButton *>(QStringLiteral("WriteRegCommand"))->isEnabled()
           && h.form->findChild<QPushButton *>(QStringLiteral("ReadAllRegisters"))->isEnabled()
           && h.form->findChild<QAction *>(QStringLiteral("nVideoModeInput"))->isEnabled();
}

} // namespace

class TestSingleRegister : public QObject
{
    Q_OBJECT

private slots:
    void readShowsAnswerAndLeavesBoxAlone();
    void readBeyondTheMap();
    void writeSendsThenUpdatesBox();
    void writeOfTextTheBoxHoldsWritesOnce();
    void writeWithPortClosedGoesThroughBox();
    void writeBeyondTheMapSkipsBox();
    void writeKeepsDataAsTyped();
    void fieldsThatAreNoByte_data();
    void fieldsThatAreNoByte();
    void readWithPortThatDoesNotOpen();
    void typing();
};

void TestSingleRegister::readShowsAnswerAndLeavesBoxAlone()
{
    Harness h;
    Frame f(h);
    f.set(QStringLiteral("06"), QStringLiteral("77"));
    h.port.board().setChipRegister(0x06, 0x80);
    f.read->click();
    QCOMPARE(h.port.commands(), QStringList{"R0x0006 0x1 "});
    QCOMPARE(h.port.received().left(3), QByteArray("QQQ"));
    QCOMPARE(f.data->text(), QStringLiteral("80"));
    QCOMPARE(h.text(0x06), QStringLiteral("  "));
    QCOMPARE(h.slider(0x06)->value(), 0);
    QVERIFY(allCommandsEnabled(h));
}

void TestSingleRegister::readBeyondTheMap()
{
    Harness h;
    Frame f(h);
    f.set(QStringLiteral("A5"), QString());
    f.read->click();
    QCOMPARE(h.port.commands(), QStringList{"R0x00A5 0x1 "});
    QCOMPARE(f.data->text(), QStringLiteral("00"));
}

void TestSingleRegister::writeSendsThenUpdatesBox()
{
    Harness h;
    Frame f(h);
    QVERIFY(h.form->link().Connect_Board());
    f.set(QStringLiteral("06"), QStringLiteral("80"));
    h.log.events.clear();
    f.write->click();
    // The direct write uses the open port as it is; the box change resets it.
    QCOMPARE(h.log.events.first(), QStringLiteral("send W"));
    QCOMPARE(h.port.writes(), (QStringList{"06=80", "06=80"}));
    QCOMPARE(h.text(0x06), QStringLiteral("80"));
    QCOMPARE(h.slider(0x06)->value(), 128);
    QVERIFY(allCommandsEnabled(h));
}

void TestSingleRegister::writeOfTextTheBoxHoldsWritesOnce()
{
    Harness h;
    Frame f(h);
    h.setText(0x03, QStringLiteral("4C"));
    h.port.clearReceived();
    f.set(QStringLiteral("03"), QStringLiteral("4C"));
    f.write->click();
    QCOMPARE(h.port.writes(), QStringList{"03=4C"});
}

void TestSingleRegister::writeWithPortClosedGoesThroughBox()
{
    Harness h;
    Frame f(h);
    f.set(QStringLiteral("07"), QStringLiteral("44"));
    f.write->click();
    QCOMPARE(h.port.writes(), QStringList{"07=44"});
    QVERIFY(h.log.events.indexOf(QStringLiteral("open")) < h.log.events.indexOf(QStringLiteral("send W")));
    QCOMPARE(h.text(0x07), QStringLiteral("44"));
}

void TestSingleRegister::writeBeyondTheMapSkipsBox()
{
    Harness h;
    Frame f(h);
    QVERIFY(h.form->link().Connect_Board());
    f.set(QStringLiteral("41"), QStringLiteral("12"));
    f.write->click();
    QCOMPARE(h.port.commands(), QStringList{"W0x0041 0x1 0x12 "});
    for (int a = 0; a < 64; ++a)
        QVERIFY(h.text(a).isEmpty() || h.text(a) == QStringLiteral("  "));
    QVERIFY(allCommandsEnabled(h));
}

void TestSingleRegister::writeKeepsDataAsTyped()
{
    Harness h;
    Frame f(h);
    QVERIFY(h.form->link().Connect_Board());
    f.set(QStringLiteral("0C"), QStringLiteral("005"));
    f.write->click();
    // The box holds the text as typed, though it is longer than one may type.
    QCOMPARE(h.text(0x0C), QStringLiteral("005"));
    QCOMPARE(h.port.writes(), (QStringList{"0C=05", "0C=05"}));
}

void TestSingleRegister::fieldsThatAreNoByte_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("message");
    const QString dataMessage = QStringLiteral("The Data box must hold a hexadecimal byte, 00 to FF.");
    const QString addressMessage = QStringLiteral("The Address box must hold a hexadecimal byte, 00 to FF.");
    QTest::newRow("write, Data empty") << "06" << "" << true << dataMessage;
    QTest::newRow("write, Data above FF") << "06" << "100" << true << dataMessage;
    QTest::newRow("write, Address empty") << "" << "12" << true << addressMessage;
    QTest::newRow("write, both empty: Data first") << "" << "" << true << dataMessage;
    QTest::newRow("read, Address empty") << "" << "" << false << addressMessage;
}

void TestSingleRegister::fieldsThatAreNoByte()
{
    QFETCH(QString, address);
    QFETCH(QString, data);
    QFETCH(bool, write);
    QFETCH(QString, message);
    Harness h;
    Frame f(h);
    f.set(address, data);
    (write ? f.write : f.read)->click();
    QVERIFY(h.port.received().isEmpty());
    QCOMPARE(h.port.opens(), 0);
    QCOMPARE(h.messages.texts(), QStringList{message});
    QCOMPARE(h.messages.shown.first().caption, QStringLiteral("KV71xx"));
    QCOMPARE(f.data->text(), data);
    QVERIFY(allCommandsEnabled(h));
}

void TestSingleRegister::readWithPortThatDoesNotOpen()
{
    Harness h;
    Frame f(h);
    h.port.refuseOpen = true;
    f.set(QStringLiteral("06"), QStringLiteral("55"));
    f.read->click();
    f.read->click();
    QCOMPARE(h.messages.shown.size(), 1);
    QVERIFY(h.messages.shown.first().text.startsWith(QStringLiteral("Cannot open serial port COM1")));
    QCOMPARE(f.data->text(), QStringLiteral("55"));
    QVERIFY(allCommandsEnabled(h));
}

void TestSingleRegister::typing()
{
    Harness h;
    Frame f(h);
    f.address->clear();
    QTest::keyClicks(f.address, QStringLiteral("1b3"));
    QCOMPARE(f.address->text(), QStringLiteral("1B"));
    QTest::keyClicks(f.data, QStringLiteral("12345g"));
    QCOMPARE(f.data->text(), QStringLiteral("12345"));
    QVERIFY(h.port.received().isEmpty());
}

QTEST_MAIN(TestSingleRegister)
#include "tst_singleregister.moc"
