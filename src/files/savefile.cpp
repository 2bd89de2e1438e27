#include "savefile.h"

#include <QFileInfo>

bool openForSaving(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

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
    if (!m_special)
        return openForSaving(m_aside);
    return m_direct.open(QFile::WriteOnly | QFile::Unbuffered);
}

bool SaveFile::commit()
{
    if (!m_special)
        return m_aside.commit();
    m_direct.close();
    return m_direct.error() == QFileDevice::NoError;
}
