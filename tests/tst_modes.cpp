// The input video mode dialog: what OK sends, whatever comes in its way.

#include "harness.h"
#include "texts.h"

#include "modes/videomode.h"
#include "registers/registerboxes.h"

#include <QRadioButton>
#include <QtTest>

const QString Reads = QStringLiteral("R0x0000 0x10 R0x0010 0x10 R0x0020 0x10 R0x0030 0x10 ");
const QString Option2 = QStringLiteral("Y0x0000 0x1 0x01 W0x000E 0x1 0x06 W0x000F 0x1 0x98 W0x0018 0x1 0x00 ");
const QString NotApplied = QStringLiteral("Input video mode SXGA (1280x1024) 60Hz/108MHz not applied: %1 ");
const QString NotRead = QStringLiteral("Read All: 64 of 64 registers not read, the %1.");

class TestModes : public QObject
{
    Q_OBJECT

private slots:
    // Steps on the dialog, opened (or brought forward) before each: a number clicks that option;
    // Enter and Escape press no button. "R" in the commands stands for the four burst reads.
    void okSendsThePreset_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("fault"); // 0: a good board, -1: the port does not open, else silent from byte N on
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QStringList>("boxes"); // 0x0E, 0x0F, 0x18
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("status");
        // clang-format off
        QTest::newRow("start-up, Option4, Option3, Option5") << QStringList{"OK", "4", "OK", "3", "OK", "5", "OK"} << 0
            << Option2 + "R Y0x0000 0x1 0x03 W0x000E 0x1 0x0D W0x000F 0x1 0x30 W0x0018 0x1 0x01 R "
                         "Y0x0000 0x1 0x02 W0x000E 0x1 0x06 W0x000F 0x1 0x98 W0x0018 0x1 0x00 R "
                         "Y0x0000 0x1 0x04 W0x000E 0x1 0x05 W0x000F 0x1 0x40 W0x0018 0x1 0x00 R "
            << QStringList{"05", "40", "00"} << QStringList() << "Input video mode XGA (1024x768) 60Hz/65MHz applied.";
        QTest::newRow("Cancel keeps Option7, close drops it")
            << QStringList{"7", "Enter", "Escape", "Cancel", "OK", "close", "OK"} << 0
            << "Y0x0000 0x1 0x06 W0x000E 0x1 0x04 W0x000F 0x1 0x20 W0x0018 0x1 0x00 R "
               "Y0x0000 0x1 0x07 W0x000E 0x1 0x03 W0x000F 0x1 0x20 W0x0018 0x1 0x00 R "
            << QStringList{"03", "20", "00"} << QStringList() << "Input video mode VGA (640x480) 60Hz/21.175MHz applied.";
        QTest::newRow("silent in 0x0E") << QStringList{"OK"} << 3 + 17 + 16 // reset, FPGA write, 0x0E write but its end
            << "Y0x0000 0x1 0x01 W0x000E 0x1 0x06 R " << QStringList{"  ", "  ", ""}
            << QStringList{Texts::echo} << NotApplied.arg("PLL Htotal MSB (0x0E), PLL Htotal LSB (0x0F), Output Format "
                                                          "(0x18) not confirmed by the board.") + NotRead.arg("board did not answer");
        QTest::newRow("port does not open") << QStringList{"OK"} << -1 << "" << QStringList{"  ", "  ", ""}
            << QStringList{Texts::cannotOpen(1, "/dev/sim1", "No such file or directory")}
            << NotApplied.arg("the port could not be opened.") + NotRead.arg("port could not be opened");
        // clang-format on
    }

    void okSendsThePreset()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, fault);
        Harness h({fault > 0 ? sim::BoardOptions::Fault::StopEchoAfter : sim::BoardOptions::Fault::None, fault});
        h.port.refuseOpen = fault < 0;
        for (const QString &step : steps) {
            VideoMode *mode = h.dialog<VideoMode>("nVideoModeInput");
            if (step.at(0).isDigit())
                mode->Option(step.toInt())->click();
            else if (step.startsWith('E'))
                QTest::keyClick(mode, step == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
            else if (step == QLatin1String("close"))
                mode->close();
            else
                h.click(qPrintable(step + QLatin1String("Button")));
            QCOMPARE(mode->isVisible(), step.startsWith('E') || step.at(0).isDigit());
        }
        QTEST(h.port.commands().join("").replace(Reads, "R "), "commands");
        QTEST((QStringList{h.text(0x0E), h.text(0x0F), h.text(0x18)}), "boxes");
        QTEST(h.messages.texts(), "messages");
        QTEST(h.status(), "status");
        QCOMPARE(h.form->boxes().mark(0x0E) == RegisterBoxes::Mark::NotRead, fault != 0);
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
    }

    // In the first wait of the first command: OK again, Read All, Save, and
    // the dialog closed. No second sequence starts; the dialog goes at the end.
    void okAmongOtherCommands_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("commands");
        // clang-format off
        QTest::newRow("OK") << "OKButton" << Option2 + "R ";
        QTest::newRow("Read All") << "ReadAllRegisters" << "R ";
        QTest::newRow("box change") << "" << "W0x0003 0x1 0x12 ";
        // clang-format on
    }

    void okAmongOtherCommands()
    {
        QFETCH(QString, first);
        Harness h;
        VideoMode *mode = h.dialog<VideoMode>("nVideoModeInput");
        QSignalSpy changes(h.find<QAction>("nVideoModeInput"), &QAction::enabledChanged);
        QTimer::singleShot(0, this, [&] { // in the first wait for the board
            h.click("OKButton");
            h.click("ReadAllRegisters");
            h.find<QAction>("nFileSaveRegisterAs")->trigger();
            mode->close();
        });
        first.isEmpty() ? h.setText(0x03, QStringLiteral("12")) : h.click(qPrintable(first));
        QTEST(h.port.commands().join("").replace(Reads, "R "), "commands");
        QCOMPARE(changes.count(), first.isEmpty() ? 0 : 2); // the video mode item: off, then on once at the end
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
        QVERIFY(!h.dialog<VideoMode>());
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
