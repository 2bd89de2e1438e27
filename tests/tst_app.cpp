#include "harness.h"
#include "texts.h"

#include "link/boardlink.h"
#include "platform/lockfileinstance.h"
#include "platform/portroutes.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace {

using Fault = sim::BoardOptions::Fault;

// The addresses of one column of a page frame, top to bottom, as "01", "02".
QStringList column(const Harness &h, const char *frameName, bool left)
{
    QWidget *frame = h.find(frameName);
    QMap<int, QString> byTop;
    for (int a = 0; a < 64; ++a)
        if (h.box(a)->parentWidget() == frame && (h.box(a)->x() < frame->width() / 2) == left)
            byTop.insert(h.box(a)->y(), QString::asprintf("%02X", a));
    return byTop.values();
}

QByteArray fileBytes(const QString &path = "KV71xx.ini")
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Starts the program with no display in work, its temporary and data folders in tmp; returns where its lock goes.
QString start(QProcess &program, const QTemporaryDir &tmp, const QStringList &arguments = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    for (const char *name : {"TMPDIR", "XDG_RUNTIME_DIR", "TMP", "TEMP"})
        env.insert(name, tmp.path());
    env.insert("XDG_DATA_HOME", tmp.filePath("data"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(tmp.path());
    program.start(KV71XX_PROGRAM_EXE, QStringList{"-platform", "offscreen"} + arguments);
    return tmp.filePath(QFileInfo(LockFileInstance::defaultPath()).fileName());
}

// The exit status, standard output and standard error of a run that ends by itself.
QStringList outcome(const QStringList &arguments)
{
    QTemporaryDir tmp;
    QProcess program;
    start(program, tmp, arguments);
#ifdef Q_OS_WIN
    program.setTextModeEnabled(true); // lines end with CR LF there
#endif
    program.waitForFinished(20000);
    return {QString::number(program.exitCode()), program.readAllStandardOutput(), program.readAllStandardError()};
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
#ifdef Q_OS_WIN // which has no XDG_CONFIG_HOME: keep the user's own port assignments
        QStandardPaths::setTestModeEnabled(true);
#endif
    }

    void startUpShowsOnlyTheUserRegistersPage()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), "User Registers");
        for (const int page : {1, 2})
            QVERIFY(!tabs->isTabVisible(page) && !tabs->isTabEnabled(page));
    }

    void readAllAndItsBarStandInFrontOfEveryPage()
    {
        Harness h;
        const QObjectList order = h.form->centralWidget()->children();
        QVERIFY(order.indexOf(h.find("ReadAllRegisters")) > order.indexOf(h.find("SSTab1")));
        QVERIFY(order.indexOf(h.find("ProgressBar1")) > order.indexOf(h.find("SSTab1")));
    }

    void eachColumnHoldsItsRegistersTopToBottom()
    {
        Harness h;
        QCOMPARE(column(h, "Frame5", true), QString("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F").split(' '));
        QCOMPARE(column(h, "Frame5", false), QString("10 11 12 13 14 15 16 17 18 19 1A 1B 22 23").split(' '));
        QCOMPARE(column(h, "Frame1", true), QString("00 1C 1D 1E 1F 20 21 24 25 26 27 28 29 2A 2B 2C 2D").split(' '));
        QCOMPARE(column(h, "Frame1", false),
                 QString("2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F").split(' '));
    }

    void eachRowHasCaptionThenBoxThenSlider()
    {
        Harness h;
        for (int a = 0; a < 64; ++a) {
            const QLabel *label = h.form->boxes().KV7106_Label(a);
            QVERIFY(label->y() == h.box(a)->y() && label->geometry().right() < h.box(a)->x());
        }
        for (const int a : RegisterMap::sliderAddresses())
            QVERIFY(h.slider(a)->y() == h.box(a)->y() && h.slider(a)->x() > h.box(a)->geometry().right());
    }

    // Boxes 05 to 0F hold two blanks, the others nothing; 01 and 02 take no typing; only 20 to 2F take three digits.
    void boxesStartAsTheFormLeftThem()
    {
        Harness h;
        QGuiApplication::clipboard()->setText("123");
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(h.text(a), a >= 0x05 && a <= 0x0F ? "  " : "");
            QCOMPARE(h.box(a)->isEnabledTo(h.box(a)->parentWidget()), a != 0x01 && a != 0x02);
            h.box(a)->selectAll();
            h.box(a)->paste();
            QCOMPARE(h.text(a), a >= 0x20 && a <= 0x2F ? "123" : a >= 0x05 && a <= 0x0F ? "  " : "");
        }
    }

    void shortcutFiresWithMenusClosed()
    {
        Harness h;
        h.form->show();
        QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
        h.setText(0x03, "12");
        h.box(0x03)->selectAll();
        QSignalSpy spy(h.find<QAction>("nMenuFileExit"), &QAction::triggered);
        QTest::keyClick(h.box(0x03), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(h.text(0x03), "12");
    }

    void secondCopyIsRefused()
    {
        Harness h({}, false);
        h.instance.running = true;
        QVERIFY(!h.form->Form_Load());
        QCOMPARE(h.messages.texts(), QStringList{Texts::secondCopy});
        QCOMPARE(h.messages.shown.first().caption, "KV71xx");
        QCOMPARE(h.messages.shown.first().icon, MessageBoxes::Icon::Exclamation);
        QCOMPARE(h.log.events.last(), "end");
        QVERIFY(!QFile::exists("KV71xx.ini")); // none of the later steps ran
    }

    void exitClosesThePortThenEndsAsClosingTheWindowEnds_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("Exit") << true << QStringList{"close", "end"};
        QTest::newRow("window closed") << false << QStringList{"end"};
    }

    void exitClosesThePortThenEndsAsClosingTheWindowEnds()
    {
        QFETCH(bool, exit);
        Harness h;
        h.form->show();
        QVERIFY(h.form->link().Connect_Board());
        h.log.events.clear();
        if (exit)
            h.find<QAction>("nMenuFileExit")->trigger();
        else
            QVERIFY(h.form->close());
        QTEST(h.log.events, "events");
        QVERIFY(!h.form->isVisible());
    }

    void disconnectClosesThePortAndKeepsTheChoice()
    {
        Harness h;
        QVERIFY(h.form->link().Connect_Board());
        h.find<QAction>("mDisconnectSerial")->trigger();
        QVERIFY(!h.port.isOpen() && h.form->ports().COM_SEL(1)->isChecked());
    }

    void startUpSelectsThePortTheSettingsFileNames_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::newRow("8") << QByteArray(" 8 \r\n") << 8;
        QTest::newRow("7,9") << QByteArray("  7,9\r\n") << 7;
        QTest::newRow("3, 5") << QByteArray("3\r\n5\r\n") << 3;
        QTest::newRow("9") << QByteArray(" 9 \r\n") << 0;
        QTest::newRow("COM3") << QByteArray("COM3\r\n") << 0;
    }

    void startUpSelectsThePortTheSettingsFileNames()
    {
        QFETCH(QByteArray, content);
        Harness h({}, false);
        writeFile("KV71xx.ini", content);
        h.form->Form_Load();
        QTEST(h.form->ports().selectedPort(), "port");
        QCOMPARE(fileBytes(), content); // an existing file is only read
    }

    void choosingPortWritesAtOnce()
    {
        Harness h;
        QCOMPARE(fileBytes(), QByteArray(" 1 \r\n")); // created at first start
        h.setText(0x03, "12");
        h.form->ports().COM_SEL(2)->trigger();
        QCOMPARE(fileBytes(), QByteArray(" 2 \r\n"));
        QVERIFY(h.port.isOpen()); // the open port is left alone until the next reset
        h.log.events.clear();
        h.port.received.clear();
        h.setText(0x03, ""); // nothing to write: a reset all the same
        QCOMPARE(h.log.events.mid(0, 2), (QStringList{"close", "port 2"}));
        QCOMPARE(h.port.received, "QQQ");
        // The file is looked for in the working directory of the moment.
        QTemporaryDir other;
        QDir::setCurrent(other.path());
        h.form->ports().COM_SEL(6)->trigger();
        QCOMPARE(fileBytes(), QByteArray(" 6 \r\n"));
        QCOMPARE(fileBytes(h.dir.filePath("KV71xx.ini")), QByteArray(" 2 \r\n"));
#ifdef Q_OS_UNIX // a POSIX file size limit
        limitFileSize(2); // a full disk keeps the earlier choice in the file, and says why
        h.form->ports().COM_SEL(3)->trigger();
        limitFileSize(-1);
        QCOMPARE(fileBytes(), " 6 \r\n");
        QCOMPARE(h.messages.texts(),
                 QStringList{"Cannot write the settings file "
                             + QDir::toNativeSeparators(QDir::current().absoluteFilePath("KV71xx.ini"))
                             + ": File too large"});
#endif
    }

    void aCrashedCopysLockIsTakenOverAndALiveOneRefused()
    {
#ifdef Q_OS_WIN
        const QString user = qEnvironmentVariable("USERNAME");
#else
        const QString user = QString::number(::getuid());
#endif
        QCOMPARE(QFileInfo(LockFileInstance::defaultPath()).fileName(), "kv71xx-" + user + ".lock");
        QTemporaryDir tmp;
        QProcess program;
        const QString lock = start(program, tmp);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(tmp.filePath("KV71xx.ini")), 20000);
        QVERIFY(LockFileInstance(lock).anotherCopyRunning());
        program.kill();
        QVERIFY(program.waitForFinished());
        LockFileInstance next(lock); // the crashed copy's lock is taken over
        QVERIFY(!next.anotherCopyRunning());
        QVERIFY(!next.anotherCopyRunning()); // asking again does not count itself
        QVERIFY(LockFileInstance(lock).anotherCopyRunning());
        QVERIFY(!LockFileInstance(tmp.filePath("missing/x.lock")).anotherCopyRunning());
    }

    void aLockNamingThisProcessIsTakenOver()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath("x.lock");
        QLockFile lock(path);
        QVERIFY(lock.tryLock(0));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray left = file.readAll(); // as a dead copy with this process id left it
        file.close();
        lock.unlock();
        writeFile(path, left);
        LockFileInstance instance(path);
        QVERIFY(!instance.anotherCopyRunning());
        QVERIFY(LockFileInstance(path).anotherCopyRunning());
    }

