// The About box: its texts, how it closes, and the system-information
// launcher against injected registries and launchers.

#include "harness.h"

#include "about/frmabout.h"
#include "platform/toolpathregistry.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

namespace {

const QString PathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString LocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    // One box at most; Enter and Escape press OK, which discards it.
    void textsAndKeys()
    {
        Harness h;
        const frmAbout *box = h.dialog<frmAbout>("nFileAbout");
        QStringList texts = {box->windowTitle(), box->findChild<QAbstractButton *>("cmdSysInfo")->text()};
        for (const char *label : {"KV7", "lblVersion", "lblDescription"})
            texts << box->findChild<QLabel *>(QLatin1String(label))->text();
        QCOMPARE(texts, (QStringList{"About KV7105EVKit", "&System Info...", "KV71xx Evaluation Software ",
                                     "Version 1.2  November 20, 2003", "Evaluation software for Velmora's KV7101, "
                                     "KV7102, KV7103, KV7104, and KV7105 family of video analog front ends"}));
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QCOMPARE(h.dialog<frmAbout>("nFileAbout"), box);
            QTest::keyClick(h.dialog<frmAbout>(), key);
            QVERIFY(!h.dialog<frmAbout>());
            box = h.dialog<frmAbout>("nFileAbout");
        }
    }

    void startSysInfo_data()
    {
        QTest::addColumn<QByteArray>("path"); // empty: no such value
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QString>("file"); // the one file there is
        QTest::addColumn<QString>("started"); // empty: the message instead
        const QString tool = QStringLiteral("C:\\Program Files\\msinfo32.exe");
        const QString fallback = QStringLiteral("C:\\Tools\\MSINFO32.EXE");
        QTest::newRow("path") << QByteArray("C:\\Program Files\\msinfo32.exe\0", 31) << QByteArray() << tool << tool;
        QTest::newRow("quoted, junk after a zero")
            << QByteArray("\"C:\\Program Files\\msinfo32.exe\"\0x\0", 34) << QByteArray() << tool << tool;
        QTest::newRow("missing program") << QByteArray("C:\\gone.exe") << QByteArray("C:\\Tools") << fallback << "";
        QTest::newRow("folder") << QByteArray() << QByteArray("C:\\Tools\0", 9) << fallback << fallback;
        QTest::newRow("folder without it") << QByteArray() << QByteArray("C:\\Tools") << tool << "";
        QTest::newRow("no key") << QByteArray() << QByteArray() << tool << "";
    }

    void startSysInfo()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, folder);
        QFETCH(QString, started);
        Harness h;
        QFETCH(QString, file);
        h.launcher.files = QStringList{file};
        if (!path.isEmpty())
            h.registry.values.insert(PathKey + "|PATH", path);
        if (!folder.isEmpty())
            h.registry.values.insert(LocationKey + "|MSINFO", folder);
        h.dialog<frmAbout>("nFileAbout")->findChild<QAbstractButton *>("cmdSysInfo")->click();
        QCOMPARE(h.launcher.started.join('|'), started);
        QCOMPARE(h.messages.texts().join('|'), started.isEmpty() ? "System Information Is Unavailable At This Time" : "");
        QVERIFY(h.dialog<frmAbout>()->isVisible());
        // Read access only, the path first; the folder only when there is no path.
        QCOMPARE(h.registry.opens, QStringList{PathKey + " 20019"} + (path.isEmpty() ? QStringList{LocationKey + " 20019"} : QStringList{}));
    }

    // Without a registry: the first tool of the list in an absolute folder
    // of the search path, as a regular executable file; no folder key.
    void toolOnSearchPath()
    {
        Harness h; // works in a fresh folder
        QVERIFY(QDir().mkpath("a/hardinfo2") && QDir().mkpath("b"));
        for (const char *name : {"b/hardinfo2", "b/kinfocenter", "hardinfo"})
            QVERIFY(QFile(QString::fromLatin1(name)).open(QIODevice::WriteOnly));
        for (const char *name : {"b/kinfocenter", "hardinfo"}) // b/hardinfo2 is not executable
            QVERIFY(QFile::setPermissions(QString::fromLatin1(name), QFile::ReadOwner | QFile::ExeOwner));
        ToolPathRegistry registry(QStringList{"", ".", "a", h.dir.filePath("a"), h.dir.filePath("b")}.join(':'));
        SysInfo sysInfo(registry, h.launcher, h.messages);
        QString value;
        QVERIFY(sysInfo.GetKeyValue(Registry::LocalMachine, PathKey, QStringLiteral("PATH"), &value));
        QCOMPARE(value, h.dir.filePath("b/kinfocenter"));
        QVERIFY(!sysInfo.GetKeyValue(Registry::LocalMachine, LocationKey, QStringLiteral("MSINFO"), &value));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
