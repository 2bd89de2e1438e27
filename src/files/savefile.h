#pragma once

#include <QFile>
#include <QSaveFile>

class QByteArray;
class QIODevice;

// Opens file for writing without Qt's write buffer. A buffered write that
// fails (a full disk, a file size limit) shows only when commit() flushes it,
// and commit() then puts the cut-off file in place all the same; unbuffered,
// every write says at once whether it reached the file.
bool openForSaving(QSaveFile &file);

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
