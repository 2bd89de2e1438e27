#include "registerfiles.h"

#include "registerfile.h"
#include "platform/savefile.h"
#include "commands/commandlock.h"
#include "link/boardlink.h"
#include "platform/messageboxes.h"
#include "registers/registerboxes.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int LastLine = RegisterMap::Count - 1;

double percentAfter(int line)
{
    return line / double(LastLine) * 100;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Where file names are case-sensitive a file saved as registers.TXT is not
// found as registers.txt, so the dialog proposes and adds the suffix as the
// filter's pattern spells it; the same everywhere, so that a file moves
// between machines under the same name.
constexpr char FirstProposal[] = "registers.txt";
constexpr char DefaultSuffix[] = "txt";

} // namespace

RegisterFiles::RegisterFiles(RegisterBoxes &boxes, BoardLink &link, CommandLock &lock, FileChooser &dialog,
                             MessageBoxes &messages, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_lock(lock)
    , m_dialog(dialog)
    , m_messages(messages)
{}

// Save and Load show the same dialog. It proposes the path chosen last; a
// cancel is printed on the window.
std::optional<QString> RegisterFiles::chooseFile(FileChooser::Kind kind)
{
    FileChooser::Request request;
    request.kind = kind;
    request.fileName = m_fileName.isEmpty() ? QLatin1String(FirstProposal) : m_fileName;
    request.defaultSuffix = QLatin1String(DefaultSuffix);
    request.filter = QStringLiteral("Text File (*.TXT) |*.txt | All Files (*.*)|*.*|");
    request.confirmOverwrite = true;
    const std::optional<QString> path = m_dialog.choose(request);
    if (path)
        m_fileName = *path;
    else
        emit print(QStringLiteral("Cancel Button Pressed"));
    return path;
}

void RegisterFiles::nFileSaveRegisterAs_Click()
{
    if (const auto hold = m_lock.tryHold(tr("Save Registers")))
        saveChosen();
}

void RegisterFiles::saveChosen()
{
    // Save needs nothing from the board: a port that does not open is
    // reported, and the save goes on.
    m_link.connectOrReport();
    const std::optional<QString> path = chooseFile(FileChooser::Kind::Save);
    if (!path)
        return;
    const QString error = save(*path);
    emit progress(0);
    if (!error.isEmpty()) {
        m_messages.show(error);
        emit status(tr("Save: nothing was saved."));
        return;
    }
    // The boxes are saved as shown, also those the board did not confirm.
    int unconfirmed = 0;
    for (int k = 0; k < RegisterMap::Count; ++k) {
        const RegisterBoxes::Mark mark = m_boxes.mark(k);
        unconfirmed += mark == RegisterBoxes::Mark::NotRead || mark == RegisterBoxes::Mark::NotWritten;
    }
    const QString saved = tr("Saved the %1 registers to %2.").arg(RegisterMap::Count).arg(shown(*path));
    emit status(
        unconfirmed == 0
            ? saved
            : saved + tr(" The board did not confirm %1 of these values (their boxes are marked).").arg(unconfirmed));
}

// Returns why the file could not be written, or nothing. A regular file is
// written aside and then put in place, so a save that fails leaves an earlier
// file as it was; a symbolic link is written through and permissions are
// kept. A FIFO or device is written into.
QString RegisterFiles::save(const QString &path)
{
    const auto failed = [&path](const QString &reason) { return tr("Cannot save %1: %2").arg(shown(path), reason); };
    // A file marked read-only stays as it is, whoever runs the program (the
    // owner's, group's and others' bits: root may write any file).
    const QFileInfo existing(path);
    const QFileDevice::Permissions anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup
        | QFileDevice::WriteOther;
    if (existing.isFile() && !(existing.permissions() & anyWrite))
        return failed(tr("the file is read-only."));
    SaveFile file(path);
    // Only where the folder refuses new files is a regular file written in place.
    file.setDirectWriteFallback(true);
    file.setWaitForReader(false); // the window would hang
    if (!file.open())
        return failed(file.errorString());
    for (int k = 0; k < RegisterMap::Count; ++k) {
        // Said now: commit() no longer knows why a write failed. The
        // unfinished file is dropped.
        if (!file.write(RegisterFile::formatLine(k, m_boxes.text(k))))
            return failed(file.errorString());
        emit progress(percentAfter(k));
    }
    return file.commit() ? QString() : failed(file.errorString());
}

void RegisterFiles::nFileLoadRegisterFrom_Click()
{
    if (const auto hold = m_lock.tryHold(tr("Load Registers")))
        loadChosen();
}

void RegisterFiles::loadChosen()
{
    // A port that does not open is reported once; the boxes are filled all
    // the same, each write marked as not confirmed.
    const bool connected = m_link.connectOrReport();
    if (const std::optional<Opened> file = openFile(tr("Load: no register was changed."))) {
        const CommandLock::Cancellable cancellable(m_lock);
        report(file->path, load(file->lines), connected);
    }
}

std::optional<RegisterFiles::Opened> RegisterFiles::openFile(const QString &unchanged)
{
    const std::optional<QString> path = chooseFile(FileChooser::Kind::Open);
    if (!path)
        return std::nullopt;
    const RegisterFile::Contents contents = RegisterFile::read(*path);
    if (contents.error.isEmpty())
        return Opened{shown(*path), contents.lines};
    m_messages.show(contents.error);
    emit status(unchanged);
    return std::nullopt;
}

RegisterFiles::Outcome RegisterFiles::load(const QStringList &lines)
{
    Outcome outcome;
    outcome.lines = int(qMin(lines.size(), qsizetype(RegisterMap::Count)));
    for (int k = 0; k < outcome.lines; ++k) {
        // Each line's change handling runs whole: a cancel takes effect between two.
        if (m_lock.cancelled()) {
            outcome.cancelledAfter = k;
            break;
        }
        const std::optional<QString> value = RegisterFile::valueOf(lines.at(k));
        if (!value)
            outcome.skipped.append(k);
        else if (!program(k, *value))
            outcome.unconfirmed.append(k);
        emit progress(percentAfter(k));
    }
    emit progress(0);
    return outcome;
}

// Sets box `address` and so writes the register through the box's change
// handling, also when the box already shows the value: the chip may have
// lost it. True when the board confirmed the write.
bool RegisterFiles::program(int address, const QString &value)
{
    if (m_boxes.text(address) == value)
        return m_boxes.reg_KV7103_Change(address);
    return m_boxes.setText(address, value);
}

// One closing message for everything that was not loaded, and a status line.
void RegisterFiles::report(const QString &path, const Outcome &outcome, bool connected)
{
    const QString problems = RegisterFile::problems(outcome.lines, outcome.skipped);
    // The link's failure has had its message: the count goes to the status
    // line, which does not block.
    const bool cancelled = outcome.cancelledAfter >= 0;
    const int done = cancelled ? outcome.cancelledAfter : outcome.lines;
    const int written = done - int(outcome.skipped.size() + outcome.unconfirmed.size());
    if (!problems.isEmpty() && !cancelled)
        m_messages.show(problems);
    if (written == RegisterMap::Count) {
        emit status(tr("Loaded the %1 registers from %2.").arg(RegisterMap::Count).arg(path));
        return;
    }
    QString text = cancelled
        ? tr("Load cancelled after %1 of %2 registers.").arg(outcome.cancelledAfter).arg(outcome.lines)
        : tr("Loaded %1: %2 of %3 registers written.").arg(path).arg(written).arg(RegisterMap::Count);
    if (!outcome.unconfirmed.isEmpty()) {
        text += QLatin1Char(' ')
            + (connected ? tr("The board did not confirm %1 (their boxes are marked).")
                         : tr("%1 not written: the port could not be opened (their boxes are marked)."))
                  .arg(outcome.unconfirmed.size());
    }
    emit status(text);
}
