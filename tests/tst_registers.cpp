#include "boardprocess.h"
#include "harness.h"
#include "texts.h"

#include "link/boardlink.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#include "registers/hexinput.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QtTest>

#include <ctime>

namespace {

void set(QLineEdit *box, const QString &text)
{
    HexInput::setProgramText(box, text);
}

using F = sim::BoardOptions::Fault;
using M = RegisterBoxes::Mark;
sim::BoardOptions faulty(F f, int after = 0)
{
    return {f, after};
}

#ifdef Q_OS_UNIX // the board on a pty
struct PtyBoard
{
    PtyBoard(const QTemporaryDir &dir, const sim::BoardOptions &fault)
        : link(dir.filePath("COM1"))
        , log(dir.filePath("board.log"))
    {
        start(fault);
        QTest::qWait(200);
    }
    void start(const sim::BoardOptions &options)
    {
        board.reset();
        QFile::remove(log);
        board = std::make_unique<sim::BoardProcess>(sim::BoardProcess::Settings{link, options, false, log});
    }
    void unplug() { QFile::remove(link), QFile::link("gone", link); }

    QString link;
    QString log;
    std::unique_ptr<sim::BoardProcess> board;
};
#endif

} // namespace

class TestRegisters : public QObject
{
    Q_OBJECT

private slots:
    void textsConvertToAByteAndASliderPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte"); // -1: not a byte
        QTest::addColumn<int>("position");
        QTest::newRow("lower case") << "0a" << 10 << 10;
        QTest::newRow("three digits") << "123" << -1 << 0x123;
        QTest::newRow("blanks") << "  " << -1 << 0;
        QTest::newRow("blanks between") << " 1 2" << -1 << 0x12;
        QTest::newRow("junk") << "1G2" << -1 << 1;
        QTest::newRow("huge") << "FFFFFFFFFFFF" << -1 << INT_MAX;
    }

    void textsConvertToAByteAndASliderPosition()
    {
        QFETCH(QString, text);
        const auto value = RegisterMap::textToByte(text);
        QTEST(value ? int(*value) : -1, "byte");
        QTEST(RegisterMap::textToSliderPosition(text), "position");
    }

    void hexBoxesTakeOnlyHexDigitsUpperCased()
    {
        QLineEdit open;
        QLineEdit limited;
        HexInput::attach(&open);
        HexInput::attach(&limited, 2);
        QTest::keyClicks(&open, "a1g x-fZ9");
        QTest::keyClick(&open, Qt::Key_Backspace);
        QTest::keyClicks(&limited, "1a3");
        QCOMPARE(open.text(), "A1F");
        QCOMPARE(limited.text(), "1A");
        limited.selectAll();
        QTest::keyClicks(&limited, "b");
        QCOMPARE(limited.text(), "B");
        limited.clear();
        for (const char *pasted : {"0a0", "1 ", "\xf0\x9f\x98\x80", "c"}) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(pasted));
            limited.paste();
        }
        QCOMPARE(limited.text(), "C");
        set(&open, "  "); // the program's texts pass as they are
        QTest::keyClick(&open, Qt::Key_Backspace);
        QTest::keyClicks(&open, "x7");
        QCOMPARE(open.text(), " 7");
    }

    // Box 10 holds FF, beyond its slider: the others still follow. Echoes write again.
    void aTypedBoxWritesItsRegisterAndMovesItsSlider_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("writes");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("slider"); // -1: none
        QTest::newRow("0 then A") << 0x0A << ""
                                  << "0A"
                                  << "0A=00 0A=0A 0A=0A"
                                  << "A" << 10;
        QTest::newRow("slider maximum") << 0x08 << ""
                                        << "FF"
                                        << "08=0F 08=FF"
                                        << "FF" << 255;
        QTest::newRow("after 0x10") << 0x11 << ""
                                    << "5"
                                    << "11=05"
                                    << "5" << 5;
        QTest::newRow("cleared, slider") << 0x07 << "40"
                                         << "\b"
                                         << "07=00"
                                         << "0" << 0;
        QTest::newRow("above the slider") << 0x10 << ""
                                          << "FF"
                                          << "10=0F 10=FF"
                                          << "FF" << 15;
    }

    void aTypedBoxWritesItsRegisterAndMovesItsSlider()
    {
        QFETCH(int, address);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, writes);
        QFETCH(int, slider);
        Harness h;
        h.setText(0x10, "FF");
        h.setText(address, before);
        h.box(address)->selectAll();
        h.port.received.clear();
        h.type(address, typed);
        QCOMPARE(h.port.writes(), writes.split(' ', Qt::SkipEmptyParts));
        QTEST(h.text(address), "after");
        if (slider >= 0)
            QCOMPARE(h.slider(address)->value(), slider);
        QVERIFY(h.messages.shown.isEmpty());
    }

    void readAllFillsEveryBoxWithoutWritingAndShowsItsProgress()
    {
        Harness h;
        h.setText(0x10, "20");
        h.port.received.clear();
        h.port.board().setChipRegister(0x06, 0x99);
        h.port.board().setChipRegister(0x10, 0x4A); // beyond its slider
        QStringList steps;
        auto *bar = h.find<QProgressBar>("ProgressBar1");
        connect(bar, &QProgressBar::valueChanged, this, [&] { steps.append(bar->text() + ' ' + h.commandStates()); });
        QString atPause; // the last wait is the closing pause
        h.clock.onWait = [&] { atPause = bar->text(); };
        h.click("ReadAllRegisters");
        for (int a = 0; a < 64; ++a)
            QCOMPARE(h.text(a), QString::asprintf("%02X", h.port.board().chipRegister(a)));
        QCOMPARE(steps,
                 (QStringList{"12.5% 0000", "25% 0000", "37.5% 0000", "50% 0000", "62.5% 0000", "75% 0000",
                              "87.5% 0000", "100% 0000", "0% 0000"}));
        QCOMPARE(h.commandStates(), "1111");
        QCOMPARE(h.log.events.last(), "pause 0.5");
        QCOMPARE(atPause, "100%");
        // The sliders follow quietly.
        QCOMPARE(h.slider(0x06)->value(), 0x99);
        QCOMPARE(h.slider(0x10)->value(), 0x20);
        h.setText(0x03, "7D");
        QCOMPARE(h.port.writes(), QStringList{"03=7D"});
    }

    void eachSliderStandsForItsRegister_data()
    {
        QTest::addColumn<int>("address");
        const QStringList names = QString("RedGain GreenGain BlueGain RedOffset GreenOffset BlueOffset PllPhase "
                                          "PllPreCoast PllPostCoast DCRestABLC_MSB DCRestABLC_LSB DCRestClampWidth "
                                          "HSOUTWidth RedAnalogABLC GreenAnalogABLC BlueAnalogABLC AFE_BIAS_CTRL1 "
                                          "AFE_BIAS_CTRL0 ADC_REF_CTRL FG_NUM PG_NUM PHASE_DELAY_NUMBER_MSB "
                                          "PHASE_DELAY_NUMBER_LSB APLL_DIV EXTERNAL_PNUM4 EXTERNAL_PNUM3 "
                                          "EXTERNAL_PNUM2 EXTERNAL_PNUM1 EXTERNAL_PNUM0 LOCK_CRITERIA")
                                      .split(' ');
        const QStringList addresses
            = QString("06 07 08 09 0A 0B 10 11 12 14 15 16 19 1D 1E 1F 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 32")
                  .split(' ');
        for (int i = 0; i < names.size(); ++i)
            QTest::newRow(qPrintable(names.at(i) + "_HScroll")) << addresses.at(i).toInt(nullptr, 16);
    }

    // Register k holds k, within every slider's range.
    void eachSliderStandsForItsRegister()
    {
        QFETCH(int, address);
        Harness h;
        for (int a = 0; a < 64; ++a)
            h.port.board().setChipRegister(a, quint8(a));
        h.click("ReadAllRegisters");
        auto *slider = h.find<QScrollBar>(QTest::currentDataTag());
        QCOMPARE(slider->value(), address);
        QCOMPARE(slider->maximum(), address == 0x10 ? 63 : 255);
    }

    void aBoxThatHoldsNoByteIsMarkedNotAByte()
    {
        Harness h;
        h.type(0x22, "100");
        QCOMPARE(h.form->boxes().mark(0x22), M::NotAByte);
        QCOMPARE(h.box(0x22)->toolTip(), "Not written to the chip: 100 is not a byte (00 to FF).");
    }

    void readAllOnAFailedLinkKeepsTheBoxesAndMarksThem_data()
    {
        QTest::addColumn<sim::BoardOptions>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("blocksRead");
        QTest::newRow("stops in Read All") << faulty(F::StopEchoAfter, 3 + 13 + 6) << Texts::echo << 1;
        QTest::newRow("port refused") << faulty(F::None, -1) << Texts::sim1Refused << 0;
    }

    void readAllOnAFailedLinkKeepsTheBoxesAndMarksThem()
    {
        QFETCH(sim::BoardOptions, fault);
        QFETCH(int, blocksRead);
        Harness h;
        h.click("ReadAllRegisters");
        h.port.board() = sim::BoardCore(fault);
        h.port.refuseOpen = fault.faultAfter < 0;
        h.click("ReadAllRegisters");
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(h.text(a), QString::asprintf("%02X", sim::BoardCore::powerOnValue(a)));
            QCOMPARE(h.form->boxes().mark(a), a < 16 * blocksRead ? M::None : M::NotRead);
        }
        QCOMPARE(h.status(),
                 fault.faultAfter < 0 ? "Read All: 64 of 64 registers not read, the port could not be opened."
                                      : QString("Read All: %1 of 64 registers not read, the board did not answer.")
                                            .arg(64 - 16 * blocksRead));
        QFETCH(QString, message);
        QCOMPARE(h.messages.texts(), QStringList{message});
        QCOMPARE(h.commandStates(), "1111");
    }

    void aBoxChangeOnAPortThatDoesNotOpenStillMovesItsSlider()
    {
        Harness h;
        h.port.refuseOpen = true;
        h.setText(0x06, "12");
        QCOMPARE(h.form->boxes().mark(0x06), M::NotWritten);
        QCOMPARE(h.box(0x06)->toolTip(), "Not written: the board did not answer.");
        QCOMPARE(h.slider(0x06)->value(), 0x12);
    }

    void readOnAFailedLinkLeavesDataAsItWas_data()
    {
        QTest::addColumn<bool>("portRefused");
        QTest::addColumn<QString>("status");
        QTest::newRow("port refused") << true << "Read 00: the port could not be opened; Data is unchanged.";
        QTest::newRow("silent") << false << "Read 00: the board did not answer; Data is unchanged.";
    }

    void readOnAFailedLinkLeavesDataAsItWas()
    {
        QFETCH(bool, portRefused);
        Harness h(faulty(portRefused ? F::None : F::Silent));
        h.port.refuseOpen = portRefused;
        set(h.find<QLineEdit>("Data"), "77");
        h.click("ReadRegCommand");
        QCOMPARE(h.find<QLineEdit>("Data")->text(), "77");
        QTEST(h.status(), "status");
    }

    void aResetTheBoardAnswersEndsTheFailureEpisode()
    {
        Harness h({F::Silent, 0});
        h.click("ReadAllRegisters");
        h.setText(0x03, "12");
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo}); // one message an episode
        h.port.board() = sim::BoardCore();
        h.click("ReadAllRegisters");
        for (int a = 0; a < 64; ++a)
            QCOMPARE(h.form->boxes().mark(a), M::None);
        QCOMPARE(h.messages.shown.size(), 1);
        h.port.board() = sim::BoardCore(faulty(F::Silent));
        h.setText(0x04, "11"); // a new episode, with its own message
        QCOMPARE(h.messages.texts(), (QStringList{Texts::echo, Texts::echo}));
    }

