// One running copy per user: the lock file, a real running copy, and a copy
// that crashed.

#include "app/realplatform.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void lockPathIsPerUserInTemporaryFolder();
    void secondHolderIsRefused();
    void runningProgramBlocksUntilKilled();
};

void TestSingleInstance::lockPathIsPerUserInTemporaryFolder()
{
    const QFileInfo path(LockFileInstance::defaultPath());
    QCOMPARE(path.absolutePath(), QDir::temp().absolutePath());
    QVERIFY(path.fileName().startsWith(QStringLiteral("kv71xx-")));
}

void TestSingleInstance::secondHolderIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kv71xx.lock"));
    LockFileInstance first(path);
    QVERIFY(!first.anotherCopyRunning());
    QVERIFY(!first.anotherCopyRunning()); // asking again does not count itself
    LockFileInstance second(path);
    QVERIFY(second.anotherCopyRunning());
    first.release();
    LockFileInstance third(path);
    QVERIFY(!third.anotherCopyRunning());
}

// The real program holds the lock while it runs; once it is killed (no chance
// to clean up) its lock no longer blocks the next start.
void TestSingleInstance::runningProgramBlocksUntilKilled()
{
    QTemporaryDir tmp;
    QTemporaryDir work;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work.path());
    program.start(QStringLiteral(KV71XX_PROGRAM_EXE), {});
    QVERIFY(program.waitForStarted());

    // The settings file appears once start-up has passed the lock.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(work.filePath(QStringLiteral("KV71xx.ini"))), 20000);
    const QString lock = QDir(tmp.path()).filePath(QFileInfo(LockFileInstance::defaultPath()).fileName());
    QVERIFY(QFileInfo::exists(lock));
    {
        LockFileInstance second(lock);
        QVERIFY(second.anotherCopyRunning());
    }
    program.kill();
    QVERIFY(program.waitForFinished());
    QVERIFY(QFileInfo::exists(lock)); // left behind by the crash
    LockFileInstance next(lock);
    QVERIFY(!next.anotherCopyRunning());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
