// The register panel: conversions, hex input, box changes, Read All, failures, the single-register frame.

#include "boardprocess.h"
#include "harness.h"
#include "texts.h"

#include "link/boardlink.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#include "registers/hexinput.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void set(QLineEdit *box, const char *text)
{
    HexInput::setProgramText(box, QLatin1String(text));
}

} // namespace

class TestRegisters : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte"); // -1: not a byte
        QTest::addColumn<int>("position");
        // clang-format off
        QTest::newRow("one digit") << "5" << 5 << 5;
        QTest::newRow("as read") << "0a" << 10 << 10;
        QTest::newRow("leading zeros") << "005" << 5 << 5;
        QTest::newRow("three digits") << "123" << -1 << 0x123;
        QTest::newRow("empty") << "" << -1 << 0;
        QTest::newRow("two blanks") << "  " << -1 << 0;
        QTest::newRow("blanks between") << " 1 2" << -1 << 0x12;
        QTest::newRow("digits then junk") << "1G2" << -1 << 1;
        QTest::newRow("huge") << "FFFFFFFFFFFF" << -1 << INT_MAX;
        // clang-format on
    }

    void conversions()
    {
        QFETCH(QString, text);
        const std::optional<quint8> value = RegisterMap::textToByte(text);
        QTEST(value ? int(*value) : -1, "byte");
        QTEST(RegisterMap::textToSliderPosition(text), "position");
    }

    // Typing, paste and program texts into a box without limit and one of two.
    void hexInput()
    {
        QLineEdit open;
        QLineEdit limited;
        HexInput::attach(&open);
        HexInput::attach(&limited, 2);
        QTest::keyClicks(&open, QStringLiteral("a1g x-fZ9"));
        QTest::keyClick(&open, Qt::Key_Backspace);
        QTest::keyClicks(&limited, QStringLiteral("1a3"));
        QCOMPARE(open.text(), QStringLiteral("A1F"));
        QCOMPARE(limited.text(), QStringLiteral("1A"));
        limited.selectAll();
        QTest::keyClicks(&limited, QStringLiteral("b"));
        QCOMPARE(limited.text(), QStringLiteral("B"));
        // Paste, by any way, follows the same rules, limit included.
        limited.clear();
        for (const char *pasted : {"0a0", "1 ", "\xf0\x9f\x98\x80", "c"}) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(pasted));
            limited.paste();
        }
        QCOMPARE(limited.text(), QStringLiteral("C"));
        // The program's texts pass as they are; the user may delete from them.
        set(&limited, "005");
        set(&open, "  ");
        QTest::keyClick(&open, Qt::Key_Backspace);
        QTest::keyClicks(&open, QStringLiteral("x7"));
        QCOMPARE(open.text(), QStringLiteral(" 7"));
        QCOMPARE(limited.text(), QStringLiteral("005"));
    }

    // Rows: box, text before, the change, then the chip writes, box text and slider after (echoes write
    // again). Box 0x10 holds FF, beyond its slider, which must not stop the others.
    void boxChanges_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed"); // over the whole text
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("slider"); // -1: none
        // clang-format off
        QTest::newRow("0 then 5") << 0x06 << "" << "05" << QStringList{"06=00", "06=05", "06=05"} << "5" << 5;
        QTest::newRow("0 then A") << 0x0A << "" << "0A" << QStringList{"0A=00", "0A=0A", "0A=0A"} << "A" << 10;
        QTest::newRow("slider maximum") << 0x08 << "" << "FF" << QStringList{"08=0F", "08=FF"} << "FF" << 255;
        QTest::newRow("after 0x10") << 0x11 << "" << "5" << QStringList{"11=05"} << "5" << 5;
        QTest::newRow("cleared, slider") << 0x07 << "40" << "\b" << QStringList{"07=00"} << "0" << 0;
        QTest::newRow("cleared, no slider") << 0x03 << "7C" << "\b" << QStringList{} << "" << -1;
        QTest::newRow("above the slider") << 0x10 << "" << "FF" << QStringList{"10=0F", "10=FF"} << "FF" << 15;
        // clang-format on
    }

    void boxChanges()
    {
        QFETCH(int, address);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(int, slider);
        Harness h;
        h.setText(0x10, QStringLiteral("FF"));
        h.setText(address, before);
        h.box(address)->selectAll();
        h.port.received.clear();
        h.type(address, typed);
        QTEST(h.port.writes(), "writes");
        QTEST(h.text(address), "after");
        if (slider >= 0)
            QCOMPARE(h.slider(address)->value(), slider);
        QVERIFY(h.messages.shown.isEmpty());
    }

    void readAll()
    {
        Harness h;
        h.setText(0x06, QStringLiteral("11"));
        h.port.board().setChipRegister(0x06, 0x99);
        h.port.board().setChipRegister(0x10, 0x4A); // beyond its slider
        h.port.received.clear();
        QStringList steps; // each bar value with the command states at that moment
        auto *bar = h.find<QProgressBar>("ProgressBar1");
        connect(bar, &QProgressBar::valueChanged, this, [&] { steps.append(bar->text() + ' ' + h.commandStates()); });
        h.log.events.clear();
        h.click("ReadAllRegisters");

        QCOMPARE(h.port.commands(), (QStringList{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "}));
        for (int a = 0; a < 64; ++a)
            QCOMPARE(h.text(a), QString::asprintf("%02X", h.port.board().chipRegister(a)));
        // From 0 (so the first step shows no change) back to 0 before the commands are enabled.
        QCOMPARE(steps,
                 (QStringList{"12.5% 0000", "25% 0000", "37.5% 0000", "50% 0000", "62.5% 0000", "75% 0000",
                              "87.5% 0000", "100% 0000", "0% 0000"}));
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
        QCOMPARE(h.log.events.last(), QStringLiteral("pause 0.5")); // the closing half second lets no event run

        // The sliders stand at the values read: the next edit writes only its register, texts stay.
        QCOMPARE(h.slider(0x06)->value(), 0x99);
        QCOMPARE(h.slider(0x08)->value(), 0x80);
        QCOMPARE(h.slider(0x10)->value(), 0);
        h.setText(0x03, QStringLiteral("7D"));
        QCOMPARE(h.port.writes(), QStringList{"03=7D"});
        QCOMPARE(h.text(0x09), QStringLiteral("40"));
    }

    // The board fails as a user meets it: one message an episode, boxes kept and marked; a reset the
    // board answers ends the episode and Read All shows its values again.
    void failureEpisodes_data()
    {
        QTest::addColumn<sim::BoardOptions>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("blocksRead"); // by the first Read All after the fault
        using Fault = sim::BoardOptions::Fault;
        const sim::BoardOptions refused{Fault::None, -1}; // the port does not open
        // clang-format off
        QTest::newRow("silent") << sim::BoardOptions{Fault::Silent, 0} << Texts::echo << 0;
        QTest::newRow("stops in Read All") << sim::BoardOptions{Fault::StopEchoAfter, 3 + 13 + 6} << Texts::echo << 1;
        QTest::newRow("garbage") << sim::BoardOptions{Fault::Garbage, 0} << Texts::echo << 0;
        QTest::newRow("no prompt") << sim::BoardOptions{Fault::NoPrompt, 0} << Texts::echo << 0;
        QTest::newRow("port refused") << refused << Texts::cannotOpen(1, "/dev/sim1", "No such file or directory") << 0;
        // clang-format on
    }

    void failureEpisodes()
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
            QCOMPARE(h.form->boxes().mark(a),
                     a < 16 * blocksRead ? RegisterBoxes::Mark::None : RegisterBoxes::Mark::NotRead);
        }
        QCOMPARE(h.status(),
                 fault.faultAfter < 0 ? "Read All: 64 of 64 registers not read, the port could not be opened."
                                      : QString("Read All: %1 of 64 registers not read, the board did not answer.")
                                            .arg(64 - 16 * blocksRead));
        QCOMPARE(h.messages.shown.size(), 1); // Read All says so itself
        h.setText(0x06, QStringLiteral("12")); // the slider follows all the same
        QCOMPARE(h.form->boxes().mark(0x06), RegisterBoxes::Mark::NotWritten);
        QCOMPARE(h.slider(0x06)->value(), 0x12);
        HexInput::setProgramText(h.find<QLineEdit>("Data"), QStringLiteral("77"));
        h.click("ReadRegCommand");
        QCOMPARE(h.find<QLineEdit>("Data")->text(), QStringLiteral("77")); // no reply, no change
        QFETCH(QString, message);
        QCOMPARE(h.messages.texts(), QStringList{message});
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));

        h.port.refuseOpen = false;
        h.port.board() = sim::BoardCore();
        h.port.board().setChipRegister(0x10, 0x2A);
        h.click("ReadAllRegisters");
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(h.text(a), QString::asprintf("%02X", h.port.board().chipRegister(a)));
            QCOMPARE(h.form->boxes().mark(a), RegisterBoxes::Mark::None);
        }
        QCOMPARE(h.messages.shown.size(), 1);
        h.port.board() = sim::BoardCore({sim::BoardOptions::Fault::Silent, 0});
        h.setText(0x04, QStringLiteral("11")); // a new episode, with its own message
        QCOMPARE(h.messages.shown.size(), 2);
    }

    // Each board fault over a real pty, met by the window's code (QtSerialPort, RealClock) and by kv71xx-cli.
