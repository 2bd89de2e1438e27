#include "registerbursts.h"

#include "files/registerfile.h"
#include "link/boardcommands.h"
#include "link/hex.h"
#include "registers/registerboxes.h"

#include <QLineEdit>

namespace RegisterBursts {

QList<Run> runs(const Values &values)
{
    QList<Run> result;
    for (const auto &[address, value] : values) {
        if (result.isEmpty() || result.last().first + result.last().values.size() != address)
            result.append(Run{address, {}});
        result.last().values.append(value);
    }
    return result;
}

FileValues fromLines(const QStringList &lines)
{
    FileValues file;
    file.lines = int(qMin(lines.size(), qsizetype(RegisterMap::Count)));
    for (int k = 0; k < file.lines; ++k) {
        const std::optional<QString> text = RegisterFile::valueOf(lines.at(k));
        const std::optional<quint8> value = text ? RegisterMap::textToByte(*text) : std::nullopt;
        if (value)
            file.values[k] = *value;
        else
            file.skipped.append(k);
    }
    return file;
}

bool write(BoardCommands &commands, const Run &run)
{
    QString digits;
    for (const quint8 value : run.values)
        digits += Hex_Digits(value, 2);
    return commands.Write_KV7106_Burst(run.first, int(run.values.size()), digits);
}

bool readInto(BoardCommands &commands, RegisterBoxes &boxes, int first, int length)
{
    const QString text = commands.Read_KV7106_Burst(first, length);
    const bool read = commands.confirmed();
    for (int j = 0; j < length; ++j) {
        if (read)
            boxes.setText(first + j, text.mid(2 * j, 2));
        boxes.setMark(first + j, read ? RegisterBoxes::Mark::None : RegisterBoxes::Mark::NotRead);
    }
    return read;
}

std::optional<quint8> readValue(const RegisterBoxes &boxes, int address)
{
    if (boxes.mark(address) == RegisterBoxes::Mark::NotRead)
        return std::nullopt;
    return RegisterMap::textToByte(boxes.text(address));
}

void markNotLoaded(RegisterBoxes &boxes, int address, quint8 wrote)
{
    boxes.setMark(address, RegisterBoxes::Mark::NotWritten);
    boxes.reg_KV7103(address)->setToolTip(
        QObject::tr("Not loaded: wrote %1, the board holds %2").arg(Hex_Digits(wrote, 2), boxes.text(address)));
}

QList<int> differences(const RegisterBoxes &boxes, const Values &values)
{
    QList<int> result;
    for (const auto &[address, value] : values) {
        const std::optional<quint8> held = readValue(boxes, address);
        if (!RegisterMap::isChipOwned(address) && held && *held != value)
            result.append(address);
    }
    return result;
}

} // namespace RegisterBursts
