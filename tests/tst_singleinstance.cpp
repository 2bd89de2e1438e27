// One running copy per user: a real running copy blocks the next start, a
// killed one does not.

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
    void runningProgramBlocksUntilKilled();
};

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
    // The settings file appears once start-up has taken the lock.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(work.filePath(QStringLiteral("KV71xx.ini"))), 20000);

    const QString lock = tmp.filePath(QFileInfo(LockFileInstance::defaultPath()).fileName());
    QVERIFY(LockFileInstance(lock).anotherCopyRunning());
    program.kill();
    QVERIFY(program.waitForFinished());
    QVERIFY(QFileInfo::exists(lock)); // left behind by the crash
    LockFileInstance next(lock);
    QVERIFY(!next.anotherCopyRunning());
    QVERIFY(!next.anotherCopyRunning()); // asking again does not count itself
    QVERIFY(LockFileInstance(lock).anotherCopyRunning());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