private:
    // The board serving COM1 with the fault, or the link pointing nowhere ("missing"), or the port "held".
    struct PtyFault
    {
        PtyFault(const QTemporaryDir &dir, const sim::BoardOptions &fault, const QString &setup)
            : link(dir.filePath(QStringLiteral("COM1")))
            , log(dir.filePath(QStringLiteral("board.log")))
        {
            if (setup == "missing")
                unplug();
            else
                start(fault);
            if (setup == "held" && (holder = ::fork()) == 0) {
                QtSerialPort port;
                ::sleep(port.open({1, {}}, LineSettings{}) ? 30 : 0);
                ::_exit(0);
            }
            QTest::qWait(200);
        }
        ~PtyFault()
        {
            if (holder > 0) {
                ::kill(holder, SIGKILL);
                ::waitpid(holder, nullptr, 0);
            }
        }
        void start(const sim::BoardOptions &options)
        {
            board.reset();
            QFile::remove(log);
            board = std::make_unique<sim::BoardProcess>(sim::BoardProcess::Settings{link, options, false, log});
        }
        // An adapter pulled out leaves its COM1 link pointing nowhere.
        void unplug() { QFile::remove(link), QFile::link(QStringLiteral("gone"), link); }

        QString link;
        QString log;
        std::unique_ptr<sim::BoardProcess> board;
        pid_t holder = 0;
    };

    // A box write of 0x03 and Read All on the faulty board, then Read All on a healthy one: run once per fault.
    struct PtyOutcome
    {
        double seconds = 0;
        QStringList messages;
        RegisterBoxes::Mark writeMark{};
        QStringList texts;
        QList<RegisterBoxes::Mark> marks;
        QString states;
        bool idle = false;
        QByteArray received;
        QStringList healthyTexts;
    };
    QMap<QString, PtyOutcome> m_ptyOutcomes;

    static void ptyFaults()
    {
        using Fault = sim::BoardOptions::Fault;
        QTest::addColumn<sim::BoardOptions>("fault");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("messages"); // "open": the port's open failure
        QTest::addColumn<double>("seconds"); // at most, for a box write and a Read All
        // clang-format off
        QTest::newRow("silent") << sim::BoardOptions{Fault::Silent, 0} << "" << QStringList{Texts::echo} << 3.0;
        QTest::newRow("no prompt") << sim::BoardOptions{Fault::NoPrompt, 0} << "" << QStringList{Texts::prompt} << 5.0;
        QTest::newRow("chatter") << sim::BoardOptions{Fault::Chatter, 0} << "" << QStringList{Texts::prompt} << 2.0;
        QTest::newRow("stops echoing") << sim::BoardOptions{Fault::StopEchoAfter, 10} << "" << QStringList{Texts::echo} << 3.0;
        QTest::newRow("garbage") << sim::BoardOptions{Fault::Garbage, 0} << "" << QStringList{Texts::prompt} << 5.0;
        QTest::newRow("hangs up") << sim::BoardOptions{Fault::HangUpAfter, 10} << "" << QStringList{Texts::echo, "open"} << 3.0;
        QTest::newRow("missing device") << sim::BoardOptions{} << "missing" << QStringList{"open"} << 1.0;
        QTest::newRow("held by another") << sim::BoardOptions{} << "held" << QStringList{"open"} << 1.0;
        // clang-format on
    }

    const PtyOutcome &ptyOutcome()
    {
        const QString row = QLatin1String(QTest::currentDataTag());
        if (!m_ptyOutcomes.contains(row))
            m_ptyOutcomes.insert(row, runPtyFault());
        return m_ptyOutcomes[row];
    }

    static PtyOutcome runPtyFault()
    {
        QFETCH(sim::BoardOptions, fault);
        QFETCH(QString, setup);
        QFETCH(QStringList, messages);
        Harness h; // fakes for everything but the port and the clock
        PtyFault pty(h.dir, fault, setup);
        QtSerialPort port;
        RealClock clock;
        Form1 form(
            {port, clock, h.messages, h.instance, h.end, h.registry, h.launcher, h.fileDialog, h.devices, h.devices});
        form.Form_Load();
        PtyOutcome o;
        const double start = clock.seconds();
        form.boxes().setText(0x03, QStringLiteral("12"));
        o.writeMark = form.boxes().mark(0x03);
        if (fault.fault == sim::BoardOptions::Fault::HangUpAfter) {
            pty.board->process().waitForFinished(); // gone, perhaps already
            pty.unplug();
        }
        form.findChild<QAbstractButton *>(QStringLiteral("ReadAllRegisters"))->click();
        o.seconds = clock.seconds() - start;
        for (const QString &text : h.messages.texts())
            o.messages << (text == Texts::cannotOpen(1, port.lastFailure().device, port.lastFailure().reason) ? "open"
                                                                                                              : text);
        for (int a = 0; a < RegisterMap::Count; ++a) {
            o.texts << form.boxes().reg_KV7103(a)->text();
            o.marks << form.boxes().mark(a);
        }
        o.states = commandStates(form);
        // Idle now, the event loop sleeps (a dead descriptor reporting itself readable would spin it).
        const std::clock_t cpu = std::clock();
        QTest::qWait(300);
        o.idle = std::clock() - cpu < CLOCKS_PER_SEC / 10;
        o.received = sim::BoardProcess::received(pty.log);

        if (pty.holder > 0)
            ::kill(pty.holder, SIGKILL);
        pty.start({});
        form.findChild<QAbstractButton *>(QStringLiteral("ReadAllRegisters"))->click();
        for (int a = 0; a < RegisterMap::Count; ++a)
            o.healthyTexts << form.boxes().reg_KV7103(a)->text();
        return o;
    }

