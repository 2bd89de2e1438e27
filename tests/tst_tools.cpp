#include "boardprocess.h"
#include "harness.h"
#include "texts.h"

#include "app/progressbar.h"
#include "modes/videomode.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#include "tools/boardconsole.h"
#include "tools/comparefile.h"
#include "tools/linklog.h"
#include "tools/quickload.h"
#include "tools/registerwatch.h"
#include "tools/toolsmenu.h"

#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

using Fault = sim::BoardOptions::Fault;
const auto power = sim::BoardCore::powerOnValue;
const QString sim1 = "COM1 (/dev/sim1) ";
const QStringList readAll{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "};

QString hex(int value)
{
    return QString::asprintf("%02X", value);
}

// A file giving register k the value value(k) (-1: an empty line, below: none), chosen in the next dialog.
QString writeFile(Harness &h, const std::function<int(int)> &value)
{
    QFile file(h.dir.filePath("in.TXT"));
    file.open(QIODevice::WriteOnly);
    for (int k = 0; k < 64 && value(k) >= -1; ++k)
        file.write(value(k) < 0 ? "\r\n" : QString("KV7106_Register%1:x:%2\r\n").arg(k).arg(hex(value(k))).toLatin1());
    h.fileDialog.answers.append(file.fileName());
    return QDir::toNativeSeparators(file.fileName());
}

void run(Harness &h, const char *item)
{
    h.find<QAction>(item)->trigger();
}

// Compares with a file that differs in 06, 07 and 20, then loads the differing registers.
void loadDifferences(Harness &h)
{
    writeFile(h, [](int k) { return k == 6 || k == 7 || k == 0x20 ? 0x7C : power(k); });
    run(h, "mCompareWithFile");
    h.dialog<CompareFile>()->findChild<QPushButton *>("loadDifferences")->click();
}

QStringList row(QTableWidget *table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells.append(table->item(row, column)->text());
    return cells;
}

// Link log or console lines without their time of day.
QStringList untimed(QStringList lines)
{
    for (QString &line : lines)
        line.remove(0, 13);
    return lines;
}

QStringList logLines(const Harness &h)
{
    return untimed(h.dialog<LinkLog>()->lines());
}

void enter(BoardConsole &console, const QString &line)
{
    QTest::keyClicks(console.input(), line);
    QTest::keyClick(console.input(), Qt::Key_Return);
}

// Stops the recording into session.sh in the harness's folder; its text.
QString stopRecording(Harness &h)
{
    QFile file(h.dir.filePath("session.sh"));
    h.fileDialog.answers.append(file.fileName());
    run(h, "mRecordScript");
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private slots:
    void quickLoadWritesRunsOfLinesAsBurstsAndReadsAllBack()
    {
        Harness h;
        const QString path = writeFile(h, [](int k) { return k == 5 ? -1 : k + 0x40; });
        run(h, "mQuickLoad");
        QString second = "W0x0006 0x3A ";
        for (int k = 6; k < 64; ++k)
            second += "0x" + hex(k + 0x40) + ' ';
        QCOMPARE(h.port.commands(), QStringList({"W0x0000 0x05 0x40 0x41 0x42 0x43 0x44 ", second}) + readAll);
        QCOMPARE(h.text(5), hex(power(5)));
        QCOMPARE(h.text(0x3F), "7F");
        QCOMPARE(h.messages.texts(),
                 QStringList{"These lines hold no byte (00 to FF) and were skipped, leaving their registers unchanged: "
                             "line 6 (register 05)."});
        QCOMPARE(h.status(),
                 "Quick Load from " + path
                     + ": 63 of 63 values written, 0 not loaded (marked), 0 registers not read back.");
    }

    void quickLoadCountsOnlyWhatTheBoardConfirmed()
    {
        Harness h({Fault::Silent, 0});
        const QString path = writeFile(h, [](int k) { return k; });
        run(h, "mQuickLoad");
        QCOMPARE(h.status(),
                 "Quick Load from " + path
                     + ": 0 of 64 values written, 0 not loaded (marked), 64 registers not read back.");
    }

    void quickLoadOfAGoodFileSaysSoAndSetsSlidersQuietly()
    {
        Harness h;
        const QString path = writeFile(h, [](int k) { return k; });
        run(h, "mQuickLoad");
        QCOMPARE(h.status(), "Quick Load: loaded the 64 registers from " + path + " and read them back.");
        QCOMPARE(h.slider(0x06)->value(), 0x06);
        QCOMPARE(h.port.commands().size(), 5);
    }

    void quickLoadMarksARegisterTheBoardDoesNotHold()
    {
        Harness h({Fault::StuckRegister, 0x06});
        writeFile(h, [](int) { return 0x7C; });
        run(h, "mQuickLoad");
        QCOMPARE(h.box(0x06)->toolTip(), "Not loaded: wrote 7C, the board holds " + hex(power(6)));
    }

    void quickLoadMarksWhatItCouldNotRead()
    {
        // 3 Q, the burst write's 333 characters, two burst reads' 13: the third read goes unanswered.
        Harness h({Fault::StopEchoAfter, 3 + 333 + 26});
        writeFile(h, [](int) { return 0x11; });
        run(h, "mQuickLoad");
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(h.text(0x1F), "11");
        for (int a = 0x20; a < 64; ++a) {
            QCOMPARE(h.text(a), QString());
            QCOMPARE(h.form->boxes().mark(a), RegisterBoxes::Mark::NotRead);
        }
        QVERIFY(h.status().endsWith(", 32 registers not read back."));
    }

    void quickLoadHoldsTheCommandsAndShowsProgress()
    {
        Harness h;
        writeFile(h, [](int k) { return k; });
        QStringList states;
        double bar = 0;
        auto *progress = h.find<ProgressBar>("ProgressBar1");
        h.port.holdReplies = true;
        h.clock.onWait = [&] {
            states.append(h.commandStates()), bar = progress->percent();
            h.port.release();
        };
        run(h, "mQuickLoad");
        QCOMPARE(states.first(), "0000");
        QCOMPARE(bar, 100.0 * (64 + 48) / 128);
        QCOMPARE(progress->percent(), 0.0);
    }

    void compareLeavesUnreadRegistersOut()
    {
        Harness h({Fault::StopEchoAfter, 3 + 13});
        writeFile(h, [](int) { return 0x7C; });
        run(h, "mCompareWithFile");
        QCOMPARE(h.dialog<CompareFile>()->differing()->rowCount(), 12); // 04 to 0F: 03 holds 7C
        QVERIFY(h.status().endsWith("differing registers: 12. Registers not read: 48."));
    }

    void compareListsDifferencesAndTheChipOwnedApart()
    {
        Harness h;
        const QString path = writeFile(h, [](int k) { return k == 6 ? 0x7C : k == 1 ? 0x55 : power(k); });
        run(h, "mCompareWithFile");
        CompareFile &c = *h.dialog<CompareFile>();
        QCOMPARE(c.differing()->rowCount(), 1);
        QCOMPARE(row(c.differing(), 0), (QStringList{"06", "Red Gain (0x06)", "7C", hex(power(6))}));
        QCOMPARE(row(c.chipOwned(), 1), (QStringList{"01", "Sync Status (0x01)", "55", hex(power(1))}));
        QCOMPARE(h.status(), "Compared with " + path + ": differing registers: 1.");
    }

    void compareSaysNoRegisterDiffersOnlyWhenItComparedThemAll_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("empty");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("notCompared");
        QTest::newRow("whole file") << 64 << -1 << "no register differs."
                                    << "";
        QTest::newRow("10 lines") << 10 << -1 << "no difference in the 7 registers compared."
                                  << "The file holds only 10 of 64 lines: the registers from 0A on were not compared.";
        QTest::newRow("line 33 empty") << 64 << 0x20 << "no difference in the 60 registers compared."
                                       << "These lines hold no byte (00 to FF), so their registers were not compared: "
                                          "line 33 (register 20).";
    }

    void compareSaysNoRegisterDiffersOnlyWhenItComparedThemAll()
    {
        QFETCH(int, lines);
        QFETCH(int, empty);
        QFETCH(QString, summary);
        QFETCH(QString, notCompared);
        Harness h;
        const QString path = writeFile(h, [&](int k) { return k >= lines ? -2 : k == empty ? -1 : power(k); });
        run(h, "mCompareWithFile");
        summary.prepend("Compared with " + path + ": ");
        const auto with = [&](const QString &gap) {
            return notCompared.isEmpty() ? summary : summary + gap + notCompared;
        };
        QCOMPARE(h.status(), with(" "));
        QCOMPARE(h.dialog<CompareFile>()->findChild<QLabel *>("summary")->text(), with("\n"));
        QVERIFY(!h.dialog<CompareFile>()->findChild<QPushButton *>("loadDifferences")->isEnabled());
    }

    void compareLoadsOnlyTheDifferencesAndReadsThemBack()
    {
        Harness h;
        loadDifferences(h);
        QCOMPARE(h.port.commands().mid(4),
                 (QStringList{"W0x0006 0x02 0x7C 0x7C ", "W0x0020 0x01 0x7C ", "R0x0006 0x02 ", "R0x0020 0x01 "}));
    }

    void compareLoadCountsOnlyWhatTheBoardConfirmed()
    {
        Harness h({Fault::StopEchoAfter, 3 + 4 * 13 + 3 + 23});
        loadDifferences(h);
        QVERIFY(h.status().startsWith("The board confirmed writing 2 of the 3 differing registers. Compared with "));
    }

    void linkLogShowsEachExchange()
    {
        Harness h;
        run(h, "mLinkLog");
        h.click("ReadAllRegisters");
        QString first;
        for (int a = 0; a < 16; ++a)
            first += hex(power(a));
        const QStringList lines = logLines(h);
        QCOMPARE(lines.at(0), sim1 + R"(sent "QQQ" received "\r\n> \r\n> \r\n> ")");
        QCOMPARE(lines.at(1), sim1 + R"(sent "R0x0000 0x10 " received "0x0000 0x10 )" + first + R"(> ")");
    }

    void closedLinkLogRecordsNothing()
    {
        Harness h;
        auto *log = h.dialog<LinkLog>("mLinkLog");
        log->close();
        h.click("ReadRegCommand");
        QCOMPARE(log->lines(), QStringList());
    }

    // The board hangs up at the first Q of the second round.
    void linkLogShowsABoardPulledDuringWatch()
    {
        Harness h({Fault::HangUpAfter, 3 + 2 * 12 + 1});
        run(h, "mLinkLog");
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->setOn(true);
        w->readNow();
        w->readNow();
        QCOMPARE(logLines(h).mid(3),
                 (QStringList{sim1 + R"(sent "QQQ" received "")", sim1 + "port error: Input/output error"}));
    }

#ifdef Q_OS_UNIX // FIFOs
    void linkLogSavesItsLinesAsTextThroughAFifo()
    {
        Harness h;
        auto *log = h.dialog<LinkLog>("mLinkLog");
        h.click("ReadRegCommand");
        Fifo fifo(h.dir.filePath("fifo"));
        h.fileDialog.answers.append(h.dir.filePath("fifo"));
        log->findChild<QPushButton *>("saveLog")->click();
        QCOMPARE(fifo.take(), log->lines().join('\n').toLatin1() + '\n');
        QVERIFY(fifo.isFifo());
        log->findChild<QPushButton *>("clearLog")->click();
        QCOMPARE(log->lines(), QStringList());
    }
#endif

    void watchIsOffAtStartAndOnceItsWindowCloses_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("at start") << false;
        QTest::newRow("closed") << true;
    }

    void watchIsOffAtStartAndOnceItsWindowCloses()
    {
        QFETCH(bool, closed);
        Harness h;
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->setOn(closed);
        if (closed)
            w->close();
        w->readNow();
        QVERIFY(!w->isOn());
        QCOMPARE(h.port.opens, 0);
    }

    void watchReadsTheChosenRegistersIntoTheirBoxes()
    {
        Harness h;
        h.port.board().setChipRegister(0x01, 0x5A);
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->intervalBox()->setValue(2);
        w->setOn(true);
        QCOMPARE(w->timer()->interval(), 2000);
        w->readNow();
        QCOMPARE(h.port.commands(), (QStringList{"R0x0001 0x1 ", "R0x0002 0x1 "}));
        QCOMPARE(h.text(0x01), "5A");
        QVERIFY(h.box(0x01)->styleSheet().contains("background"));
        QTest::qWait(RegisterWatch::HighlightTime + 100);
        QCOMPARE(h.box(0x01)->styleSheet(), QString());
    }

    void watchRefusesAnAddressBeyondTheChip()
    {
        Harness h;
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->findChild<QLineEdit *>("watchedRegisters")->setText("01 40");
        w->setOn(true);
        QVERIFY(!w->isOn());
        QCOMPARE(w->findChild<QLabel *>("watchNote")->text(), "Give register addresses 00 to 3F, separated by blanks.");
    }

    void watchWaitsWhileAnotherCommandRuns()
    {
        Harness h;
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->setOn(true);
        h.clock.onWait = [&] { w->readNow(); };
        h.click("ReadAllRegisters");
        QCOMPARE(h.port.commands(), readAll);
    }

    void watchStopsWhenTheBoardFails()
    {
        Harness h({Fault::Silent, 0});
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->setOn(true);
        w->readNow();
        w->readNow();
        QVERIFY(!w->isOn());
        QCOMPARE(h.status(), "Watch Registers stopped: the board did not answer.");
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
    }

    void watchNoteShowsInFull()
    {
        Harness h;
        h.port.refuseOpen = true;
        auto *w = h.dialog<RegisterWatch>("mWatchRegisters");
        w->show();
        w->setOn(true);
        w->readNow();
        QCoreApplication::processEvents();
        const auto *note = w->findChild<QLabel *>("watchNote");
        QVERIFY(note->text().startsWith("Watch Registers stopped"));
        QVERIFY(note->geometry().bottom() < w->height() && note->height() >= note->heightForWidth(note->width()));
    }

    void scriptPutsACommandsWritesOnOneLineAndUnconfirmedOnesInComments()
    {
        Harness h;
        h.setText(0x04, "11"); // before the recording
        run(h, "mRecordScript");
        h.setText(0x03, "5A");
        h.form->videoMode().OKButton_Click();
        h.form->mDisconnectSerial_Click(); // Write finds the port closed, its box's write opens it
        h.find<QLineEdit>("Address")->setText("0C");
        h.find<QLineEdit>("Data")->setText("33");
        h.click("WriteRegCommand");
        h.find<QLineEdit>("Address")->setText("4F");
        h.click("WriteRegCommand");
        const QString script = stopRecording(h)
                                   .replace(QRegularExpression("\\d\\d:\\d\\d:\\d\\d"), "T")
                                   .replace(QRegularExpression("\\d{4}-\\d\\d-\\d\\d"), "D");
        QCOMPARE(script, R"script(#!/bin/sh
# Register writes made in the KV71xx evaluation program on D,
# replayed in order with kv71xx-cli. Writes the board did not confirm are
# comments. PORT=2 replays them on COM2.
set -e
PORT=${PORT:-1}

# T HSYNC Slicer (0x03) := 5A
kv71xx-cli --port "$PORT" write 03 5A

# T FPGA register 0000 := 01
kv71xx-cli --port "$PORT" fpga-write 0000 01
# T PLL Htotal MSB (0x0E) := 06
# T PLL Htotal LSB (0x0F) := 98
# T Output Format (0x18) := 00
kv71xx-cli --port "$PORT" write 0E 06 0F 98 18 00

# T Offset DAC Confog (0x0C) := 33, not confirmed by the board
# kv71xx-cli --port "$PORT" write 0C 33
# T Offset DAC Confog (0x0C) := 33
kv71xx-cli --port "$PORT" write 0C 33

# T register 4F := 33, beyond the chip's registers (00 to 3F)
# kv71xx-cli --port "$PORT" write 4F 33
)script");
    }

    void recordingGoesOnWhenTheScriptIsNotSaved()
    {
        Harness h;
        run(h, "mRecordScript");
        h.setText(0x03, "5A");
        run(h, "mRecordScript"); // the file dialog cancelled
        QVERIFY(h.find<QAction>("mRecordScript")->isChecked());
        QCOMPARE(h.status(), "Recording goes on: the script was not saved.");
        h.setText(0x03, "5B");
        QCOMPARE(stopRecording(h).count("write 03"), 2);
        QVERIFY(!h.find<QAction>("mRecordScript")->isChecked());
        QCOMPARE(h.status(),
                 "Script saved to " + QDir::toNativeSeparators(h.dir.filePath("session.sh"))
                     + ": 2 register writes, 0 not confirmed by the board (left as comments).");
    }

    void testRegistersItemShowsThePageWhoseBoxesWriteAsTheUserPagesDo()
    {
        Harness h;
        auto *pages = h.find<QTabWidget>("SSTab1");
        run(h, "mTestRegisters");
        QVERIFY(pages->isTabVisible(1) && pages->isTabEnabled(1) && !pages->isTabVisible(2));
        h.form->show();
        pages->setCurrentIndex(1);
        h.box(0x24)->selectAll();
        QTest::keyClicks(h.box(0x24), "5");
        QCOMPARE(h.port.commands(), QStringList{"W0x0024 0x1 0x05 "});
        QCOMPARE(h.slider(0x24)->value(), 5);
        run(h, "mTestRegisters");
        QVERIFY(!pages->isTabVisible(1) && !pages->isTabEnabled(1));
    }

    void consoleShowsEachExchangeAsTheLinkLogDoes_data()
    {
        QTest::addColumn<int>("fault"); // -1: the port does not open
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("lines");
        const QString reset = sim1 + R"(sent "QQQ" received "\r\n> \r\n> \r\n> ")";
        QTest::newRow("read") << 0 << "X0x0012 0x1 "
                              << QStringList{reset, sim1 + R"(sent "X0x0012 0x1 " received "0x0012 0x1 \r\n00> ")"};
        QTest::newRow("lone letter") << 0 << "Q" << QStringList{reset, sim1 + R"(sent "Q" received "\r\n> ")"};
        QTest::newRow("silent") << int(Fault::Silent) << "X0x0012 0x1 "
                                << QStringList{sim1 + R"(sent "QQQ" received "")", sim1 + R"(sent "X0" received "")",
                                               sim1 + "time-out: 0 of 1 characters within 1 s",
                                               sim1 + R"(sent "x0012 0x1 " received "")"};
        QTest::newRow("no port") << -1 << "X0x0012 0x1 "
                                 << QStringList{sim1 + "port error: cannot open (No such file or directory)"};
    }

    void consoleShowsEachExchangeAsTheLinkLogDoes()
    {
        QFETCH(int, fault);
        QFETCH(QString, line);
        QFETCH(QStringList, lines);
        Harness h({Fault(qMax(fault, 0)), 0});
        h.port.refuseOpen = fault < 0;
        run(h, "mLinkLog");
        enter(*h.dialog<BoardConsole>("mBoardConsole"), line);
        QCOMPARE(untimed(h.dialog<BoardConsole>()->lines()), lines);
        QCOMPARE(logLines(h), lines);
    }

    void consoleLineIsRefusedWhileAnotherCommandRunsAndStaysTyped()
    {
        Harness h;
        auto *console = h.dialog<BoardConsole>("mBoardConsole");
        bool typed = false;
        h.clock.onWait = [&] {
            if (!std::exchange(typed, true))
                enter(*console, "X0x0012 0x1 ");
        };
        h.click("ReadAllRegisters");
        QCOMPARE(h.port.commands(), readAll);
        QCOMPARE(console->lines(), QStringList{"Board Console was not started: Read All is running."});
        QCOMPARE(console->input()->text(), "X0x0012 0x1 ");
    }

    void consoleRecallsTheLinesSentWithUpAndDown()
    {
        Harness h;
        auto *console = h.dialog<BoardConsole>("mBoardConsole");
        enter(*console, "Q");
        enter(*console, "X0x0012 0x1 ");
        enter(*console, "X0x0012 0x1 "); // a repeat is kept once
        QStringList recalled;
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(console->input(), key);
            recalled.append(console->input()->text());
        }
        QCOMPARE(recalled, (QStringList{"X0x0012 0x1 ", "Q", "Q", "X0x0012 0x1 ", "", ""}));
    }

