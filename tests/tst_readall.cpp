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

const QStringList lockedCommands{"WriteRegCommand", "ReadRegCommand", "ReadAllRegisters", "nVideoModeInput"};

bool commandEnabled(const Form1 &form, const QString &name)
{
    if (auto *action = form.findChild<QAction *>(name))
        return action->isEnabled();
    return form.findChild<QWidget *>(name)->isEnabled();
}

// At every step of the bar: its value and whether each locked command was enabled.
struct Recorder
{
    QList<double> percents;
    QList<QList<bool>> enabled;
    QList<bool> otherMenusEnabled;
};

void record(Harness &h, Recorder *recorder)
{
    auto *bar = h.form->findChild<ProgressBar *>(QStringLiteral("ProgressBar1"));
    QObject::connect(bar, &QProgressBar::valueChanged, h.form.get(), [&h, bar, recorder] {
        recorder->percents.append(bar->percent());
        QList<bool> states;
        for (const QString &name : lockedCommands)
            states.append(commandEnabled(*h.form, name));
        recorder->enabled.append(states);
        recorder->otherMenusEnabled.append(
            commandEnabled(*h.form, QStringLiteral("nFileSaveRegisterAs"))
            && commandEnabled(*h.form, QStringLiteral("mDisconnectSerial")));
    });
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
    void silentBoard();
    void portThatDoesNotOpenIsSilent();
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
    QCOMPARE(h.port.received().left(3), QByteArray("QQQ"));
    for (int a = 0; a < 64; ++a)
        QCOMPARE(h.text(a), hex2(h.port.board().chipRegister(a)));
    QCOMPARE(h.text(0x06), QStringLiteral("99"));
    QCOMPARE(h.slider(0x06)->value(), 0x11);
    QVERIFY(!h.form->boxes().ReadingAllRegisters);
    QVERIFY(h.messages.shown.isEmpty());
}

void TestReadAll::progressAndCommandLock()
{
    Harness h;
    Recorder recorder;
    record(h, &recorder);
    h.log.events.clear();
    clickReadAll(h);
    QCOMPARE(recorder.percents, (QList<double>{12.5, 25, 37.5, 50, 62.5, 75, 87.5, 100, 0}));
    // The bar starts at 0 already, so the first step shows no change.
    // The bar is back at 0 before the commands are enabled again.
    for (int i = 0; i < recorder.percents.size(); ++i) {
        QCOMPARE(recorder.enabled.at(i), (QList<bool>{false, false, false, false}));
        QVERIFY(recorder.otherMenusEnabled.at(i));
    }
    for (const QString &name : lockedCommands)
        QVERIFY(commandEnabled(*h.form, name));
    // Events run after each bar step; the closing half second lets none run.
    QCOMPARE(h.log.events.count(QStringLiteral("pause 0.5")), 2);
    QCOMPARE(h.log.events.last(), QStringLiteral("pause 0.5"));
    QCOMPARE(h.log.events.count(QStringLiteral("yield")), 1 + 8);
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

void TestReadAll::silentBoard()
{
    sim::BoardOptions silent;
    silent.fault = sim::BoardOptions::Fault::Silent;
    Harness h(silent);
    clickReadAll(h);
    for (int a = 0; a < 64; ++a)
        QCOMPARE(h.text(a), a % 16 == 0 ? QStringLiteral("00") : QString());
    QCOMPARE(h.messages.shown.size(), 1);
    for (const QString &name : lockedCommands)
        QVERIFY(commandEnabled(*h.form, name));
    QCOMPARE(h.form->findChild<ProgressBar *>(QStringLiteral("ProgressBar1"))->percent(), 0.0);
    QVERIFY(!h.form->boxes().ReadingAllRegisters);
}

void TestReadAll::portThatDoesNotOpenIsSilent()
{
    Harness h;
    h.port.refuseOpen = true;
    clickReadAll(h);
    for (int a = 0; a < 64; ++a)
        QCOMPARE(h.text(a), a % 16 == 0 ? QStringLiteral("00") : QString());
    QVERIFY(h.messages.shown.isEmpty());
    QVERIFY(h.port.received().isEmpty());
    for (const QString &name : lockedCommands)
        QVERIFY(commandEnabled(*h.form, name));
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
    QCOMPARE(form.boxes().reg_KV7103(0x00)->text(), hex2(sim::BoardCore::powerOnValue(0x00)));
    for (int a = 0; a < 64; ++a)
        QCOMPARE(form.boxes().reg_KV7103(a)->text(), hex2(sim::BoardCore::powerOnValue(a)));
    board.terminate();
    QVERIFY(board.waitForFinished());
}

QTEST_MAIN(TestReadAll)
#include "tst_readall.moc"