#ifdef Q_OS_UNIX // POSIX signals, links to devices
    void signalEndsTheProgramAsExitDoes_data()
    {
        addTerminationSignalRows();
    }

    void signalEndsTheProgramAsExitDoes()
    {
        QFETCH(int, signal);
        QTemporaryDir tmp;
        QProcess program;
        const QString lock = start(program, tmp);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(tmp.filePath("KV71xx.ini")), 20000);
        QVERIFY(QFileInfo::exists(lock));
        QCOMPARE(::kill(program.processId(), signal), 0);
        QVERIFY(program.waitForFinished(3000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(lock));
    }

    // A signal arrives while the echo of the first field character is awaited.
    void aSignalDuringACommandEndsTheWindowAfterItsLine()
    {
        Harness h;
        h.port.holdReplies = true;
        h.clock.onWait = [&] {
            if (h.port.received.endsWith("W0"))
                h.form->endAfterCommand();
            h.port.release();
        };
        h.setText(0x06, "80");
        QCOMPARE(h.port.commands(), QStringList{"W0x0006 0x1 0x80 "});
        QCOMPARE(h.log.events.mid(h.log.events.indexOf("end")).filter("send"), QStringList());
    }

    void statusLineShowsEveryWordOnTwoLinesOrInItsTooltip_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<bool>("elided");
        QTest::newRow("two lines") << 14 << false;
        QTest::newRow("too long") << 60 << true;
    }

    void statusLineShowsEveryWordOnTwoLinesOrInItsTooltip()
    {
        QFETCH(int, words);
        Harness h;
        h.form->show();
        const QString text = QStringList(words, "register").join(' ');
        h.form->showStatus(text);
        const auto *line = h.find<QLabel>("StatusLine");
        QFETCH(bool, elided);
        QCOMPARE(line->text().count('\n'), 1);
        QCOMPARE(line->toolTip(), elided ? text : QString());
        QCOMPARE(QString(line->text()).replace('\n', ' '),
                 elided ? text.left(line->text().size() - 1) + "\u2026" : text);
    }

    void aSilentBoardPointsInTheStatusLineToTheAdapterItDoesNotOpen()
    {
        Harness h({Fault::Silent, 0});
        QVERIFY(QFile::link(h.dir.filePath("ttyS9"), "COM1"));
        h.devices.devices = {{"/dev/ttyS1", {}, "", "", ""}, { "/dev/ttyUSB0", "", "FT232R USB UART", "FTDI", "A1" }};
        h.click("ReadAllRegisters");
        QCOMPARE(h.status(),
                 "Read All: 64 of 64 registers not read, the board did not answer. COM1 opens "
                     + h.dir.filePath("ttyS9")
                     + " (not present); a serial adapter is at /dev/ttyUSB0: Options > Assign a "
                       "Device to COM1.");
    }

    void assignProposesTheCurrentDeviceAndSaysWhatComesBeforeIt()
    {
        Harness h;
        QVERIFY(PortAssignments::assign(1, "/dev/ttyS3", nullptr));
        QVERIFY(QFile::link("/dev/null", "COM1"));
        h.devices.devices = {{"/dev/ttyS2", {}, "", "", ""}, { "/dev/ttyS3", {}, "", "", "" }};
        h.find<QAction>("mAssignDevice")->trigger();
        QVERIFY(PortAssignments::assign(1, {}, nullptr));
        QCOMPARE(h.devices.asked.value(0).current, 1);
        QCOMPARE(h.devices.asked.value(0).note,
                 "COM1 in " + QDir::currentPath()
                     + " comes before any assignment: while it is there, COM1 opens /dev/null.\nThe system reports no "
                       "USB or other serial adapter: plug one in and choose again.");
    }

    void choosingAPortWritesIntoASettingsFifo()
    {
        Harness h({}, false);
        Fifo settings("KV71xx.ini");
        h.form->ports().COM_SEL(2)->trigger();
        QCOMPARE(settings.take(), " 2 \r\n");
        QVERIFY(settings.isFifo());
    }

    void anOpenFailureIsShownOnceUntilAnotherPortOrAnOpen_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::newRow("COM2 chosen") << true;
        QTest::newRow("opened between") << false;
    }

    void anOpenFailureIsShownOnceUntilAnotherPortOrAnOpen()
    {
        QFETCH(bool, choose);
        Harness h;
        h.port.refuseOpen = true;
        h.setText(0x03, "12");
        h.setText(0x03, "13");
        if (choose) {
            h.form->ports().COM_SEL(2)->trigger();
        } else {
            h.port.refuseOpen = false;
            h.setText(0x03, "14");
            h.port.refuseOpen = true;
        }
        h.setText(0x03, "15");
        QCOMPARE(h.messages.texts().size(), 2);
        QVERIFY(h.messages.texts().last().startsWith(choose ? "COM2 " : "COM1 "));
    }

    void portItemsSayWhichDeviceTheyOpen()
    {
        Harness h;
        QVERIFY(QFile::link("/dev/null", "COM1") && QFile::link(h.dir.filePath("ttyUSB9"), "COM2"));
        emit h.find<QMenu>("mSetupCom")->aboutToShow();
        const QString through = " through the link %1 in " + QDir::currentPath();
        QCOMPARE(h.form->ports().COM_SEL(1)->statusTip(), "/dev/null" + through.arg("COM1"));
        QCOMPARE(h.form->ports().COM_SEL(2)->statusTip(),
                 h.dir.filePath("ttyUSB9") + through.arg("COM2") + ", not present");
    }

    void assigningADeviceKeepsItsStableLinkForTheUser()
    {
        Harness h;
        const QString stable = h.dir.filePath("usb-FTDI_A1");
        QVERIFY(QFile::link("/dev/zero", stable));
        h.devices.devices = {{"/dev/ttyS9", {}, "", "", ""}, { "/dev/zero", stable, "FT232R", "FTDI", "A1" }};
        h.devices.answers = {1};
        h.form->ports().COM_SEL(4)->trigger();
        h.find<QAction>("mAssignDevice")->trigger();
        QCOMPARE(h.devices.asked.value(0).portName, "COM4");
        Harness restarted;
        QCOMPARE(restarted.form->ports().COM_SEL(4)->statusTip(), "/dev/zero through the assigned " + stable);
    }