#ifdef Q_OS_UNIX // the board on a pty
    void scriptReplayedByTheCliLeavesTheChipAsTheBoxesShowIt()
    {
        Harness h;
        run(h, "mRecordScript");
        writeFile(h, [](int k) { return k % 3 ? k + 0x20 : 0x0A; }); // slider echoes write "A" again
        run(h, "nFileLoadRegisterFrom");
        writeFile(h, [](int k) { return k == 9 ? -1 : k ^ 0x5A; });
        run(h, "mQuickLoad");
        h.form->videoMode().Option(4)->setChecked(true);
        h.form->videoMode().OKButton_Click();
        h.slider(0x07)->setValue(0x33);
        h.find<QLineEdit>("Address")->setText("2A");
        h.find<QLineEdit>("Data")->setText("C4");
        h.click("WriteRegCommand");
        stopRecording(h);

        sim::BoardProcess board({"COM1", {}, false, {}});
        QProcess replay;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QFileInfo(KV71XX_CLI_EXE).absolutePath() + ':' + env.value("PATH"));
        env.insert("PORT", "1");
        replay.setProcessEnvironment(env);
        replay.start(h.dir.filePath("session.sh"));
        QVERIFY(replay.waitForFinished(60000));
        QCOMPARE(replay.exitCode(), 0);
        replay.start(KV71XX_CLI_EXE, {"dump"});
        QVERIFY(replay.waitForFinished(60000));
        const QList<QByteArray> chip = replay.readAllStandardOutput().split('\n');
        for (int a = 3; a < 64; ++a)
            QCOMPARE(chip.at(a).trimmed().right(2), hex(*RegisterMap::textToByte(h.text(a))));
    }

    void toolsWorkOverThePty()
    {
        Harness h;
        QtSerialPort port;
        RealClock clock;
        Form1 form(h.platform(port, clock));
        QVERIFY(form.Form_Load());
        ToolsMenu &menu = *form.findChild<ToolsMenu *>();
        {
            sim::BoardProcess board({"COM1", {}, false, h.dir.filePath("board.log")});
            const QString com1 = "COM1 (" + QFile::symLinkTarget("COM1") + ") ";
            enter(menu.boardConsole(), "Y0x0012 0x1 0x3F ");
            enter(menu.boardConsole(), "X0x0012 0x1 ");
            QCOMPARE(board.received(), "QQQY0x0012 0x1 0x3F X0x0012 0x1 ");
            QCOMPARE(untimed(menu.boardConsole().lines()).last(),
                     com1 + R"(sent "X0x0012 0x1 " received "0x0012 0x1 \r\n3F> ")");
            writeFile(h, [](int k) { return k + 0x80; });
            menu.quickLoad().run();
            QCOMPARE(form.boxes().reg_KV7103(0x3F)->text(), "BF");
            writeFile(h, [](int k) { return k + 0x80; });
            menu.compareFile().run();
            QCOMPARE(menu.compareFile().differing()->rowCount(), 0);
            menu.linkLog().show();
            menu.registerWatch().setOn(true);
            menu.registerWatch().readNow();
            QCOMPARE(menu.linkLog().lines().last().mid(13),
                     com1 + R"(sent "R0x0002 0x1 " received "0x0002 0x1 \r\n00> ")");
        }
        sim::BoardProcess board({"COM1", {sim::BoardOptions::Fault::StopEchoAfter, 3 + 333 + 26}, false, {}});
        writeFile(h, [](int) { return 0x11; });
        menu.quickLoad().run();
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(form.boxes().reg_KV7103(0x1F)->text(), "11");
        QCOMPARE(form.boxes().mark(0x3F), RegisterBoxes::Mark::NotRead);
    }
#endif
};

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