#ifdef Q_OS_UNIX // the board on a pty
    void ptyFaultEndsAsOneFailureTheWindowRecoversFrom_data()
    {
        QTest::addColumn<sim::BoardOptions>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("seconds");
        QTest::newRow("silent") << faulty(F::Silent) << Texts::echo << 3.0;
        QTest::newRow("no prompt") << faulty(F::NoPrompt) << Texts::prompt << 5.0;
        QTest::newRow("chatter") << faulty(F::Chatter) << Texts::prompt << 2.0;
        QTest::newRow("stops echoing") << faulty(F::StopEchoAfter, 10) << Texts::echo << 3.0;
        QTest::newRow("garbage") << faulty(F::Garbage) << Texts::prompt << 5.0;
        QTest::newRow("hangs up") << faulty(F::HangUpAfter, 10) << Texts::echo << 3.0;
    }

    void ptyFaultEndsAsOneFailureTheWindowRecoversFrom()
    {
        QFETCH(sim::BoardOptions, fault);
        QFETCH(QString, message);
        QFETCH(double, seconds);
        Harness h;
        PtyBoard pty(h.dir, fault);
        QtSerialPort port;
        RealClock clock;
        Form1 form(h.platform(port, clock));
        form.Form_Load();
        const double start = clock.seconds();
        form.boxes().setText(0x03, "12");
        QCOMPARE(form.boxes().mark(0x03), M::NotWritten);
        const bool hangUp = fault.fault == F::HangUpAfter;
        if (hangUp) {
            pty.board->process().waitForFinished(); // gone, perhaps already
            pty.unplug();
        }
        const auto readAll = [&] { form.findChild<QAbstractButton *>("ReadAllRegisters")->click(); };
        readAll();
        QVERIFY(clock.seconds() - start < seconds + 1.5);
        QStringList messages{message};
        if (hangUp)
            messages << Texts::cannotOpen(1, port.lastFailure().device, port.lastFailure().reason);
        QCOMPARE(h.messages.texts(), messages);
        const auto text = [&](int a) { return form.boxes().reg_KV7103(a)->text(); };
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(text(a), a == 0x03 ? "12" : a >= 0x05 && a <= 0x0F ? "  " : "");
            QCOMPARE(form.boxes().mark(a), M::NotRead);
        }
        QCOMPARE(commandStates(form), "1111");
        const std::clock_t cpu = std::clock();
        QTest::qWait(300);
        QVERIFY(std::clock() - cpu < CLOCKS_PER_SEC / 10);
        const QByteArray received = sim::BoardProcess::received(pty.log);
        const QRegularExpression commands("^(Q|W0x0003 0x1 0x12 |R0x00[0-3]0 0x10 )*");
        QVERIFY(commands.match(received).capturedLength() >= received.size() - 16);

        pty.start({});
        readAll();
        for (int a = 0; a < 64; ++a)
            QCOMPARE(text(a), QString::asprintf("%02X", sim::BoardCore::powerOnValue(a)));
    }
