#include "qtfilechooser.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>

namespace {

struct Entry
{
    QString label; // shown exactly so, blanks included
    QString nameFilter; // the same as QFileDialog reads it: "label (patterns)"
};

// Each pattern as written, in upper and in lower case.
QStringList patternsOf(const QString &text)
{
    QStringList patterns;
    for (const QString &written : text.split(QLatin1Char(';'))) {
        const QString pattern = written.trimmed();
        for (const QString &p : {pattern, pattern.toUpper(), pattern.toLower()}) {
            if (!p.isEmpty() && !patterns.contains(p))
                patterns.append(p);
        }
    }
    return patterns;
}

// "Text File (*.TXT) |*.txt | All Files (*.*)|*.*|" holds two entries.
QList<Entry> entriesOf(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<Entry> entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &label = parts.at(i);
        const QString patterns = patternsOf(parts.at(i + 1)).join(QLatin1Char(' '));
        entries.append({label, QStringLiteral("%1 (%2)").arg(label, patterns)});
    }
    return entries;
}

// QFileDialog shows an entry with its blanks simplified away; its combo box
// is given the labels as written.
void setNameFilters(QFileDialog &dialog, const QList<Entry> &entries)
{
    QStringList nameFilters;
    for (const Entry &entry : entries)
        nameFilters.append(entry.nameFilter);
    dialog.setNameFilters(nameFilters);
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    if (!combo || combo->count() != entries.size())
        return;
    for (int i = 0; i < entries.size(); ++i)
        combo->setItemText(i, entries.at(i).label);
}

} // namespace

std::optional<QString> QtFileChooser::choose(const Request &request)
{
    const bool save = request.kind == Kind::Save;
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    setNameFilters(dialog, entriesOf(request.filter));
    // A bare name is proposed in the working directory.
    dialog.selectFile(QDir::current().absoluteFilePath(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
