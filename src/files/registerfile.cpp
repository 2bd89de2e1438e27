#include "registerfile.h"

#include "link/hex.h"
#include "platform/savefile.h"

#include <QObject>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace RegisterFile {

QByteArray format(const Texts &texts)
{
    QByteArray bytes;
    for (int k = 0; k < RegisterMap::Count; ++k)
        bytes += formatLine(k, texts.at(size_t(k)));
    return bytes;
}

QByteArray formatLine(int address, const QString &text)
{
    const QString content
        = QStringLiteral("KV7106_Register%1:%2:%3").arg(address).arg(RegisterMap::caption(address), text);
    return content.toLatin1() + "\r\n";
}

QStringList lines(const QByteArray &bytes)
{
    QStringList result;
    QString line;
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') {
            line += QLatin1Char(c);
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        result.append(line);
        line.clear();
    }
    if (!line.isEmpty())
        result.append(line);
    return result;
}

std::optional<QString> valueOf(const QString &line)
{
    QString value = line.right(2).toUpper();
    if (value.startsWith(QLatin1Char(':')))
        value = value.mid(1);
    if (!RegisterMap::textToByte(value))
        return std::nullopt;
    const QString tail = line.mid(line.lastIndexOf(QLatin1Char(':')) + 1);
    const bool allHex = std::all_of(tail.begin(), tail.end(), [](QChar c) { return hexDigitValue(c) >= 0; });
    if (tail.size() >= 3 && allHex && !RegisterMap::textToByte(tail))
        return std::nullopt;
    return value;
}

FileValues values(const QStringList &lines)
{
    FileValues file;
    file.lines = int(qMin(lines.size(), qsizetype(RegisterMap::Count)));
    for (int k = 0; k < file.lines; ++k) {
        const std::optional<QString> text = valueOf(lines.at(k));
        const std::optional<quint8> value = text ? RegisterMap::textToByte(*text) : std::nullopt;
        if (value)
            file.values[k] = *value;
        else
            file.skipped.append(k);
    }
    return file;
}

QString problems(int lines, const QList<int> &skipped, Use use)
{
    const bool load = use == Use::Load;
    QStringList problems;
    if (lines < RegisterMap::Count) {
        problems.append((load ? QObject::tr("The file holds only %1 of %2 lines: the registers from %3 on were "
                                            "left unchanged.")
                              : QObject::tr("The file holds only %1 of %2 lines: the registers from %3 on were "
                                            "not compared."))
                            .arg(lines)
                            .arg(RegisterMap::Count)
                            .arg(Hex_Digits(lines, 2)));
    }
    QStringList named;
    for (const int k : skipped)
        named.append(QObject::tr("line %1 (register %2)").arg(k + 1).arg(Hex_Digits(k, 2)));
    if (!named.isEmpty()) {
        problems.append((load ? QObject::tr("These lines hold no byte (00 to FF) and were skipped, leaving their "
                                            "registers unchanged: %1.")
                              : QObject::tr("These lines hold no byte (00 to FF), so their registers were not "
                                            "compared: %1."))
                            .arg(named.join(QStringLiteral(", "))));
    }
    return problems.join(QLatin1Char('\n'));
}

Contents read(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (!representableName(path))
        return {{}, QStringLiteral("Cannot read %1: %2").arg(shown, nameNotRepresentable())};
    // Looked at before it is opened: opening a FIFO waits for a writer.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return {{}, QStringLiteral("Cannot load %1: it is not a regular file.").arg(shown)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString())};
    // Some files tell no size (those under /proc): no more than one byte
    // past the limit is read from anything.
    const bool tooLarge = file.size() > MaxBytes;
    const QByteArray bytes = tooLarge ? QByteArray() : file.read(MaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString())};
    if (tooLarge || bytes.size() > MaxBytes)
        return {{}, QStringLiteral("Cannot load %1: the file is larger than 1 MiB.").arg(shown)};
    if (bytes.contains('\0'))
        return {{}, QStringLiteral("Cannot load %1: it holds NUL bytes, so it is no register file.").arg(shown)};
    return {lines(bytes), {}};
}

} // namespace RegisterFile
