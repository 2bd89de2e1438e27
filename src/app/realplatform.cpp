#include "realplatform.h"

#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

void QtMessageBoxes::show(const QString &text, const QString &caption, Icon icon)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption, shown, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

LockFileInstance::LockFileInstance(const QString &path)
    : m_lock(path)
{
    // A running copy holds its lock for as long as it runs, however long.
    m_lock.setStaleLockTime(0);
}

QString LockFileInstance::defaultPath()
{
#ifdef Q_OS_UNIX
    const QString user = QString::number(::getuid());
#else
    const QString user = QStringLiteral("user");
#endif
    return QDir::temp().filePath(QStringLiteral("kv71xx-%1.lock").arg(user));
}

bool LockFileInstance::anotherCopyRunning()
{
    return !m_lock.isLocked() && !m_lock.tryLock(0);
}

void ImmediateEnd::endProgram()
{
    m_instance.release();
    std::fflush(nullptr);
    std::_Exit(0);
}
