// The Tools menu: Quick Load, Compare With File, the link log and the register watch.

#include "boardprocess.h"
#include "harness.h"
#include "texts.h"

#include "app/progressbar.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#include "tools/comparefile.h"
#include "tools/linklog.h"
#include "tools/quickload.h"
#include "tools/registerwatch.h"
#include "tools/toolsmenu.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

using Fault = sim::BoardOptions::Fault;

QString hex(int value)
{
    return QString::asprintf("%02X", value);
}

// A register file giving register k the value value(k); a negative value gives an empty line.
QString writeFile(Harness &h, const std::function<int(int)> &value)
{
    QFile file(h.dir.filePath(QStringLiteral("in.TXT")));
    file.open(QIODevice::WriteOnly);
    for (int k = 0; k < 64; ++k)
        file.write(value(k) < 0 ? "\r\n" : QString("KV7106_Register%1:x:%2\r\n").arg(k).arg(hex(value(k))).toLatin1());
    h.fileDialog.answers.append(file.fileName());
    return file.fileName();
}

ToolsMenu &tools(Harness &h)
{
    return *h.form->findChild<ToolsMenu *>();
}

QString status(const Harness &h)
{
    return h.status();
}

QStringList row(QTableWidget *table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells.append(table->item(row, column)->text());
    return cells;
}

