#include "harness.h"
#include "texts.h"

#include "modes/videomode.h"
#include "registers/registerboxes.h"

#include <QRadioButton>
#include <QtTest>

namespace {

// One preset sent: the FPGA option, 0x0E, 0x0F and 0x18, then "R" for the four burst reads.
QString sent(int option, int msb, int lsb, int format)
{
    return QString::asprintf("Y0x0000 0x1 0x%02X W0x000E 0x1 0x%02X W0x000F 0x1 0x%02X W0x0018 0x1 0x%02X R ", option,
                             msb, lsb, format);
}

QString commands(const Harness &h)
{
    return h.port.commands().join("").replace("R0x0000 0x10 R0x0010 0x10 R0x0020 0x10 R0x0030 0x10 ", "R ");
}

} // namespace

class TestModes : public QObject
{
    Q_OBJECT

private slots:
    // A number clicks that option; Enter and Escape press no button.
    void okSendsThePreset_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("fault"); // -1: the port does not open, N > 0: silent from byte N on
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QStringList>("boxes"); // 0x0E, 0x0F, 0x18
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("status");
        const QString failed = "Input video mode SXGA (1280x1024) 60Hz/108MHz not applied: %1 Read All: 64 of 64 "
                               "registers not read, the %2.";
        // clang-format off
        QTest::newRow("cancel, close") << QStringList{"7", "Enter", "Escape", "Cancel", "OK", "close", "OK"} << 0
            << sent(6, 4, 0x20, 0) + sent(7, 3, 0x20, 0)
            << QStringList{"03", "20", "00"} << QStringList() << "Input video mode VGA (640x480) 60Hz/21.175MHz applied.";
        QTest::newRow("silent") << QStringList{"OK"} << 3 + 17 + 16 << "Y0x0000 0x1 0x01 W0x000E 0x1 0x06 R "
            << QStringList{"  ", "  ", ""} << QStringList{Texts::echo}
            << failed.arg("PLL Htotal MSB (0x0E), PLL Htotal LSB (0x0F), Output Format (0x18) not confirmed by the "
                          "board.", "board did not answer");
        QTest::newRow("no port") << QStringList{"OK"} << -1 << "" << QStringList{"  ", "  ", ""}
            << QStringList{Texts::sim1Refused}
            << failed.arg("the port could not be opened.", "port could not be opened");
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
                QTest::keyClick(mode, step == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            else if (step == "close")
                mode->close();
            else
                h.click(qPrintable(step + "Button"));
            QCOMPARE(mode->isVisible(), step.startsWith('E') || step.at(0).isDigit());
        }
        QTEST(commands(h), "commands");
        QTEST((QStringList{h.text(0x0E), h.text(0x0F), h.text(0x18)}), "boxes");
        QTEST(h.messages.texts(), "messages");
        QTEST(h.status(), "status");
        QCOMPARE(h.form->boxes().mark(0x0E) == RegisterBoxes::Mark::NotRead, fault != 0);
        QCOMPARE(h.commandStates(), "1111");
    }

    void eachOptionSendsItsPresetAndNamesItsMode_data()
    {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("mode");
        QTest::newRow("1") << sent(0, 0x08, 0x70, 0) << "UXGA (1600x1200) 60Hz refresh/162MHz pixel rate";
        QTest::newRow("2") << sent(1, 0x06, 0x98, 0) << "SXGA (1280x1024) 60Hz/108MHz";
        QTest::newRow("3") << sent(2, 0x06, 0x98, 0) << "SXGA (1280x1024) 75Hz/135MHz";
        QTest::newRow("4") << sent(3, 0x0D, 0x30, 1) << "SXGA (1280x1024) 60Hz, double sampled (216MHz)";
        QTest::newRow("5") << sent(4, 0x05, 0x40, 0) << "XGA (1024x768) 60Hz/65MHz";
        QTest::newRow("6") << sent(5, 0x06, 0xC0, 0) << "SXGA (1280x1024) 85Hz/157.5MHz";
        QTest::newRow("7") << sent(6, 0x04, 0x20, 0) << "SVGA (800x600) 60Hz/40MHz";
        QTest::newRow("8") << sent(7, 0x03, 0x20, 0) << "VGA (640x480) 60Hz/21.175MHz";
    }

    void eachOptionSendsItsPresetAndNamesItsMode()
    {
        QFETCH(QString, mode);
        Harness h;
        h.dialog<VideoMode>("nVideoModeInput")->Option(QString(QTest::currentDataTag()).toInt())->click();
        h.click("OKButton");
        QTEST(commands(h), "commands");
        QCOMPARE(h.status(), "Input video mode " + mode + " applied.");
    }

    void okHidesItsDialogBeforeTheReadBack()
    {
        Harness h;
        VideoMode *mode = h.dialog<VideoMode>("nVideoModeInput");
        QList<bool> shown; // at the resets of OK and of its read-back, and the closing pause
        h.clock.onWait = [&] { shown.append(mode->isVisible()); };
        h.click("OKButton");
        QCOMPARE(shown, (QList<bool>{true, false, false}));
    }

    void okAndOtherCommandsNeverInterleave_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("commands");
        QTest::newRow("OK") << "OKButton" << sent(1, 6, 0x98, 0);
        QTest::newRow("Read All") << "ReadAllRegisters"
                                  << "R ";
        QTest::newRow("box") << ""
                             << "W0x0003 0x1 0x12 ";
    }

    void okAndOtherCommandsNeverInterleave()
    {
        QFETCH(QString, first);
        Harness h;
        VideoMode *mode = h.dialog<VideoMode>("nVideoModeInput");
        QSignalSpy changes(h.find<QAction>("nVideoModeInput"), &QAction::enabledChanged);
        QTimer::singleShot(0, this, [&] {
            h.click("OKButton");
            h.click("ReadAllRegisters");
            h.find<QAction>("nFileSaveRegisterAs")->trigger();
            mode->close();
        });
        first.isEmpty() ? h.setText(0x03, "12") : h.click(qPrintable(first));
        QTEST(commands(h), "commands");
        QCOMPARE(changes.count(), first.isEmpty() ? 0 : 2); // off, then on once at the end
        QCOMPARE(h.commandStates(), "1111");
        QVERIFY(!h.dialog<VideoMode>());
    }
};

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
