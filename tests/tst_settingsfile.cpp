// KV71xx.ini: its exact bytes, how it is read, and what the port menu does with it.

#include "harness.h"

#include "app/settingsfile.h"
#include "link/boardlink.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QByteArray fileBytes(const QString &path = QStringLiteral("KV71xx.ini"))
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int checkedCount(const Form1 &form)
{
    int count = 0;
    for (int i = 1; i <= 8; ++i)
        count += form.COM_SEL(i)->isChecked();
    return count;
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void startRestoresPort_data();
    void startRestoresPort();
    void choosingPortWritesAtOnce();
    void unwritableFileIsReported();
};

void TestSettingsFile::startRestoresPort_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("port");
    QTest::newRow("saved form") << QByteArray(" 5 \r\n") << 5;
    QTest::newRow("comma ends field") << QByteArray("  7,9\r\n") << 7;
    QTest::newRow("later lines ignored") << QByteArray("3\r\n5\r\n") << 3;
    QTest::newRow("nine") << QByteArray(" 9 \r\n") << 0;
    QTest::newRow("zero") << QByteArray(" 0 \r\n") << 0;
    QTest::newRow("empty line") << QByteArray("\r\n") << 0;
    QTest::newRow("zero bytes") << QByteArray() << 0;
    QTest::newRow("COM3") << QByteArray("COM3\r\n") << 0;
}

void TestSettingsFile::startRestoresPort()
{
    QFETCH(QByteArray, content);
    QFETCH(int, port);
    Harness h({}, false);
    QFile file(QStringLiteral("KV71xx.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    h.form->Form_Load();
    QCOMPARE(h.form->selectedPort(), port);
    QCOMPARE(checkedCount(*h.form), port ? 1 : 0);
    QCOMPARE(fileBytes(), content); // an existing file is only read
    QVERIFY(h.messages.shown.isEmpty());
}

void TestSettingsFile::choosingPortWritesAtOnce()
{
    Harness h;
    QCOMPARE(fileBytes(), QByteArray(" 1 \r\n")); // created at first start
    QVERIFY(h.form->link().Connect_Board());
    h.form->COM_SEL(2)->trigger();
    QCOMPARE(fileBytes(), QByteArray(" 2 \r\n"));
    QVERIFY(h.form->COM_SEL(2)->isChecked() && checkedCount(*h.form) == 1);
    QVERIFY(h.port.isOpen()); // the open port is left alone
    // The file is looked for in the working directory of the moment.
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    h.form->COM_SEL(6)->trigger();
    QCOMPARE(fileBytes(), QByteArray(" 6 \r\n"));
    QCOMPARE(fileBytes(h.dir.filePath(QStringLiteral("KV71xx.ini"))), QByteArray(" 2 \r\n"));
    QVERIFY(h.messages.shown.isEmpty());
    QCOMPARE(SettingsFile::contentFor(0), QByteArray("\r\n"));
}

// A folder in the file's place can be neither read nor replaced, even by root.
void TestSettingsFile::unwritableFileIsReported()
{
    Harness h({}, false);
    QVERIFY(QDir().mkdir(QStringLiteral("KV71xx.ini")));
    h.form->Form_Load();
    QCOMPARE(checkedCount(*h.form), 0);
    QVERIFY(h.messages.shown.isEmpty());
    h.form->COM_SEL(4)->trigger();
    QVERIFY(h.form->COM_SEL(4)->isChecked());
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown.first().caption, QStringLiteral("KV71xx"));
    const QString path = QDir(h.dir.path()).filePath(QStringLiteral("KV71xx.ini"));
    const QRegularExpression expected(QStringLiteral("^Cannot write the settings file %1: .+$")
                                          .arg(QRegularExpression::escape(path)));
    QVERIFY2(expected.match(h.messages.shown.first().text).hasMatch(),
             qPrintable(h.messages.shown.first().text));
}

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
