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
        , videoMode(h.form->findChild<QAction *>(QStringLiteral("nVideoModeInput")))
    {}

    void click(QPushButton *button, const char *addressText, const char *dataText)
    {
        address->setText(QLatin1String(addressText));
        data->setText(QLatin1String(dataText));
        button->click();
        // Whatever happened, the commands are enabled again.
        QVERIFY(read->isEnabled() && write->isEnabled() && videoMode->isEnabled());
    }

    QLineEdit *address;
    QLineEdit *data;
    QPushButton *read;
    QPushButton *write;
    QAction *videoMode;
};

} // namespace

class TestSingleRegister : public QObject
{
    Q_OBJECT

private slots:
    void readShowsAnswerAndLeavesBoxAlone();
    void writeSendsThenUpdatesBox();
    void writeWithPortClosedGoesThroughBox();
    void fieldsThatAreNoByte_data();
    void fieldsThatAreNoByte();
};

void TestSingleRegister::readShowsAnswerAndLeavesBoxAlone()
{
    Harness h;
    Frame f(h);
    h.port.board().setChipRegister(0x06, 0x80);
    f.click(f.read, "06", "77");
    QCOMPARE(f.data->text(), QStringLiteral("80"));
    QCOMPARE(h.text(0x06), QStringLiteral("  "));
    f.click(f.read, "A5", "");
    QCOMPARE(h.port.received(), QByteArray("QQQR0x0006 0x1 QQQR0x00A5 0x1 "));
    QCOMPARE(f.data->text(), QStringLiteral("00"));
    h.port.refuseOpen = true;
    f.click(f.read, "06", "55");
    f.click(f.read, "06", "55");
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(f.data->text(), QStringLiteral("55"));
}

void TestSingleRegister::writeSendsThenUpdatesBox()
{
    Harness h;
    Frame f(h);
    QVERIFY(h.form->link().Connect_Board());
    h.log.events.clear();
    f.click(f.write, "06", "80");
    // The direct write uses the open port as it is; the box change resets it.
    QCOMPARE(h.log.events.first(), QStringLiteral("send W"));
    QCOMPARE(h.port.writes(), (QStringList{"06=80", "06=80"}));
    QCOMPARE(h.slider(0x06)->value(), 128);
    f.click(f.write, "06", "80"); // the box holds that text already
    QCOMPARE(h.port.writes().size(), 3);
    f.click(f.write, "0C", "005"); // kept as typed, though longer than one may type
    QCOMPARE(h.text(0x0C), QStringLiteral("005"));
    QCOMPARE(h.port.writes().mid(3), (QStringList{"0C=05", "0C=05"}));
    h.port.clearReceived();
    f.click(f.write, "41", "12"); // beyond the map: no box to update
    QCOMPARE(h.port.commands(), QStringList{"W0x0041 0x1 0x12 "});
}

void TestSingleRegister::writeWithPortClosedGoesThroughBox()
{
    Harness h;
    Frame f(h);
    f.click(f.write, "07", "44");
    QCOMPARE(h.port.received(), QByteArray("QQQW0x0007 0x1 0x44 "));
    QCOMPARE(h.text(0x07), QStringLiteral("44"));
}

void TestSingleRegister::fieldsThatAreNoByte_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("field");
    QTest::newRow("write, Data empty") << true << "06" << "" << "Data";
    QTest::newRow("write, Data above FF") << true << "06" << "100" << "Data";
    QTest::newRow("write, Address empty") << true << "" << "12" << "Address";
    QTest::newRow("read, Address empty") << false << "" << "" << "Address";
}

void TestSingleRegister::fieldsThatAreNoByte()
{
    QFETCH(bool, write);
    QFETCH(QString, address);
    QFETCH(QString, data);
    QFETCH(QString, field);
    Harness h;
    Frame f(h);
    f.click(write ? f.write : f.read, qPrintable(address), qPrintable(data));
    QCOMPARE(h.port.opens(), 0);
    QCOMPARE(h.messages.texts(),
             QStringList{QStringLiteral("The %1 box must hold a hexadecimal byte, 00 to FF.").arg(field)});
    QCOMPARE(f.data->text(), data);
}

QTEST_MAIN(TestSingleRegister)
#include "tst_singleregister.moc"