#endif

    // Each says how it went: a status line, or a message.
    void readAndWriteTakeOneRegisterOrRefuseWhatIsNoByte_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("open"); // the port open before
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("said");
        const QString r = "ReadRegCommand";
        const QString w = "WriteRegCommand";
        // clang-format off
        QTest::newRow("read 06") << r << "06" << "77" << false << "QQQR0x0006 0x1 " << "80" << "  " << "Read 06: 80";
        QTest::newRow("read A5") << r << "A5" << "" << false << "QQQR0x00A5 0x1 " << "00" << "" << "Read A5: 00";
        QTest::newRow("write") << w << "07" << "44" << false << "QQQW0x0007 0x1 0x44 " << "44" << "44" << "Write 07 := 44";
        QTest::newRow("as typed") << w << "0C" << "005" << true << "W0x000C 0x1 0x05 QQQW0x000C 0x1 0x05 " << "005" << "005" << "Write 0C := 05";
        QTest::newRow("write 40") << w << "40" << "12" << true << "W0x0040 0x1 0x12 " << "12" << "" << "Write 40 := 12";
        QTest::newRow("port closed") << w << "40" << "12" << false << "" << "12" << "" << "Write 40 := 12: not confirmed by the board.";
        QTest::newRow("Data 100") << w << "06" << "100" << true << "" << "100" << "  " << Texts::notAByte("Data");
        QTest::newRow("no Address") << r << "" << "" << false << "" << "" << "" << Texts::notAByte("Address");
        // clang-format on
    }

    void readAndWriteTakeOneRegisterOrRefuseWhatIsNoByte()
    {
        QFETCH(QString, button);
        QFETCH(QString, address);
        QFETCH(QString, data);
        Harness h;
        set(h.find<QLineEdit>("Address"), address);
        set(h.find<QLineEdit>("Data"), data);
        QFETCH(bool, open);
        if (open)
            h.form->link().Connect_Board();
        h.port.received.clear();
        h.click(qPrintable(button));
        QTEST(QString(h.port.received), "received");
        QTEST(h.find<QLineEdit>("Data")->text(), "after");
        const int a = address.toInt(nullptr, 16);
        QTEST(a < 64 ? h.text(a) : QString(), "box");
        QTEST(h.messages.texts().value(0, h.status()), "said");
    }
};

QTEST_MAIN(TestRegisters)
#include "tst_registers.moc"
