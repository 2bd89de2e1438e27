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

#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

using Fault = sim::BoardOptions::Fault;
const auto power = sim::BoardCore::powerOnValue;
const QStringList readAll{"R0x0000 0x10 ", "R0x0010 0x10 ", "R0x0020 0x10 ", "R0x0030 0x10 "};

QString hex(int value)
{
    return QString::asprintf("%02X", value);
}

// A file giving register k the value value(k) (below 0: an empty line), chosen in the next dialog.
QString writeFile(Harness &h, const std::function<int(int)> &value)
{
    QFile file(h.dir.filePath("in.TXT"));
    file.open(QIODevice::WriteOnly);
    for (int k = 0; k < 64; ++k)
        file.write(value(k) < 0 ? "\r\n" : QString("KV7106_Register%1:x:%2\r\n").arg(k).arg(hex(value(k))).toLatin1());
    h.fileDialog.answers.append(file.fileName());
    return file.fileName();
}

void run(Harness &h, const char *item)
{
    h.find<QAction>(item)->trigger();
}

QStringList row(QTableWidget *table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells.append(table->item(row, column)->text());
    return cells;
}

// The link log's lines without their time of day.
QStringList logLines(const Harness &h)
{
    QStringList lines = h.dialog<LinkLog>()->lines();
    for (QString &line : lines)
        line.remove(0, 13);
    return lines;
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
                 "Quick Load from " + path + ": 63 values sent, 0 not loaded (marked), 0 registers not read back.");
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

    void compareLoadsOnlyTheDifferencesAndReadsThemBack()
    {
        Harness h;
        writeFile(h, [](int k) { return k == 6 || k == 7 || k == 0x20 ? 0x7C : power(k); });
        run(h, "mCompareWithFile");
        h.dialog<CompareFile>()->findChild<QPushButton *>("loadDifferences")->click();
        QCOMPARE(h.port.commands().mid(4),
                 (QStringList{"W0x0006 0x02 0x7C 0x7C ", "W0x0020 0x01 0x7C ", "R0x0006 0x02 ", "R0x0020 0x01 "}));
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
        QCOMPARE(lines.at(0), R"(COM1 sent "QQQ" received "\r\n> \r\n> \r\n> ")");
        QCOMPARE(lines.at(1), R"(COM1 sent "R0x0000 0x10 " received "0x0000 0x10 )" + first + R"(> ")");
    }

    void linkLogShowsAFailureInItsOwnLine()
    {
        Harness h({Fault::Silent, 0});
        run(h, "mLinkLog");
        h.click("ReadRegCommand");
        QCOMPARE(logLines(h).mid(1),
                 (QStringList{R"(COM1 sent "R0" received "")", "COM1 time-out: 0 of 1 characters within 1 s",
                              R"(COM1 sent "x0000 0x1 " received "")"}));
    }

    void closedLinkLogRecordsNothing()
    {
        Harness h;
        auto *log = h.dialog<LinkLog>("mLinkLog");
        log->close();
        h.click("ReadRegCommand");
        QCOMPARE(log->lines(), QStringList());
    }

    void linkLogSavesItsLinesAsText()
    {
        Harness h;
        auto *log = h.dialog<LinkLog>("mLinkLog");
        h.click("ReadRegCommand");
        QFile file(h.dir.filePath("log.txt"));
        h.fileDialog.answers.append(file.fileName());
        log->findChild<QPushButton *>("saveLog")->click();
        file.open(QIODevice::ReadOnly);
        QCOMPARE(file.readAll(), log->lines().join('\n').toLatin1() + '\n');
        log->findChild<QPushButton *>("clearLog")->click();
        QCOMPARE(log->lines(), QStringList());
    }

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

    void toolsWorkOverThePty()
    {
        Harness h;
        QtSerialPort port;
        RealClock clock;
        Form1 form(h.platform(port, clock));
        QVERIFY(form.Form_Load());
        ToolsMenu &menu = *form.findChild<ToolsMenu *>();
        {
            sim::BoardProcess board({"COM1", {}, false, {}});
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
                     R"(COM1 sent "R0x0002 0x1 " received "0x0002 0x1 \r\n00> ")");
        }
        sim::BoardProcess board({"COM1", {sim::BoardOptions::Fault::StopEchoAfter, 3 + 333 + 26}, false, {}});
        writeFile(h, [](int) { return 0x11; });
        menu.quickLoad().run();
        QCOMPARE(h.messages.texts(), QStringList{Texts::echo});
        QCOMPARE(form.boxes().reg_KV7103(0x1F)->text(), "11");
        QCOMPARE(form.boxes().mark(0x3F), RegisterBoxes::Mark::NotRead);
    }
};

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