private slots:
    void companionEndsEachPtyFaultWithStatus3_data() { ptyFaults(); }
    void companionEndsEachPtyFaultWithStatus3()
    {
        QFETCH(sim::BoardOptions, fault);
        QFETCH(QString, setup);
        QFETCH(double, seconds);
        Harness h; // in a folder of its own
        PtyFault pty(h.dir, fault, setup);
        QProcess cli;
        QElapsedTimer time;
        time.start();
        cli.start(QStringLiteral(KV71XX_CLI_EXE), {QStringLiteral("read"), QStringLiteral("06")});
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), 3);
        QVERIFY(time.elapsed() < (seconds + 1) * 1000);
    }

    // Each fault ends as one failure episode, in bounded time, with one message.
    void ptyFaultsEndAsOneFailure_data() { ptyFaults(); }
    void ptyFaultsEndAsOneFailure()
    {
        QFETCH(double, seconds);
        QVERIFY(ptyOutcome().seconds < seconds + 1.5); // the reset and Read All's pauses
        QTEST(ptyOutcome().messages, "messages");
    }

    void ptyFaultsLeaveTheBoxesUnchangedAndMarked_data() { ptyFaults(); }
    void ptyFaultsLeaveTheBoxesUnchangedAndMarked()
    {
        const PtyOutcome &o = ptyOutcome();
        QCOMPARE(o.writeMark, RegisterBoxes::Mark::NotWritten);
        for (int a = 0; a < RegisterMap::Count; ++a) {
            QCOMPARE(o.texts.at(a), a == 0x03 ? "12" : a >= 0x05 && a <= 0x0F ? "  " : "");
            QCOMPARE(o.marks.at(a), RegisterBoxes::Mark::NotRead);
        }
    }

    // After a fault the window waits idle with its commands enabled, having sent only whole commands (one
    // cut short), and a healthy board's values reach the boxes.
    void ptyFaultsLeaveTheWindowReady_data() { ptyFaults(); }
    void ptyFaultsLeaveTheWindowReady()
    {
        const PtyOutcome &o = ptyOutcome();
        QCOMPARE(o.states, QStringLiteral("1111"));
        QVERIFY(o.idle);
        const QRegularExpression commands(QStringLiteral("^(Q|W0x0003 0x1 0x12 |R0x00[0-3]0 0x10 )*"));
        QVERIFY(commands.match(o.received).capturedLength() >= o.received.size() - 16);
        for (int a = 0; a < RegisterMap::Count; ++a)
            QCOMPARE(o.healthyTexts.at(a), QString::asprintf("%02X", sim::BoardCore::powerOnValue(a)));
    }

    // The single-register frame: what the board received, Data, the register's box; no byte, nothing sent.
    void singleRegister_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("open"); // the port open before
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QString>("dataAfter");
        QTest::addColumn<QString>("box"); // the box of the address after
        QTest::addColumn<QStringList>("messages");
        const QString read = "ReadRegCommand";
        const QString write = "WriteRegCommand";
        // clang-format off
        QTest::newRow("read 06") << read << "06" << "77" << false << QByteArray("QQQR0x0006 0x1 ") << "80" << "  " << QStringList();
        QTest::newRow("read A5") << read << "A5" << "" << false << QByteArray("QQQR0x00A5 0x1 ") << "00" << "" << QStringList();
        QTest::newRow("write, port closed") << write << "07" << "44" << false << QByteArray("QQQW0x0007 0x1 0x44 ") << "44" << "44" << QStringList();
        QTest::newRow("write, as typed") << write << "0C" << "005" << true
                                         << QByteArray("W0x000C 0x1 0x05 QQQW0x000C 0x1 0x05 ") << "005" << "005" << QStringList();
        QTest::newRow("write 40, no box") << write << "40" << "12" << true << QByteArray("W0x0040 0x1 0x12 ") << "12" << "" << QStringList();
        QTest::newRow("Data above FF") << write << "06" << "100" << true << QByteArray() << "100" << "  " << QStringList{Texts::notAByte("Data")};
        QTest::newRow("Address empty") << read << "" << "" << false << QByteArray() << "" << "" << QStringList{Texts::notAByte("Address")};
        // clang-format on
    }

    void singleRegister()
    {
        QFETCH(QString, button);
        QFETCH(QString, address);
        QFETCH(QString, data);
        QFETCH(bool, open);
        Harness h;
        HexInput::setProgramText(h.find<QLineEdit>("Address"), address);
        HexInput::setProgramText(h.find<QLineEdit>("Data"), data);
        if (open)
            h.form->link().Connect_Board();
        h.port.received.clear();
        h.click(qPrintable(button));
        QTEST(h.port.received, "received");
        QTEST(h.find<QLineEdit>("Data")->text(), "dataAfter");
        const int a = address.toInt(nullptr, 16);
        QTEST(a < 64 ? h.text(a) : QString(), "box");
        QTEST(h.messages.texts(), "messages");
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
    }
    void readWithoutAPortSaysSo()
    {
        Harness h;
        h.port.refuseOpen = true;
        h.click("ReadRegCommand");
        QCOMPARE(h.status(), QStringLiteral("Read 00: the port could not be opened; Data is unchanged."));
    }
};

QTEST_MAIN(TestRegisters)
#include "tst_registers.moc"
