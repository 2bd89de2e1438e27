// The command lock and the input hold: one exchange with the board at a time, input held or dropped.

#include "harness.h"

#include "modes/videomode.h"
#include "registers/hexinput.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QtTest>

namespace {

// Starts a command or a box change as the user does.
void start(Harness &h, const QString &what)
{
    if (what == QLatin1String("slider"))
        h.slider(0x07)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (what.startsWith('n'))
        h.find<QAction>(qPrintable(what))->trigger();
    else
        h.click(qPrintable(what));
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    // Keys and clicks during a box's exchange wait, then land in order (box and chip as typed, Read All
    // after, no reset inside another exchange); a slider move made inside a wait is refused.
    void inputDuringAnExchange_data()
    {
        QTest::addColumn<int>("wait"); // the blocking wait the input arrives in; 0: the reset
        // clang-format off
        QTest::newRow("during the link reset") << 0;
        QTest::newRow("while the write is on the line") << 4;
        QTest::newRow("during the slider echo's write") << 22;
        // clang-format on
    }

    void inputDuringAnExchange()
    {
        QFETCH(int, wait);
        Harness h;
        h.setText(0x06, QStringLiteral("40"));
        h.box(0x06)->selectAll();
        QTest::keyClick(h.box(0x06), Qt::Key_Backspace); // the slider's echo leaves "0"
        h.port.received.clear();
        h.port.holdReplies = true;
        int waits = 0;
        const auto act = [&] {
            QTest::keyClick(h.box(0x06), Qt::Key_0);
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
        QTest::keyClick(h.box(0x06), Qt::Key_8);
        QTest::keyClick(h.box(0x06), Qt::Key_1); // after the held 0, so past the box's limit
        QTRY_VERIFY(h.port.commands().size() >= 7);
        QCOMPARE(h.port.received,
                 QByteArray("QQQW0x0006 0x1 0x08 QQQW0x0006 0x1 0x08 QQQW0x0006 0x1 0x80 "
                            "QQQR0x0000 0x10 R0x0010 0x10 R0x0020 0x10 R0x0030 0x10 "));
        QCOMPARE(h.text(0x06), QStringLiteral("80"));
    }

    // Address 03 and Data 55 stand ready; one click on each greyed-out command and on the dialog's OK in
    // the first wait of the running command: the board gets the same bytes and the boxes the same texts.
    void clicksOnDisabledCommandsDoNothing_data()
    {
        QTest::addColumn<QString>("command");
        // clang-format off
        QTest::newRow("Load") << "nFileLoadRegisterFrom";
        QTest::newRow("OK") << "OKButton";
        QTest::newRow("Read All") << "ReadAllRegisters";
        // clang-format on
    }

    void clicksOnDisabledCommandsDoNothing()
    {
        QFETCH(QString, command);
        const auto run = [&](bool clicks) {
            Harness h;
            HexInput::setProgramText(h.find<QLineEdit>("Address"), QStringLiteral("03"));
            HexInput::setProgramText(h.find<QLineEdit>("Data"), QStringLiteral("55"));
            h.dialog<VideoMode>("nVideoModeInput");
            QFile file(h.dir.filePath(QStringLiteral("in.txt")));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(":7C\r\n").repeated(64));
            file.close();
            h.fileDialog.answers.append(file.fileName());
            h.clock.onWait = [&] {
                for (const char *name : {"WriteRegCommand", "ReadRegCommand", "ReadAllRegisters", "OKButton"}) {
                    if (clicks)
                        QTest::mouseClick(h.find(name), Qt::LeftButton);
                }
                clicks = false;
            };
            start(h, command);
            QTest::qWait(0); // held input, if any, is replayed now
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

    // A command chosen in the first wait of another is not started; the status line says what runs.
    void aRefusedCommandSaysWhatRuns_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("status");
        // clang-format off
        QTest::newRow("Load in Read All") << "ReadAllRegisters" << "nFileLoadRegisterFrom"
                                          << "Load Registers was not started: Read All is running.";
        QTest::newRow("Save in Load") << "nFileLoadRegisterFrom" << "nFileSaveRegisterAs"
                                      << "Save Registers was not started: Load Registers is running.";
        QTest::newRow("Load in OK") << "OKButton" << "nFileLoadRegisterFrom"
                                    << "Load Registers was not started: Input video mode OK is running.";
        QTest::newRow("OK in a slider's link reset") << "slider" << "OKButton"
            << "Input video mode OK was not started: a write of register 07 is running.";
        QTest::newRow("Write in a box's write") << "slider" << "WriteRegCommand"
            << "Write was not started: a write of register 07 is running.";
        QTest::newRow("Read All in a box's write") << "slider" << "ReadAllRegisters"
            << "Read All was not started: a write of register 07 is running.";
        // clang-format on
    }

    void aRefusedCommandSaysWhatRuns()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        Harness h;
        h.dialog<VideoMode>("nVideoModeInput");
        QString said;
        h.clock.onWait = [&] {
            const QString now = std::exchange(second, QString());
            if (now.isEmpty())
                return;
            h.port.received.clear();
            start(h, now);
            said = h.status();
            QCOMPARE(h.port.received, QByteArray());
        };
        start(h, first);
        QTEST(said, "status");
    }

    // Qt shows a menu item's tip in the status bar while the item is hovered: the command's line comes back.
    void aMenuTipLeavesTheStatusLine()
    {
        Harness h;
        h.form->show();
        h.click("ReadAllRegisters");
        QStatusTipEvent hovered(QStringLiteral("tip"));
        QCoreApplication::sendEvent(h.form.get(), &hovered);
        QStatusTipEvent left{QString()};
        QCoreApplication::sendEvent(h.form.get(), &left);
        QCOMPARE(h.status(), QStringLiteral("Read all 64 registers."));
        QVERIFY(h.find<QLabel>("StatusLine")->isVisible());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
