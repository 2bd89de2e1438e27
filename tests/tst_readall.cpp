// Read All: four burst reads into the 64 boxes, progress, the command lock,
// failures, and one run against the simulated board over a real pty.

#include "harness.h"

#include "app/progressbar.h"
#include "app/realplatform.h"
#include "link/boardlink.h"
#include "registers/readall.h"
#include "registers/registerboxes.h"
#include "registers/registermap.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

QString hex2(int value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

// Whether the four locked commands are enabled, as "1111".
QString commandStates(const Form1 &form)
{
    QString states;
    for (const char *name : {"WriteRegCommand", "ReadRegCommand", "ReadAllRegisters"})
        states += form.findChild<QWidget *>(QLatin1String(name))->isEnabled() ? '1' : '0';
    states += form.findChild<QAction *>(QStringLiteral("nVideoModeInput"))->isEnabled() ? '1' : '0';
    return states;
}

void clickReadAll(Harness &h)
{
    h.form->findChild<QPushButton *>(QStringLiteral("ReadAllRegisters"))->click();
}

} // namespace

class TestReadAll : public QObject
{
    Q_OBJECT

private slots:
    void fillsAllBoxesWithoutWriting();
    void progressAndCommandLock();
    void nextEditNormalisesSliderBoxes();
    void failures_data();
    void failures();
    void realBoardOverPty();
};

void TestReadAll::fillsAllBoxesWithoutWriting()
{
    Harness h;
    h.setText(0x06, QStringLiteral("11")); // a slider that must stay
    h.port.board().setChipRegister(0x06, 0x99);
    h.port.clearReceived();
    clickReadAll(h);
    QCOMPARE(h.port.commands(), (QStringList{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ",
                                             "R0x0030 0x10 "}));
    for (int a = 0; a < 64; ++a)
        QCOMPARE(h.text(a), hex2(h.port.board().chipRegister(a)));
    QCOMPARE(h.text(0x06), QStringLiteral("99"));
    QCOMPARE(h.slider(0x06)->value(), 0x11);
}

void TestReadAll::progressAndCommandLock()
{
    Harness h;
    auto *bar = h.form->findChild<ProgressBar *>(QStringLiteral("ProgressBar1"));
    QStringList steps; // each bar value with the command states at that moment
    connect(bar, &QProgressBar::valueChanged, this, [&] {
        steps.append(QString::number(bar->percent()) + QLatin1Char(' ') + commandStates(*h.form));
    });
    h.log.events.clear();
    clickReadAll(h);
    // The bar starts at 0, so the first step shows no change; it is back at 0
    // before the commands are enabled again.
    QCOMPARE(steps, (QStringList{"12.5 0000", "25 0000", "37.5 0000", "50 0000", "62.5 0000",
                                 "75 0000", "87.5 0000", "100 0000", "0 0000"}));
    QCOMPARE(commandStates(*h.form), QStringLiteral("1111"));
    // Events run after each step; the closing half second lets none run.
    QCOMPARE(h.log.events.count(QStringLiteral("yield")), 1 + 8);
    QCOMPARE(h.log.events.last(), QStringLiteral("pause 0.5"));
}

void TestReadAll::nextEditNormalisesSliderBoxes()
{
    Harness h;
    clickReadAll(h);
    h.port.clearReceived();
    h.setText(0x03, QStringLiteral("7D"));

    // Each slider the update moves (from 0) rewrites its box; where that
    // changes the text ("08" becomes "8"), the register is written again.
    QStringList expected{"03=7D"};
    for (const int a : RegisterMap::sliderAddresses()) {
        const int value = h.port.board().chipRegister(a);
        if (value != 0 && hex2(value) != RegisterMap::sliderText(value))
            expected.append(hex2(a) + QLatin1Char('=') + hex2(value));
    }
    QVERIFY(expected.size() > 3);
    QCOMPARE(h.port.writes(), expected);
    for (const int a : RegisterMap::sliderAddresses()) {
        const int value = h.port.board().chipRegister(a);
        QCOMPARE(h.slider(a)->value(), value);
        QCOMPARE(h.text(a), value == 0 ? QStringLiteral("00") : RegisterMap::sliderText(value));
    }
}

// A silent board and a port that does not open leave the first box of each
// block "00" and the others empty; only the silent board is reported.
void TestReadAll::failures_data()
{
    QTest::addColumn<bool>("refuseOpen");
    QTest::addColumn<int>("messages");
    QTest::newRow("silent board") << false << 1;
    QTest::newRow("port does not open") << true << 0;
}

void TestReadAll::failures()
{
    QFETCH(bool, refuseOpen);
    QFETCH(int, messages);
    sim::BoardOptions silent;
    silent.fault = sim::BoardOptions::Fault::Silent;
    Harness h(silent);
    h.port.refuseOpen = refuseOpen;
    clickReadAll(h);
    for (int a = 0; a < 64; ++a)
        QCOMPARE(h.text(a), a % 16 == 0 ? QStringLiteral("00") : QString());
    QCOMPARE(h.messages.shown.size(), messages);
    QCOMPARE(commandStates(*h.form), QStringLiteral("1111"));
    QVERIFY(!h.form->boxes().ReadingAllRegisters);
}

// The real serial port and clock against kv71xx-board at 9600 baud pace.
void TestReadAll::realBoardOverPty()
{
    Harness h; // fakes for everything but the port and the clock
    QProcess board;
    board.start(QStringLiteral(KV71XX_BOARD_EXE),
                {QStringLiteral("--link"), h.dir.filePath(QStringLiteral("COM1")),
                 QStringLiteral("--pace"), QStringLiteral("--log"),
                 h.dir.filePath(QStringLiteral("board.log"))});
    QVERIFY(board.waitForReadyRead(10000));
    QVERIFY(board.readLine().startsWith("ready "));

    QtSerialPort port;
    RealClock clock;
    Form1 form({port, clock, h.messages, h.instance, h.end});
    QVERIFY(form.Form_Load());
    const double start = clock.seconds();
    form.findChild<QPushButton *>(QStringLiteral("ReadAllRegisters"))->click();
    // Two half seconds at least: the link reset and the closing pause.
    QVERIFY(clock.seconds() - start >= 1.0);
    QVERIFY2(h.messages.shown.isEmpty(), qPrintable(h.messages.texts().join(QLatin1Char('|'))));
    for (int a = 0; a < 64; ++a)
        QCOMPARE(form.boxes().reg_KV7103(a)->text(), hex2(sim::BoardCore::powerOnValue(a)));
    board.terminate();
    QVERIFY(board.waitForFinished());
}

QTEST_MAIN(TestReadAll)
#include "tst_readall.moc"
