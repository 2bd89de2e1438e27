// The input video mode dialog: what OK sends, whatever comes in its way.

#include "harness.h"
#include "texts.h"

#include "modes/videomode.h"
#include "registers/registerboxes.h"

#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

namespace {

const QStringList Reads = {"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "};
const QStringList Option2 = {"Y0x0000 0x1 0x01 ", "W0x000E 0x1 0x06 ", "W0x000F 0x1 0x98 ", "W0x0018 0x1 0x00 "};
const QString NotApplied = QStringLiteral("Input video mode SXGA (1280x1024) 60Hz/108MHz not applied: %1 not confirmed by the board.");

} // namespace

class TestModes : public QObject
{
    Q_OBJECT

private slots:
    // Steps on the dialog, opened (or brought forward) before each: a number
    // clicks that option; Enter and Escape press no button. "R" in the
    // commands stands for the four burst reads.
    void okSendsThePreset_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("fault"); // 0: a good board, -1: the port does not open, else silent from byte N on
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("after"); // boxes 0x0E, 0x0F, 0x18, FPGA register 0x00
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("status");
        QTest::newRow("start-up") << QStringList{"OK"} << 0 << Option2 + QStringList{"R"} << "06|98|00|1" << ""
                                  << "Input video mode SXGA (1280x1024) 60Hz/108MHz applied.";
        QTest::newRow("Option4, Option3") << QStringList{"4", "OK", "3", "OK"} << 0
            << QStringList{"Y0x0000 0x1 0x03 ", "W0x000E 0x1 0x0D ", "W0x000F 0x1 0x30 ", "W0x0018 0x1 0x01 ", "R",
                           "Y0x0000 0x1 0x02 ", "W0x000E 0x1 0x06 ", "W0x000F 0x1 0x98 ", "W0x0018 0x1 0x00 ", "R"}
            << "06|98|00|2" << "" << "Input video mode SXGA (1280x1024) 75Hz/135MHz applied.";
        QTest::newRow("Cancel keeps Option7, close drops it") << QStringList{"7", "Enter", "Escape", "Cancel", "OK", "close", "OK"} << 0
            << QStringList{"Y0x0000 0x1 0x06 ", "W0x000E 0x1 0x04 ", "W0x000F 0x1 0x20 ", "W0x0018 0x1 0x00 ", "R",
                           "Y0x0000 0x1 0x07 ", "W0x000E 0x1 0x03 ", "W0x000F 0x1 0x20 ", "W0x0018 0x1 0x00 ", "R"}
            << "03|20|00|7" << "" << "Input video mode VGA (640x480) 60Hz/21.175MHz applied.";
        // Silent from the last character of the 0x0E write: reset, FPGA write, 16 characters.
        QTest::newRow("silent in 0x0E") << QStringList{"OK"} << 3 + 17 + 16 << Option2.mid(0, 2) + QStringList{"R"}
            << "  |  ||1" << Texts::echo << NotApplied.arg("PLL Htotal MSB (0x0E), PLL Htotal LSB (0x0F), Output Format (0x18)");
        QTest::newRow("port does not open") << QStringList{"OK"} << -1 << QStringList{} << "  |  ||0"
            << Texts::cannotOpen(1, "/dev/sim1", "No such file or directory")
            << NotApplied.arg("FPGA Board Mode (0x00), PLL Htotal MSB (0x0E), PLL Htotal LSB (0x0F), Output Format (0x18)");
    }

    void okSendsThePreset()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, fault);
        QFETCH(QStringList, commands);
        Harness h({fault > 0 ? sim::BoardOptions::Fault::StopEchoAfter : sim::BoardOptions::Fault::None, fault});
        h.port.refuseOpen = fault < 0;
        QVERIFY(!h.dialog<VideoMode>()->isVisible());
        for (const QString &step : steps) {
            VideoMode *mode = h.dialog<VideoMode>("nVideoModeInput");
            if (step == QLatin1String("close"))
                mode->close();
            else if (step == QLatin1String("OK") || step == QLatin1String("Cancel"))
                h.click(qPrintable(step + QLatin1String("Button")));
            else if (step.startsWith('E'))
                QTest::keyClick(mode, step == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
            else
                mode->Option(step.toInt())->click();
            QCOMPARE(mode->isVisible(), step.startsWith('E') || step.at(0).isDigit());
        }
        QStringList expected;
        for (const QString &command : commands)
            expected << (command == QLatin1String("R") ? Reads : QStringList{command});
        QCOMPARE(h.port.commands(), expected);
        const QString fpga = QString::number(h.port.board().fpgaRegister(0x00));
        QTEST(QStringList({h.text(0x0E), h.text(0x0F), h.text(0x18), fpga}).join('|'), "after");
        QTEST(h.messages.texts().join('|'), "message");
        QTEST(h.form->statusBar()->currentMessage(), "status");
        QCOMPARE(h.form->boxes().mark(0x0E) == RegisterBoxes::Mark::NotRead, fault != 0);
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
    }

    // In the first wait of the first command: OK again, Read All, Save, and
    // the dialog closed. No second sequence starts; the dialog goes at the end.
    void okAmongOtherCommands_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<int>("enables"); // of the video mode item: once at the end of a command
        QTest::newRow("OK") << "OKButton" << Option2 + Reads << 1;
        QTest::newRow("Read All") << "ReadAllRegisters" << Reads << 1;
        QTest::newRow("box change") << "" << QStringList{"W0x0003 0x1 0x12 "} << 0;
    }

    void okAmongOtherCommands()
    {
        QFETCH(QString, first);
        Harness h;
        VideoMode *mode = h.dialog<VideoMode>("nVideoModeInput");
        int enables = 0;
        connect(h.find<QAction>("nVideoModeInput"), &QAction::enabledChanged, this, [&](bool on) { enables += on; });
        bool acted = false;
        h.clock.onWait = [&] { // first in the pause of the first link reset
            if (!acted) {
                acted = true;
                h.click("OKButton");
                h.click("ReadAllRegisters");
                h.find<QAction>("nFileSaveRegisterAs")->trigger();
                mode->close();
            }
        };
        if (first.isEmpty())
            h.setText(0x03, QStringLiteral("12"));
        else
            h.click(qPrintable(first));
        QTEST(h.port.commands(), "commands");
        QTEST(enables, "enables");
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
        QVERIFY(!h.dialog<VideoMode>());
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
