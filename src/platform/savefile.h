#pragma once

#include <QFile>
#include <QSaveFile>

class QByteArray;
class QIODevice;

// Whether path names the file as the system spells it. A name whose bytes are
// not valid in the system's encoding (a Latin-1 "\xE9" under UTF-8) reaches
// the program with U+FFFD in their place: used as it stands it would name
// another file, so it is refused with nameNotRepresentable().
bool representableName(const QString &path);
QString nameNotRepresentable();

// Writes all of bytes. A write cut short is continued, so that one that
// cannot go on fails and leaves its reason in the device's errorString().
bool writeWhole(QIODevice &file, const QByteArray &bytes);

// A file written as a whole. A new or regular file is written aside and put
// in place by commit(), so a save that fails leaves an earlier file as it
// was. An existing FIFO or device is written into directly: renaming over it
// would put a regular file in its place, which its reader never sees.
class SaveFile
{
public:
    explicit SaveFile(const QString &path);

    // Where the folder refuses new files, a regular file is written in place.
    void setDirectWriteFallback(bool enabled) { m_aside.setDirectWriteFallback(enabled); }
    // Whether open() waits, as a shell's redirection does, for a program to
    // read a FIFO; else it fails at once when none does.
    void setWaitForReader(bool wait) { m_waitForReader = wait; }
    bool open();
    // False, with the reason in errorString(), when not all of bytes were written.
    bool write(const QByteArray &bytes) { return writeWhole(device(), bytes); }
    bool commit();
    QString errorString() const;

private:
    QFileDevice &device() { return m_special ? static_cast<QFileDevice &>(m_direct) : m_aside; }

    const bool m_special;
    bool m_waitForReader = true;
    QString m_openError;
    QSaveFile m_aside;
    QFile m_direct;
};
