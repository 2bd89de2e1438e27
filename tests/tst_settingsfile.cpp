// KV71xx.ini: its exact bytes, how it is read, and what the port menu does with it.

#include "harness.h"

#include "app/settingsfile.h"
#include "link/boardlink.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QByteArray fileBytes()
{
    QFile file(QStringLiteral("KV71xx.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QByteArray &bytes)
{
    QFile file(QStringLiteral("KV71xx.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QList<int> checkedPorts(const Form1 &form)
{
    QList<int> checked;
    for (int i = 1; i <= 8; ++i) {
        if (form.COM_SEL(i)->isChecked())
            checked.append(i);
    }
    return checked;
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void contentBytes();
    void parsing_data();
    void parsing();
    void firstStartCreatesFile();
    void startRestoresPort_data();
    void startRestoresPort();
    void unreadableFileChoosesNoPort();
    void choosingPortWritesAtOnce();
    void choosingPortLeavesOpenPortAlone();
    void unwritableFileIsReportedOnce();
    void fileFollowsWorkingDirectory();
};

void TestSettingsFile::contentBytes()
{
    QCOMPARE(SettingsFile::contentFor(3), QByteArray(" 3 \r\n"));
    QCOMPARE(SettingsFile::contentFor(8), QByteArray(" 8 \r\n"));
    QCOMPARE(SettingsFile::contentFor(0), QByteArray("\r\n"));
}

void TestSettingsFile::parsing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("port");
    QTest::newRow("saved form") << QByteArray(" 5 \r\n") << 5;
    QTest::newRow("bare digit") << QByteArray("4") << 4;
    QTest::newRow("comma ends field") << QByteArray("  7,9\r\n") << 7;
    QTest::newRow("blank ends field") << QByteArray("2 3") << 2;
    QTest::newRow("leading zero") << QByteArray("06\r\n") << 6;
    QTest::newRow("later lines ignored") << QByteArray("3\r\n5\r\n") << 3;
    QTest::newRow("nine") << QByteArray(" 9 \r\n") << 0;
    QTest::newRow("zero") << QByteArray(" 0 \r\n") << 0;
    QTest::newRow("negative") << QByteArray("-1") << 0;
    QTest::newRow("empty line") << QByteArray("\r\n") << 0;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("text") << QByteArray("COM3\r\n") << 0;
    QTest::newRow("digit then text") << QByteArray("3x") << 0;
}

void TestSettingsFile::parsing()
{
    QFETCH(QByteArray, content);
    QFETCH(int, port);
    QCOMPARE(SettingsFile::portFromContent(content), port);
}

void TestSettingsFile::firstStartCreatesFile()
{
    Harness h;
    QCOMPARE(checkedPorts(*h.form), QList<int>{1});
    QCOMPARE(fileBytes(), QByteArray(" 1 \r\n"));
    QVERIFY(h.messages.shown.isEmpty());
}

void TestSettingsFile::startRestoresPort_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("checked");
    QTest::newRow("port 5") << QByteArray(" 5 \r\n") << QList<int>{5};
    QTest::newRow("port 9") << QByteArray(" 9 \r\n") << QList<int>{};
    QTest::newRow("port 0") << QByteArray(" 0 \r\n") << QList<int>{};
    QTest::newRow("empty line") << QByteArray("\r\n") << QList<int>{};
    QTest::newRow("zero bytes") << QByteArray() << QList<int>{};
    QTest::newRow("COM3") << QByteArray("COM3\r\n") << QList<int>{};
}

void TestSettingsFile::startRestoresPort()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, checked);
    Harness h({}, false);
    writeFile(content);
    h.form->Form_Load();
    QCOMPARE(checkedPorts(*h.form), checked);
    QCOMPARE(h.form->selectedPort(), checked.isEmpty() ? 0 : checked.first());
    QCOMPARE(fileBytes(), content); // an existing file is only read
    QVERIFY(h.messages.shown.isEmpty());
}

void TestSettingsFile::unreadableFileChoosesNoPort()
{
    // A folder in the file's place cannot be read as a file, even by root.
    Harness h({}, false);
    QVERIFY(QDir().mkdir(QStringLiteral("KV71xx.ini")));
    h.form->Form_Load();
    QCOMPARE(checkedPorts(*h.form), QList<int>{});
    QVERIFY(h.messages.shown.isEmpty());
}

void TestSettingsFile::choosingPortWritesAtOnce()
{
    Harness h;
    h.form->COM_SEL(2)->trigger();
    QCOMPARE(checkedPorts(*h.form), QList<int>{2});
    QCOMPARE(fileBytes(), QByteArray(" 2 \r\n"));
    // Choosing the checked port again leaves it checked and rewrites the file.
    QVERIFY(QFile::remove(QStringLiteral("KV71xx.ini")));
    h.form->COM_SEL(2)->trigger();
    QCOMPARE(checkedPorts(*h.form), QList<int>{2});
    QCOMPARE(fileBytes(), QByteArray(" 2 \r\n"));

    Harness restarted({}, false);
    QVERIFY(QFile::copy(h.dir.filePath(QStringLiteral("KV71xx.ini")),
                        restarted.dir.filePath(QStringLiteral("KV71xx.ini"))));
    restarted.form->Form_Load();
    QCOMPARE(checkedPorts(*restarted.form), QList<int>{2});
}

void TestSettingsFile::choosingPortLeavesOpenPortAlone()
{
    Harness h;
    QVERIFY(h.form->link().Connect_Board());
    h.log.events.clear();
    h.form->COM_SEL(3)->trigger();
    QVERIFY(h.port.isOpen());
    QVERIFY(!h.log.events.contains(QStringLiteral("close")));
    QVERIFY(h.form->link().Connect_Board());
    QVERIFY(h.log.events.contains(QStringLiteral("port 3")));
}

void TestSettingsFile::unwritableFileIsReportedOnce()
{
    Harness h;
    QVERIFY(QFile::remove(QStringLiteral("KV71xx.ini")));
    QVERIFY(QDir().mkdir(QStringLiteral("KV71xx.ini")));
    h.form->COM_SEL(4)->trigger();
    QCOMPARE(checkedPorts(*h.form), QList<int>{4});
    QCOMPARE(h.messages.shown.size(), 1);
    const FakeMessageBoxes::Shown &shown = h.messages.shown.first();
    QCOMPARE(shown.caption, QStringLiteral("KV71xx"));
    // It names the file and the reason.
    const QString path = QDir(h.dir.path()).filePath(QStringLiteral("KV71xx.ini"));
    const QRegularExpression expected(QStringLiteral("^Cannot write the settings file %1: .+$")
                                          .arg(QRegularExpression::escape(path)));
    QVERIFY2(expected.match(shown.text).hasMatch(), qPrintable(shown.text));
}

void TestSettingsFile::fileFollowsWorkingDirectory()
{
    Harness h;
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    h.form->COM_SEL(6)->trigger();
    QCOMPARE(fileBytes(), QByteArray(" 6 \r\n"));
    QFile first(h.dir.filePath(QStringLiteral("KV71xx.ini")));
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), QByteArray(" 1 \r\n"));
}

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
