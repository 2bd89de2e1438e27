#include "harness.h"

#include "modes/videomode.h"
#include "registers/hexinput.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QtTest>

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
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
