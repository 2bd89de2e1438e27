// The application shell: pages, rows, menus, start-up, the ways out, settings file, single instance.

#include "harness.h"
#include "texts.h"

#include "link/boardlink.h"
#include "platform/lockfileinstance.h"
#include "platform/portroutes.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include <csignal>
#include <functional>
#include <unistd.h>

namespace {

// The addresses of one column of a page frame, top to bottom, as "01", "02".
QStringList column(const Harness &h, const char *frameName, bool left)
{
    QWidget *frame = h.find(frameName);
    QMap<int, QString> byTop;
    for (int a = 0; a < 64; ++a) {
        if (h.box(a)->parentWidget() == frame && (h.box(a)->x() < frame->width() / 2) == left)
            byTop.insert(h.box(a)->y(), QString::number(a + 0x100, 16).right(2).toUpper());
    }
    return byTop.values();
}

QStringList texts(const QList<QAction *> &actions)
{
    QStringList result;
    for (const QAction *a : actions)
        result.append(a->text() + (a->shortcut().isEmpty() ? QString() : '\t' + a->shortcut().toString()));
    return result;
}

QByteArray fileBytes(const QString &path = QStringLiteral("KV71xx.ini"))
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Starts the installed program in work with tmp as its temporary folder; returns where its lock goes.
QString startProgram(QProcess &program, const QTemporaryDir &tmp, const QTemporaryDir &work)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work.path());
    program.start(QStringLiteral(KV71XX_PROGRAM_EXE), {});
    return tmp.filePath(QFileInfo(LockFileInstance::defaultPath()).fileName());
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    // The port assignments go to a configuration folder of the test's own.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }

    void startUpShowsOnlyTheUserRegistersPage()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("User Registers"));
        for (const int page : {1, 2})
            QVERIFY(!tabs->isTabVisible(page) && !tabs->isTabEnabled(page));
    }

    void startUpTouchesNeitherPortNorBoard()
    {
        Harness h;
        QCOMPARE(h.port.opens, 0);
    }

    void readAllAndItsBarStandInFrontOfEveryPage()
    {
        Harness h;
        const QObjectList order = h.form->centralWidget()->children();
        QVERIFY(order.indexOf(h.find("ReadAllRegisters")) > order.indexOf(h.find("SSTab1")));
        QVERIFY(order.indexOf(h.find("ProgressBar1")) > order.indexOf(h.find("SSTab1")));
    }

    void eachColumnHoldsItsRegistersTopToBottom_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QString>("addresses");
        // clang-format off
        QTest::newRow("user, left") << "Frame5" << true << "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F";
        QTest::newRow("user, right") << "Frame5" << false << "10 11 12 13 14 15 16 17 18 19 1A 1B 22 23";
        QTest::newRow("test, left") << "Frame1" << true << "00 1C 1D 1E 1F 20 21 24 25 26 27 28 29 2A 2B 2C 2D";
        QTest::newRow("test, right") << "Frame1" << false << "2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F";
        // clang-format on
    }

    void eachColumnHoldsItsRegistersTopToBottom()
    {
        QFETCH(QString, frame);
        QFETCH(bool, left);
        Harness h;
        QFETCH(QString, addresses);
        QCOMPARE(column(h, qPrintable(frame), left), addresses.split(' '));
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

    // Boxes 05 to 0F hold two blanks, the others nothing; 01 and 02 take no typing.
    void boxesStartAsTheFormLeftThem()
    {
        Harness h;
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(h.text(a), a >= 0x05 && a <= 0x0F ? QStringLiteral("  ") : QString());
            QCOMPARE(h.box(a)->isEnabledTo(h.box(a)->parentWidget()), a != 0x01 && a != 0x02);
        }
    }

    void menusHoldTheirItemsInOrder()
    {
        Harness h;
        const QList<QAction *> top = h.form->menuBar()->actions();
        QCOMPARE(texts(top), (QStringList{"&File", "&Options", "&Tools"}));
        QCOMPARE(texts(top.at(0)->menu()->actions()),
                 (QStringList{"Save Resisters\tCtrl+S", "Load Registers\tCtrl+L", "About", "E&xit\tCtrl+X"}));
        const QList<QAction *> options = top.at(1)->menu()->actions();
        QCOMPARE(texts(options),
                 (QStringList{"Select &Input Video Mode", "&Select Serial Port", "&Disconnect Serial Port"}));
        QCOMPARE(texts(options.at(1)->menu()->actions()),
                 (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "",
                              "Assign a Device to COM1..."}));
    }

    void noMenuItemStartsDisabledOrHidden()
    {
        Harness h;
        for (const QAction *a : h.form->findChildren<QAction *>())
            QVERIFY(a->isEnabled() && a->isVisible());
    }

    // Ctrl+X ends the program even from inside a box, where it would cut.
    void shortcutFiresWithMenusClosed()
    {
        Harness h;
        h.form->show();
        QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
        h.setText(0x03, QStringLiteral("12"));
        h.box(0x03)->selectAll();
        QSignalSpy spy(h.find<QAction>("nMenuFileExit"), &QAction::triggered);
        QTest::keyClick(h.box(0x03), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(h.text(0x03), QStringLiteral("12"));
    }

    void secondCopyIsRefused()
    {
        Harness h({}, false);
        h.instance.running = true;
        QVERIFY(!h.form->Form_Load());
        QCOMPARE(h.messages.texts(), QStringList{Texts::secondCopy});
        QCOMPARE(h.messages.shown.first().caption, QStringLiteral("KV71xx"));
        QCOMPARE(h.messages.shown.first().icon, MessageBoxes::Icon::Exclamation);
        QCOMPARE(h.log.events.last(), QStringLiteral("end"));
        QVERIFY(!QFile::exists(QStringLiteral("KV71xx.ini"))); // none of the later steps ran
    }

    void waysOut()
    {
        Harness h;
        h.form->show();
        QVERIFY(h.form->link().Connect_Board());
        h.log.events.clear();
        h.find<QAction>("nMenuFileExit")->trigger();
        QCOMPARE(h.log.events, (QStringList{"close", "end"}));
        QVERIFY(!h.form->isVisible());

        // Closing the window ends the program without closing the port first;
        // Disconnect closes it and leaves the port choice alone.
        Harness closing;
        closing.form->show();
        QVERIFY(closing.form->link().Connect_Board());
        closing.find<QAction>("mDisconnectSerial")->trigger();
        QVERIFY(!closing.port.isOpen() && closing.form->ports().COM_SEL(1)->isChecked());
        QVERIFY(closing.form->link().Connect_Board());
        closing.log.events.clear();
        QVERIFY(closing.form->close());
        QCOMPARE(closing.log.events, QStringList{"end"});
    }

    void settingsAtStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        // clang-format off
        QTest::newRow("saved form") << QByteArray(" 8 \r\n") << 8;
        QTest::newRow("comma ends field") << QByteArray("  7,9\r\n") << 7;
        QTest::newRow("later lines ignored") << QByteArray("3\r\n5\r\n") << 3;
        QTest::newRow("nine") << QByteArray(" 9 \r\n") << 0;
        QTest::newRow("COM3") << QByteArray("COM3\r\n") << 0;
        // clang-format on
    }

    void settingsAtStart()
    {
        QFETCH(QByteArray, content);
        Harness h({}, false);
        QFile file(QStringLiteral("KV71xx.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        h.form->Form_Load();
        QTEST(h.form->ports().selectedPort(), "port");
        const QList<QAction *> ports = h.find<QMenu>("mSetupCom")->actions();
        QCOMPARE(std::count_if(ports.begin(), ports.end(), std::mem_fn(&QAction::isChecked)),
                 h.form->ports().selectedPort() ? 1 : 0);
        QCOMPARE(fileBytes(), content); // an existing file is only read
    }

    void choosingPortWritesAtOnce()
    {
        Harness h;
        QCOMPARE(fileBytes(), QByteArray(" 1 \r\n")); // created at first start
        h.setText(0x03, QStringLiteral("12"));
        h.form->ports().COM_SEL(2)->trigger();
        QCOMPARE(fileBytes(), QByteArray(" 2 \r\n"));
        QVERIFY(h.port.isOpen()); // the open port is left alone until the next reset
        h.log.events.clear();
        h.setText(0x03, QStringLiteral("13"));
        QCOMPARE(h.log.events.mid(0, 2), (QStringList{"close", "port 2"}));
        // The file is looked for in the working directory of the moment.
        QTemporaryDir other;
        QDir::setCurrent(other.path());
        h.form->ports().COM_SEL(6)->trigger();
        QCOMPARE(fileBytes(), QByteArray(" 6 \r\n"));
        QCOMPARE(fileBytes(h.dir.filePath(QStringLiteral("KV71xx.ini"))), QByteArray(" 2 \r\n"));
        QVERIFY(h.messages.shown.isEmpty());
        limitFileSize(2); // a full disk keeps the earlier choice in the file, and says why
        h.form->ports().COM_SEL(3)->trigger();
        limitFileSize(-1);
        QCOMPARE(fileBytes(), " 6 \r\n");
        QCOMPARE(h.messages.texts(),
                 QStringList{"Cannot write the settings file " + QDir::current().absoluteFilePath("KV71xx.ini")
                             + ": File too large"});
    }

    // One copy per user: a real running copy blocks the next start, a killed
    // one does not, and a lock that cannot be taken at all blocks nothing.
    void singleInstance()
    {
        QCOMPARE(QFileInfo(LockFileInstance::defaultPath()).fileName(),
                 QStringLiteral("kv71xx-%1.lock").arg(::getuid()));
        QTemporaryDir tmp;
        QTemporaryDir work;
        QProcess program;
        const QString lock = startProgram(program, tmp, work);
        // The settings file appears once start-up has taken the lock.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(work.filePath(QStringLiteral("KV71xx.ini"))), 20000);
        QVERIFY(LockFileInstance(lock).anotherCopyRunning());
        program.kill();
        QVERIFY(program.waitForFinished());
        LockFileInstance next(lock); // the crashed copy's lock is taken over
        QVERIFY(!next.anotherCopyRunning());
        QVERIFY(!next.anotherCopyRunning()); // asking again does not count itself
        QVERIFY(LockFileInstance(lock).anotherCopyRunning());
        QVERIFY(!LockFileInstance(tmp.filePath(QStringLiteral("missing/x.lock"))).anotherCopyRunning());
    }

    void signalEndsTheProgramAsExitDoes_data() { addTerminationSignalRows(); }

    // A logout, kill or Ctrl+C ends the program at once and removes its lock.
    void signalEndsTheProgramAsExitDoes()
    {
        QFETCH(int, signal);
        QTemporaryDir tmp;
        QTemporaryDir work;
        QProcess program;
        const QString lock = startProgram(program, tmp, work);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(work.filePath(QStringLiteral("KV71xx.ini"))), 20000);
        QVERIFY(QFileInfo::exists(lock));
        QCOMPARE(::kill(program.processId(), signal), 0);
        QVERIFY(program.waitForFinished(3000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(lock));
    }

    // Devices come and go while the program runs: the tips are read again as the menu opens.
    void portItemsSayWhichDeviceTheyOpen()
    {
        Harness h;
        QVERIFY(QFile::link("/dev/null", "COM1") && QFile::link(h.dir.filePath("ttyUSB9"), "COM2"));
        emit h.find<QMenu>("mSetupCom")->aboutToShow();
        const QString through = " through the link %1 in " + QDir::currentPath();
        QCOMPARE(h.form->ports().COM_SEL(1)->statusTip(), "/dev/null" + through.arg("COM1"));
        QCOMPARE(h.form->ports().COM_SEL(1)->toolTip(), "/dev/null" + through.arg("COM1"));
        QCOMPARE(h.form->ports().COM_SEL(2)->statusTip(),
                 h.dir.filePath("ttyUSB9") + through.arg("COM2") + ", not present");
    }

    // The stable link finds the adapter again after a replug; the assignment outlives the run.
    void assigningADeviceKeepsItsStableLinkForTheUser()
    {
        Harness h;
        const QString stable = h.dir.filePath("usb-FTDI_A1");
        QVERIFY(QFile::link("/dev/zero", stable));
        h.devices.devices = {{"/dev/ttyS9", {}, "", "", ""}, {"/dev/zero", stable, "FT232R", "FTDI", "A1"}};
        h.devices.answers = {1};
        h.form->ports().COM_SEL(4)->trigger();
        h.find<QAction>("mAssignDevice")->trigger();
        QCOMPARE(h.devices.asked, QStringList{"COM4"});
        Harness restarted;
        QCOMPARE(restarted.form->ports().COM_SEL(4)->statusTip(), "/dev/zero through the assigned " + stable);
    }

    void choosingNoDeviceRemovesTheAssignment()
    {
        Harness h;
        QVERIFY(PortAssignments::assign(5, "/dev/zero", nullptr));
        h.devices.answers = {DeviceChooser::NoDevice};
        h.form->ports().COM_SEL(5)->trigger();
        h.find<QAction>("mAssignDevice")->trigger();
        QCOMPARE(PortAssignments::device(5), QString());
    }

    // Qt's own options pass; anything else is refused before the window opens.
    void unknownArgumentsAreRefused()
    {
        QCOMPARE(runProgram({"-platformtheme", "none", "-platform", "offscreen", "--bogus"}),
                 "2||kv71xx: Unknown option 'bogus'.\n");
        QCOMPARE(runProgram({"-platform", "offscreen", "a"}), "2||kv71xx: unexpected argument \"a\"\n");
    }

    // Started from the desktop menu it works in a folder of its own.
    void userFolderBecomesTheWorkingFolder()
    {
        QProcess program;
        program.setProcessEnvironment(m_environment);
        program.setWorkingDirectory(m_tmp.path());
        program.start(KV71XX_PROGRAM_EXE, {"-platform", "offscreen", "--user-folder"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_tmp.filePath("data/kv71xx/KV71xx.ini")), 20000);
        QVERIFY(!QFileInfo::exists(m_tmp.filePath("KV71xx.ini")));
        program.kill();
        QVERIFY(program.waitForFinished());
    }

private:
    // "status|stdout|stderr".
    QByteArray runProgram(const QStringList &arguments)
    {
        QProcess program;
        program.setProcessEnvironment(m_environment);
        program.start(KV71XX_PROGRAM_EXE, arguments);
        program.waitForFinished(20000);
        return QByteArray::number(program.exitCode()) + '|' + program.readAllStandardOutput() + '|'
            + program.readAllStandardError();
    }

    QTemporaryDir m_tmp;
    const QProcessEnvironment m_environment = [this] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        for (const char *name : {"TMPDIR", "XDG_RUNTIME_DIR"})
            env.insert(name, m_tmp.path());
        env.insert("XDG_DATA_HOME", m_tmp.filePath("data"));
        return env;
    }();
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