#endif

    void choosingNoDeviceRemovesTheAssignment()
    {
        Harness h;
        QVERIFY(PortAssignments::assign(5, "/dev/zero", nullptr));
        h.devices.answers = {DeviceChooser::NoDevice};
        h.form->ports().COM_SEL(5)->trigger();
        h.find<QAction>("mAssignDevice")->trigger();
        QCOMPARE(PortAssignments::device(5), QString());
    }

    void unknownArgumentsAreRefused()
    {
        QCOMPARE(outcome({"-platformtheme", "none", "--bogus"}),
                 (QStringList{"2", "", "kv71xx: Unknown option 'bogus'.\n"}));
        QCOMPARE(outcome({"a"}), (QStringList{"2", "", "kv71xx: unexpected argument \"a\"\n"}));
    }

#ifdef Q_OS_UNIX // Windows' per-user folder is its own, which no environment variable moves
    void userFolderBecomesTheWorkingFolder()
    {
        QTemporaryDir tmp;
        QProcess program;
        start(program, tmp, {"--user-folder"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(tmp.filePath("data/kv71xx/KV71xx.ini")), 20000);
        QVERIFY(!QFileInfo::exists(tmp.filePath("KV71xx.ini")));
        program.kill();
        QVERIFY(program.waitForFinished());
    }
#endif
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
