#pragma once

class QByteArray;
class QSaveFile;

// Opens file for writing without Qt's write buffer. A buffered write that
// fails (a full disk, a file size limit) shows only when commit() flushes it,
// and commit() then puts the cut-off file in place all the same; unbuffered,
// every write says at once whether it reached the file.
bool openForSaving(QSaveFile &file);

// Writes all of bytes. A write cut short is continued, so that one that
// cannot go on fails and leaves its reason in the file's errorString().
bool writeWhole(QSaveFile &file, const QByteArray &bytes);
