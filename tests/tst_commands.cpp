#include "harness.h"

#include "app/progressbar.h"
#include "modes/videomode.h"
#include "registers/hexinput.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QtTest>

#ifdef Q_OS_UNIX
#include "boardprocess.h"
#include "link/boardlink.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#endif

namespace {

void start(Harness &h, const QString &what)
{
    if (what == "slider")
        h.slider(0x07)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (what.startsWith('n'))
        h.find<QAction>(qPrintable(what))->trigger();
    else
        h.click(qPrintable(what));
}

// A file of 64 lines "7C", chosen in the next file dialog.
void offerFile(Harness &h)
{
    QFile file(h.dir.filePath("in.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(":7C\r\n").repeated(64)) > 0);
    h.fileDialog.answers.append(file.fileName());
}

#ifdef Q_OS_UNIX // the board on a pty
// Presses Esc (esc) or clicks Cancel as the n-th command letter goes out.
struct CancelAt : LinkMonitor
{
    void exchangeStarted(const QString &) override {}
    void sent(const QByteArray &bytes) override
    {
        if ((bytes == "W" || bytes == "R") && --letters == 0) {
            buttonShown = cancel->isVisible();
            esc ? QTest::keyClick(form, Qt::Key_Escape) : cancel->click();
        }
    }
    void received(const QByteArray &) override {}
    void failed(const QString &) override {}

    QWidget *form;
    QPushButton *cancel;
    int letters;
    bool esc;
    bool buttonShown = false;
};
#endif

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void inputDuringAnExchangeWaitsAndIsAppliedInOrder_data()
    {
        QTest::addColumn<int>("wait"); // the wait the input arrives in; 0: the reset
        QTest::newRow("reset") << 0;
        QTest::newRow("write") << 4;
        QTest::newRow("echo's write") << 22;
    }

    void inputDuringAnExchangeWaitsAndIsAppliedInOrder()
    {
        QFETCH(int, wait);
        Harness h;
        QLineEdit *box = h.box(0x06);
        h.setText(0x06, "40");
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace); // the echo leaves "0"
        h.port.received.clear();
        h.port.holdReplies = true;
        int waits = 0;
        const auto act = [&] {
            QTest::keyClick(box, Qt::Key_0);
            QTest::mouseClick(h.find("ReadAllRegisters"), Qt::LeftButton);
            h.slider(0x07)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        };
        h.clock.onWait = [&] {
            if (++waits == wait)
                act();
            h.port.release();
        };
        if (wait == 0)
            QTimer::singleShot(0, this, act);
        QTest::keyClick(box, Qt::Key_8);
        QTest::keyClick(box, Qt::Key_1); // past the limit after the held 0
        QTRY_VERIFY(h.port.commands().size() >= 7);
        QCOMPARE(h.port.received,
                 QByteArray("QQQW0x0006 0x1 0x08 QQQW0x0006 0x1 0x08 QQQW0x0006 0x1 0x80 "
                            "QQQR0x0000 0x10 R0x0010 0x10 R0x0020 0x10 R0x0030 0x10 "));
        QCOMPARE(h.text(0x06), "80");
    }

    void clicksOnDisabledCommandsDoNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Load") << "nFileLoadRegisterFrom";
        QTest::newRow("OK") << "OKButton";
        QTest::newRow("Read All") << "ReadAllRegisters";
    }

    void clicksOnDisabledCommandsDoNothing()
    {
        QFETCH(QString, command);
        const auto run = [&](bool clicks) {
            Harness h;
            HexInput::setProgramText(h.find<QLineEdit>("Address"), "03");
            HexInput::setProgramText(h.find<QLineEdit>("Data"), "55");
            h.dialog<VideoMode>("nVideoModeInput");
            offerFile(h);
            h.clock.onWait = [&] {
                if (std::exchange(clicks, false)) {
                    for (const char *name : {"WriteRegCommand", "ReadRegCommand", "ReadAllRegisters", "OKButton"})
                        QTest::mouseClick(h.find(name), Qt::LeftButton);
                }
            };
            start(h, command);
            QTest::qWait(0); // held input is replayed
            QStringList boxes;
            for (int a = 0; a < 64; ++a)
                boxes.append(h.text(a));
            return std::make_pair(h.port.received, boxes);
        };
        const auto plain = run(false);
        const auto clicked = run(true);
        QCOMPARE(clicked.first, plain.first);
        QCOMPARE(clicked.second, plain.second);
    }

