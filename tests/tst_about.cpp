#include "harness.h"

#include "about/frmabout.h"
#include "platform/toolpathregistry.h"
#ifdef Q_OS_WIN
#include "platform/winregistry.h"
#endif

#include <QtTest>

const QString PathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Tool = "C:\\Program Files\\msinfo32.exe";
const QString Fallback = "C:\\Tools\\MSINFO32.EXE";

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void theAboutBoxOpensOnceWithItsTexts()
    {
        Harness h;
        h.find<QAction>("nFileAbout")->trigger(); // opened twice
        QStringList texts = {h.dialog<frmAbout>("nFileAbout")->windowTitle()};
        for (const char *name : {"cmdSysInfo", "KV7", "lblVersion", "lblDescription"})
            texts << h.dialog<frmAbout>()->findChild<QWidget *>(QLatin1String(name))->property("text").toString();
        QCOMPARE(texts,
                 (QStringList{"About KV7105EVKit", "&System Info...", "KV71xx Evaluation Software ",
                              "Version 1.2  November 20, 2003",
                              "Evaluation software for Velmora's KV7101, "
                              "KV7102, KV7103, KV7104, and KV7105 family of video analog front ends"}));
        QCOMPARE(h.form->findChildren<frmAbout *>().size(), 1);
    }

    void systemInfoStartsTheToolTheRegistryNames_data()
    {
        QTest::addColumn<QByteArray>("path"); // empty: no such value
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QString>("started"); // empty: the message instead
        const QByteArray tool = Tool.toLatin1();
        QTest::newRow("path") << tool + '\0' << QByteArray() << Tool;
        QTest::newRow("quoted") << '"' + tool + QByteArray("\"\0x\0", 4) << QByteArray() << Tool;
        QTest::newRow("gone") << QByteArray("C:\\gone.exe") << QByteArray("C:\\Tools") << "";
        QTest::newRow("folder") << QByteArray() << QByteArray("C:\\Tools\0", 9) << Fallback;
        QTest::newRow("no key") << QByteArray() << QByteArray() << "";
    }

    void systemInfoStartsTheToolTheRegistryNames()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, folder);
        QFETCH(QString, started);
        Harness h;
        h.launcher.files = {Tool, Fallback};
        h.registry.values = {{PathKey + "|PATH", path}, {LocationKey + "|MSINFO", folder}};
        h.registry.values.removeIf([](const auto &value) { return value->isEmpty(); }); // no such key
        QTest::mouseClick(h.dialog<frmAbout>("nFileAbout")->findChild<QWidget *>("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(h.launcher.started, started.isEmpty() ? QStringList() : QStringList{started});
        QCOMPARE(h.messages.texts(),
                 started.isEmpty() ? QStringList{"System Information Is Unavailable At This Time"} : QStringList());
        QTest::keyClick(h.dialog<frmAbout>(), started == Tool ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!h.dialog<frmAbout>());
        // Read access only, the path first; the folder only when there is no path.
        QStringList opens{PathKey + " 20019"};
        if (path.isEmpty())
            opens << LocationKey + " 20019";
        QCOMPARE(h.registry.opens, opens);
        QCOMPARE(h.registry.openKeys, 0); // each closed again
    }

    void systemInfoFindsThePreferredToolOnTheSearchPath()
    {
        Harness h; // works in a fresh folder
#ifdef Q_OS_WIN
        const QString exe = ".exe";
#else
        const QString exe;
#endif
        QVERIFY(QDir().mkpath("a/hardinfo2" + exe) && QDir().mkpath("b")
                && QFile("b/hardinfo2").open(QIODevice::WriteOnly));
        for (const char *name : {"a/kinfocenter", "b/hardinfo", "hardinfo2"})
            QVERIFY(QFile(name + exe).open(QIODevice::WriteOnly, QFile::ReadOwner | QFile::ExeOwner));
        const QStringList folders{"", ".", "a", h.dir.filePath("a"), h.dir.filePath("b")};
        ToolPathRegistry registry(folders.join(QDir::listSeparator()));
        SysInfo sysInfo(registry, h.launcher, h.messages);
        QString value;
        QVERIFY(sysInfo.GetKeyValue(Registry::LocalMachine, PathKey, "PATH", &value));
        QCOMPARE(value, h.dir.filePath("b/hardinfo" + exe));
        QVERIFY(!sysInfo.GetKeyValue(Registry::LocalMachine, LocationKey, "MSINFO", &value));
    }

#ifdef Q_OS_WIN // the Wine prefix of the tests registers the tool
    void systemInfoStartsTheToolTheWindowsRegistryNames()
    {
        WinRegistry registry;
        FakeLauncher launcher;
        launcher.files = {KV71XX_SYSINFO_TOOL};
        FakeMessageBoxes messages;
        SysInfo(registry, launcher, messages).StartSysInfo();
        QCOMPARE(launcher.started, launcher.files);
        QCOMPARE(messages.texts(), QStringList());
    }
#endif
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
