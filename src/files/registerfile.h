#pragma once

#include "registers/registermap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The register file: 64 lines "KV7106_Register", the index in decimal, ":",
// the register's caption exactly as shown, ":", the box text exactly as
// shown, each ended by CR LF; no header, no trailer; one byte per character
// (Latin-1). Only the line order and the end of each line are read back.
namespace RegisterFile {

using Texts = std::array<QString, RegisterMap::Count>;

// The file's bytes for these box texts.
QByteArray format(const Texts &texts);
// Line `address` of the file, CR LF included, for that register's box text.
QByteArray formatLine(int address, const QString &text);

// The largest file Load reads.
constexpr qint64 MaxBytes = 1024 * 1024;

// The lines of a file's bytes: they end at CR LF, at LF and at a lone CR
// alike, and a last line without a line end counts.
QStringList lines(const QByteArray &bytes);

// The box text a line loads: its last two characters (the whole line when
// shorter), upper-cased, only the last one when the first is ":". Nothing
// when that is no byte (an empty value, blanks, a line that ends in ":"), or
// when the text after the line's last ":" has three or more hexadecimal
// digits that make no byte ("123" is refused where "012" loads 12).
std::optional<QString> valueOf(const QString &line);

// The values a file's lines give, by the rules of Load: line k for register
// k, the first 64 lines only; lines that hold no byte are skipped.
struct FileValues
{
    RegisterMap::Values values;
    int lines = 0; // lines used, at most 64
    QList<int> skipped;
};
FileValues values(const QStringList &lines);
// What a file could not give, for one message: too few lines, lines that
// hold no byte. Empty when it gave every register. A load leaves those
// registers unchanged; a comparison does not compare them.
enum class Use { Load, Compare };
QString problems(int lines, const QList<int> &skipped, Use use = Use::Load);

// A whole file, read before anything is changed.
struct Contents
{
    QStringList lines;
    QString error; // empty when the file was read; else why not, with its path
};
Contents read(const QString &path);

} // namespace RegisterFile