    void aRefusedCommandSaysWhatRuns_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("wait"); // the wait of the first it starts in; from the second on, in a box's write
        const auto row = [](const char *first, const char *second, const QString &refused, const QString &runs,
                            int wait = 1) {
            QTest::addRow("%s in %s, wait %d", second, first, wait)
                << first << second << refused + " was not started: " + runs + " is running." << wait;
        };
        const QString box = "a write of register 07";
        row("ReadAllRegisters", "nFileLoadRegisterFrom", "Load Registers", "Read All");
        row("nFileLoadRegisterFrom", "nFileSaveRegisterAs", "Save Registers", "Load Registers", 2);
        row("nFileLoadRegisterFrom", "nFileSaveRegisterAs", "Save Registers", "Load Registers");
        row("OKButton", "nFileLoadRegisterFrom", "Load Registers", "Input video mode OK");
        row("slider", "OKButton", "Input video mode OK", box);
        row("slider", "WriteRegCommand", "Write", box);
        row("slider", "ReadAllRegisters", "Read All", box);
    }

    void aRefusedCommandSaysWhatRuns()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, wait);
        Harness h;
        h.dialog<VideoMode>("nVideoModeInput");
        offerFile(h);
        QString said;
        h.clock.onWait = [&] {
            if (--wait != 0)
                return;
            const QString now = second;
            h.port.received.clear();
            start(h, now);
            said = h.status();
            QCOMPARE(h.port.received, QByteArray());
        };
        start(h, first);
        QTEST(said, "status");
    }

    void aMenuTipLeavesTheStatusLine()
    {
        Harness h;
        h.form->show();
        h.click("ReadAllRegisters");
        QStatusTipEvent hovered("tip");
        QCoreApplication::sendEvent(h.form.get(), &hovered);
        QStatusTipEvent left{QString()};
        QCoreApplication::sendEvent(h.form.get(), &left);
        QCOMPARE(h.status(), "Read all 64 registers.");
        QVERIFY(h.find<QLabel>("StatusLine")->isVisible());
    }

#ifdef Q_OS_UNIX // the board on a pty
    void cancelStopsALongCommandAfterTheExchangeInFlight_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("letters");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("status");
        const QByteArray load = "QQQW0x0000 0x1 0x7C QQQW0x0001 0x1 0x7C ";
        QByteArray burst = "QQQW0x0000 0x40";
        for (int k = 0; k < 64; ++k)
            burst += " 0x7C";
        const QByteArray reads = "R0x0000 0x10 R0x0010 0x10 R0x0020 0x10 ";
        QTest::newRow("Load, Esc in the 2nd line")
            << "nFileLoadRegisterFrom" << 2 << "QQQ" + load << 2 << "Load cancelled after 2 of 64 registers.";
        QTest::newRow("Read All, Cancel in the 1st burst") << "ReadAllRegisters" << 1 << "QQQ" + reads.left(13) << 16
                                                           << "Read All cancelled after 16 of 64 registers.";
        QTest::newRow("Read All, Esc in the 3rd burst")
            << "ReadAllRegisters" << 3 << "QQQ" + reads << 48 << "Read All cancelled after 48 of 64 registers.";
        QTest::newRow("Quick Load, Esc in the write")
            << "mQuickLoad" << 1 << burst + ' ' << 0
            << "Quick Load cancelled after 64 of 64 values written and 0 of 64 registers read back.";
        QTest::newRow("Quick Load, Cancel in the 2nd read")
            << "mQuickLoad" << 3 << burst + ' ' + reads.left(26) << 32
            << "Quick Load cancelled after 64 of 64 values written and 32 of 64 registers read back.";
        QTest::newRow("Compare, Esc in the 1st burst") << "mCompareWithFile" << 1 << "QQQ" + reads.left(13) << 16
                                                       << "Compare cancelled after 16 of 64 registers read; nothing "
                                                          "was compared.";
    }

    void cancelStopsALongCommandAfterTheExchangeInFlight()
    {
        QFETCH(QString, command);
        QFETCH(int, letters);
        QFETCH(QByteArray, wire);
        QFETCH(int, done);
        QFETCH(QString, status);
        Harness h;
        QtSerialPort port;
        RealClock clock;
        Form1 form(h.platform(port, clock));
        QVERIFY(form.Form_Load());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        sim::BoardProcess board({"COM1", {}, false, h.dir.filePath("board.log")});
        auto *cancel = form.findChild<QPushButton *>("CancelCommand");
        CancelAt monitor;
        monitor.form = &form, monitor.cancel = cancel, monitor.letters = letters;
        monitor.esc = QByteArray(QTest::currentDataTag()).contains("Esc");
        form.link().addMonitor(&monitor);
        QStringList before;
        for (int a = 0; a < 64; ++a)
            before.append(form.boxes().reg_KV7103(a)->text());
        offerFile(h);
        if (auto *item = form.findChild<QAction *>(qPrintable(command)))
            item->trigger();
        else
            form.findChild<QPushButton *>(qPrintable(command))->click();
        QVERIFY(monitor.buttonShown);
        QVERIFY(!cancel->isVisible());
        QCOMPARE(board.received(), wire);
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(form.boxes().reg_KV7103(a)->text() == before.at(a), a >= done);
            QCOMPARE(form.boxes().mark(a), RegisterBoxes::Mark::None);
        }
        QCOMPARE(form.findChild<ProgressBar *>("ProgressBar1")->percent(), 0.0);
        QCOMPARE(form.findChild<StatusLine *>("StatusLine")->status(), status);
        QCOMPARE(h.messages.texts(), QStringList());
    }
#endif
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