// The log's lines without their time of day.
QStringList logLines(LinkLog &log)
{
    QStringList lines = log.lines();
    for (QString &line : lines)
        line.remove(0, 13);
    return lines;
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private slots:
    void toolsMenuFollowsOptionsWithItsFourItems()
    {
        Harness h;
        const QList<QAction *> top = h.form->menuBar()->actions();
        QCOMPARE(top.at(2)->text(), QStringLiteral("&Tools"));
        QStringList items;
        for (const QAction *a : top.at(2)->menu()->actions())
            items.append(a->text());
        QCOMPARE(items, (QStringList{"&Link Log", "&Compare With File...", "&Quick Load...", "&Watch Registers..."}));
    }

    void quickLoadWritesConsecutiveLinesAsBurstsAndReadsAllBack()
    {
        Harness h;
        const QString path = writeFile(h, [](int k) { return k == 5 ? -1 : k + 0x40; });
        h.find<QAction>("mQuickLoad")->trigger();
        QString second = "W0x0006 0x3A ";
        for (int k = 6; k < 64; ++k)
            second += "0x" + hex(k + 0x40) + ' ';
        QCOMPARE(h.port.commands(),
                 (QStringList{"W0x0000 0x05 0x40 0x41 0x42 0x43 0x44 ", second, "R0x0000 0x10 ", "R0x0010 0x10 ",
                              "R0x0020 0x10 ", "R0x0030 0x10 "}));
        QCOMPARE(h.port.received.count('Q'), 3); // one link reset
        for (int k = 0; k < 64; ++k)
            QCOMPARE(h.text(k), hex(k == 5 || k == 1 || k == 2 ? sim::BoardCore::powerOnValue(k) : k + 0x40));
        QCOMPARE(h.messages.texts(),
                 QStringList{"These lines hold no byte (00 to FF) and were skipped, leaving "
                             "their registers unchanged: line 6 (register 05)."});
        QCOMPARE(status(h),
                 "Quick Load from " + path
                     + ": 63 values sent, 0 not loaded (marked), 0 registers not "
                       "read back.");
    }

    void quickLoadSetsTheSlidersQuietlyToWhatWasRead()
    {
        Harness h;
        writeFile(h, [](int k) { return k; });
        h.find<QAction>("mQuickLoad")->trigger();
        QCOMPARE(h.slider(0x06)->value(), 0x06);
        QCOMPARE(h.port.commands().size(), 5); // no slider echo wrote anything
    }

    void quickLoadMarksARegisterTheBoardDoesNotHold()
    {
        Harness h({Fault::StuckRegister, 0x06});
        const QString path = writeFile(h, [](int) { return 0x7C; });
        h.find<QAction>("mQuickLoad")->trigger();
        QCOMPARE(h.box(0x06)->toolTip(),
                 "Not loaded: wrote 7C, the board holds " + hex(sim::BoardCore::powerOnValue(6)));
        QCOMPARE(h.form->boxes().mark(0x01), RegisterBoxes::Mark::None); // the chip's own
        QCOMPARE(status(h),
                 "Quick Load from " + path
                     + ": 64 values sent, 1 not loaded (marked), 0 registers not "
                       "read back.");
    }

    void quickLoadOnABoardThatStopsMidwayMarksWhatItCouldNotRead()
    {
        // 3 Q, the burst write's 333 characters, two burst reads' 13: the third read goes unanswered.
        Harness h({Fault::StopEchoAfter, 3 + 333 + 26});
        writeFile(h, [](int) { return 0x11; });
        h.find<QAction>("mQuickLoad")->trigger();
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(h.text(0x1F), QStringLiteral("11"));
        for (int a = 0x20; a < 64; ++a) {
            QCOMPARE(h.text(a), QString()); // as before, nothing made up
            QCOMPARE(h.form->boxes().mark(a), RegisterBoxes::Mark::NotRead);
        }
        QVERIFY(status(h).endsWith(": 64 values sent, 0 not loaded (marked), 32 registers not read back."));
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
    }

    void quickLoadHoldsTheCommandsAndShowsItsProgress()
    {
        Harness h;
        writeFile(h, [](int k) { return k; });
        QStringList states;
        QList<double> bar;
        auto *progress = h.find<ProgressBar>("ProgressBar1");
        h.port.holdReplies = true;
        h.clock.onWait = [&] {
            states.append(h.commandStates()), bar.append(progress->percent());
            h.port.release();
        };
        h.find<QAction>("mQuickLoad")->trigger();
        QCOMPARE(states.first(), QStringLiteral("0000"));
        QCOMPARE(bar.first(), 0.0);
        QCOMPARE(bar.last(), 100.0 * (64 + 48) / 128);
        QCOMPARE(progress->percent(), 0.0);
        QCOMPARE(h.commandStates(), QStringLiteral("1111"));
    }

    void compareLeavesRegistersItCouldNotReadOutOfTheTable()
    {
        Harness h({Fault::StopEchoAfter, 3 + 13});
        writeFile(h, [](int) { return 0x7C; });
        h.find<QAction>("mCompareWithFile")->trigger();
        QCOMPARE(tools(h).compareFile().differing()->rowCount(), 12); // 04 to 0F: 03 holds 7C
        QVERIFY(status(h).endsWith("differing registers: 12. Registers not read: 48."));
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
    }

    void compareListsTheRegistersThatDifferAndTheChipOwnedApart()
    {
        Harness h;
        const auto power = sim::BoardCore::powerOnValue;
        const QString path = writeFile(h, [&](int k) { return k == 6 ? 0x7C : k == 1 ? 0x55 : power(k); });
        h.find<QAction>("mCompareWithFile")->trigger();
        QCOMPARE(h.port.commands(), (QStringList{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "}));
        CompareFile &compare = tools(h).compareFile();
        QCOMPARE(compare.differing()->rowCount(), 1);
        QCOMPARE(row(compare.differing(), 0), (QStringList{"06", "Red Gain (0x06)", "7C", hex(power(6))}));
        QCOMPARE(compare.chipOwned()->rowCount(), 3);
        QCOMPARE(row(compare.chipOwned(), 1), (QStringList{"01", "Sync Status (0x01)", "55", hex(power(1))}));
        QCOMPARE(h.text(0x06), hex(power(6)));
        QCOMPARE(status(h), "Compared with " + path + ": differing registers: 1.");
    }

    void compareLoadsOnlyTheDifferingRegistersAndReadsThemBack()
    {
        Harness h;
        const auto power = sim::BoardCore::powerOnValue;
        writeFile(h, [&](int k) { return k == 6 || k == 7 || k == 0x20 ? 0x7C : power(k); });
        h.find<QAction>("mCompareWithFile")->trigger();
        tools(h).compareFile().findChild<QPushButton *>("loadDifferences")->click();
        QCOMPARE(h.port.commands().mid(4),
                 (QStringList{"W0x0006 0x02 0x7C 0x7C ", "W0x0020 0x01 0x7C ", "R0x0006 0x02 ", "R0x0020 0x01 "}));
        QCOMPARE(tools(h).compareFile().differing()->rowCount(), 0);
        QCOMPARE(h.text(0x07), QStringLiteral("7C"));
    }

    void linkLogShowsEachExchangeWithItsEchoAndReply()
    {
        Harness h;
        h.find<QAction>("mLinkLog")->trigger();
        h.click("ReadAllRegisters");
        QString first;
        for (int a = 0; a < 16; ++a)
            first += hex(sim::BoardCore::powerOnValue(a));
        const QStringList lines = logLines(tools(h).linkLog());
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(0), R"(COM1 sent "QQQ" received "\r\n> \r\n> \r\n> ")");
        QCOMPARE(lines.at(1), R"(COM1 sent "R0x0000 0x10 " received "0x0000 0x10 )" + first + R"(> ")");
    }

    void linkLogShowsAFailureInItsOwnLine()
    {
        Harness h({Fault::Silent, 0});
        h.find<QAction>("mLinkLog")->trigger();
        h.click("ReadRegCommand");
        QCOMPARE(logLines(tools(h).linkLog()).mid(1),
                 (QStringList{R"(COM1 sent "R0" received "")", "COM1 time-out: 0 of 1 characters within 1 s",
                              R"(COM1 sent "x0000 0x1 " received "")"}));
    }

    void closedLinkLogRecordsNothing()
    {
        Harness h;
        LinkLog &log = tools(h).linkLog();
        log.show();
        log.close();
        h.click("ReadRegCommand");
        QCOMPARE(log.lines(), QStringList());
    }

    void linkLogSavesItsLinesAsText()
    {
        Harness h;
        h.find<QAction>("mLinkLog")->trigger();
        h.click("ReadRegCommand");
        LinkLog &log = tools(h).linkLog();
        const QString path = h.dir.filePath(QStringLiteral("log.txt"));
        h.fileDialog.answers.append(path);
        log.findChild<QPushButton *>("saveLog")->click();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), log.lines().join('\n').toLatin1() + '\n');
        log.findChild<QPushButton *>("clearLog")->click();
        QCOMPARE(log.lines(), QStringList());
    }

    void watchIsOffAtStartAndSendsNothing()
    {
        Harness h;
        RegisterWatch *watch = h.dialog<RegisterWatch>("mWatchRegisters");
        QVERIFY(!watch->isOn() && !watch->timer()->isActive());
        watch->readNow();
        QCOMPARE(h.port.opens, 0);
    }

    void watchReadsTheChosenRegistersIntoTheirBoxesWithoutWriting()
    {
        Harness h;
        h.port.board().setChipRegister(0x01, 0x5A);
        RegisterWatch *watch = h.dialog<RegisterWatch>("mWatchRegisters");
        watch->intervalBox()->setValue(2);
        watch->setOn(true);
        QCOMPARE(watch->timer()->interval(), 2000);
        watch->readNow();
        QCOMPARE(h.port.commands(), (QStringList{"R0x0001 0x1 ", "R0x0002 0x1 "}));
        QCOMPARE(h.port.received.count('Q'), 3);
        QCOMPARE(h.text(0x01), QStringLiteral("5A"));
        QVERIFY(h.box(0x01)->styleSheet().contains("background"));
        QTest::qWait(RegisterWatch::HighlightTime + 100);
        QCOMPARE(h.box(0x01)->styleSheet(), QString());
    }

    void watchWaitsWhileAnotherCommandRuns()
    {
        Harness h;
        RegisterWatch *watch = h.dialog<RegisterWatch>("mWatchRegisters");
        watch->setOn(true);
        h.clock.onWait = [&] { watch->readNow(); };
        h.click("ReadAllRegisters");
        QCOMPARE(h.port.commands().size(), 4);
    }

    void watchStopsWithOneStatusLineWhenTheBoardFails()
    {
        Harness h({Fault::Silent, 0});
        RegisterWatch *watch = h.dialog<RegisterWatch>("mWatchRegisters");
        watch->setOn(true);
        watch->readNow();
        watch->readNow();
        QVERIFY(!watch->isOn());
        QCOMPARE(status(h), QStringLiteral("Watch Registers stopped: the board did not answer."));
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(h.port.opens, 1);
    }

    // The real port on a pty: each tool with a healthy board, then a board that stops in the middle of Quick Load.
    void toolsOverThePty()
    {
        Harness h;
        const QString link = h.dir.filePath(QStringLiteral("COM1"));
        QtSerialPort port;
        RealClock clock;
        Form1 form(
            {port, clock, h.messages, h.instance, h.end, h.registry, h.launcher, h.fileDialog, h.devices, h.devices});
        QVERIFY(form.Form_Load());
        ToolsMenu &menu = *form.findChild<ToolsMenu *>();
        {
            sim::BoardProcess board({link, {}, false, {}});
            const QString path = writeFile(h, [](int k) { return k + 0x80; });
            menu.quickLoad().run();
            QCOMPARE(form.findChild<QWidget *>(QStringLiteral("StatusLine"))->property("text").toString(),
                     "Quick Load: loaded the 64 registers from " + path + " and read them back.");
            QCOMPARE(form.boxes().reg_KV7103(0x3F)->text(), QStringLiteral("BF"));
            writeFile(h, [](int k) { return k + 0x80; });
            menu.compareFile().run();
            QCOMPARE(menu.compareFile().differing()->rowCount(), 0);
            menu.linkLog().show();
            menu.registerWatch().setOn(true);
            menu.registerWatch().readNow();
            QCOMPARE(logLines(menu.linkLog()).last(), R"(COM1 sent "R0x0002 0x1 " received "0x0002 0x1 \r\n00> ")");
        }
        sim::BoardProcess board({link, {Fault::StopEchoAfter, 3 + 333 + 26}, false, {}});
        writeFile(h, [](int) { return 0x11; });
        menu.quickLoad().run();
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(form.boxes().reg_KV7103(0x1F)->text(), QStringLiteral("11"));
        QCOMPARE(form.boxes().reg_KV7103(0x3F)->text(), QStringLiteral("BF"));
        QCOMPARE(form.boxes().mark(0x3F), RegisterBoxes::Mark::NotRead);
    }
};

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
