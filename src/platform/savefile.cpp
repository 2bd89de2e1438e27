#include "savefile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#endif

bool representableName(const QString &path)
{
    return !path.contains(QChar::ReplacementCharacter) && QFile::decodeName(QFile::encodeName(path)) == path;
}

QString nameNotRepresentable()
{
    return QStringLiteral("the name is not valid in the system's encoding (UTF-8): rename the file");
}

namespace {

// Without Qt's write buffer. A buffered write that fails (a full disk, a file
// size limit) shows only when commit() flushes it, and commit() then puts the
// cut-off file in place all the same; unbuffered, every write says at once
// whether it reached the file.
bool openForSaving(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

} // namespace

bool writeWhole(QIODevice &file, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

SaveFile::SaveFile(const QString &path)
    : m_special(QFileInfo::exists(path) && !QFileInfo(path).isFile())
    , m_aside(path)
    , m_direct(path)
{}

bool SaveFile::open()
{
    if (!representableName(m_aside.fileName())) {
        m_openError = nameNotRepresentable();
        return false;
    }
    if (!m_special)
        return openForSaving(m_aside);
    const QFile::OpenMode mode = QFile::WriteOnly | QFile::Unbuffered;
#ifdef Q_OS_UNIX
    if (!m_waitForReader) {
        // Opening without delay fails on a FIFO that no program reads; the
        // writes that follow wait for the reader as usual.
        const int fd = ::open(QFile::encodeName(m_direct.fileName()).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            m_openError = errno == ENXIO ? QStringLiteral("no program reads it.") : qt_error_string(errno);
            return false;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return m_direct.open(fd, mode, QFileDevice::AutoCloseHandle);
    }
#endif
    return m_direct.open(mode);
}

QString SaveFile::errorString() const
{
    if (!m_openError.isEmpty())
        return m_openError;
    return m_special ? m_direct.errorString() : m_aside.errorString();
}

bool SaveFile::commit()
{
    if (!m_special)
        return m_aside.commit();
    m_direct.close();
    return m_direct.error() == QFileDevice::NoError;
}
