#include "scriptrecorder.h"

#include "commands/commandlock.h"
#include "platform/savefile.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "platform/filechooser.h"
#include "platform/messageboxes.h"
#include "registers/registermap.h"

#include <QDir>
#include <QFileInfo>

namespace {

using Target = WriteObserver::Target;

const QString Cli = QStringLiteral("kv71xx-cli --port \"$PORT\" ");

// The script's lines. Comments go out as the writes come; the write line
// that carries a command's adjacent confirmed writes follows its comments.
class Script
{
public:
    void add(const ScriptRecorder::Kept &kept);
    void endCommand();

    QStringList lines;

private:
    void comments(const ScriptRecorder::Kept &kept, const QString &why);
    QStringList m_pairs;
};

// The register as the comment names it.
QString nameOf(Target target, int address)
{
    if (target == Target::Fpga)
        return QStringLiteral("FPGA register ") + Hex_Digits(address, 4);
    if (address < RegisterMap::Count)
        return RegisterMap::caption(address).trimmed();
    return QStringLiteral("register ") + Hex_Digits(address, 2);
}

void Script::comments(const ScriptRecorder::Kept &kept, const QString &why)
{
    const WriteObserver::Write &w = kept.write;
    for (int i = 0; 2 * i < w.values.size(); ++i) {
        lines.append(QStringLiteral("# %1 %2 := %3%4")
                         .arg(kept.time.toString(QStringLiteral("hh:mm:ss")), nameOf(w.target, w.address + i),
                              w.values.mid(2 * i, 2), why));
    }
}

void Script::add(const ScriptRecorder::Kept &kept)
{
    const WriteObserver::Write &w = kept.write;
    QStringList pairs;
    for (int i = 0; 2 * i < w.values.size(); ++i)
        pairs << Hex_Digits(w.address + i, w.target == Target::Fpga ? 4 : 2) << w.values.mid(2 * i, 2);
    // kv71xx-cli writes the chip's registers only, as the window's boxes do.
    const bool beyond = w.target == Target::Chip && w.address + pairs.size() / 2 > RegisterMap::Count;
    if (w.target == Target::Chip && w.confirmed && !beyond) {
        comments(kept, QString());
        m_pairs += pairs;
        return;
    }
    endCommand();
    QString why;
    if (beyond)
        why = QStringLiteral(", beyond the chip's registers (00 to 3F)");
    else if (!w.confirmed)
        why = QStringLiteral(", not confirmed by the board");
    comments(kept, why);
    const QString command = Cli + (w.target == Target::Fpga ? QStringLiteral("fpga-write ") : QStringLiteral("write "))
        + pairs.join(QLatin1Char(' '));
    lines.append(why.isEmpty() ? command : QStringLiteral("# ") + command);
}

void Script::endCommand()
{
    if (!m_pairs.isEmpty())
        lines.append(Cli + QStringLiteral("write ") + m_pairs.join(QLatin1Char(' ')));
    m_pairs.clear();
}

int registersIn(const QList<ScriptRecorder::Kept> &kept, bool confirmed)
{
    int count = 0;
    for (const ScriptRecorder::Kept &k : kept)
        count += k.write.confirmed == confirmed ? int(k.write.values.size()) / 2 : 0;
    return count;
}

} // namespace

ScriptRecorder::ScriptRecorder(BoardLink &link, BoardCommands &commands, CommandLock &lock, FileChooser &dialog,
                               MessageBoxes &messages, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_commands(commands)
    , m_dialog(dialog)
    , m_messages(messages)
{
    // A command of the window ends when the lock falls idle; its adjacent
    // writes share one line of the script.
    connect(&lock, &CommandLock::idle, this, [this] { ++m_command; });
}

void ScriptRecorder::start()
{
    m_on = true;
    m_date = QDate::currentDate();
    m_commands.setWriteObserver(this);
    emit status(tr("Recording a script: Tools > Record Script... again saves it."));
}

void ScriptRecorder::end()
{
    m_on = false;
    m_commands.setWriteObserver(nullptr);
    m_kept.clear();
}

void ScriptRecorder::written(const Write &write)
{
    m_kept.append({QTime::currentTime(), write, m_command});
}

void ScriptRecorder::stop()
{
    if (m_kept.isEmpty()) {
        end();
        emit status(tr("Record Script stopped: no register was written, so there is no script."));
        return;
    }
    FileChooser::Request request;
    request.kind = FileChooser::Kind::Save;
    request.fileName = QStringLiteral("session.sh");
    request.defaultSuffix = QStringLiteral("sh");
    request.filter = QStringLiteral("Shell Script (*.sh)|*.sh|All Files (*.*)|*.*|");
    request.confirmOverwrite = true;
    const std::optional<QString> path = m_dialog.choose(request);
    if (!path || !save(*path)) {
        emit status(tr("Recording goes on: the script was not saved."));
        return;
    }
    emit status(tr("Script saved to %1: %2 register writes, %3 not confirmed by the board (left as comments).")
                    .arg(QDir::toNativeSeparators(*path))
                    .arg(registersIn(m_kept, true) + registersIn(m_kept, false))
                    .arg(registersIn(m_kept, false)));
    end();
}

bool ScriptRecorder::save(const QString &path)
{
    const int port = isPortNumber(m_link.choice().number) ? m_link.choice().number : 1;
    SaveFile file(path);
    if (!file.open() || !file.write(script(m_kept, port, m_date)) || !file.commit()) {
        m_messages.show(tr("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    // Run as it is, like any script (a FIFO or device keeps its mode).
    if (QFileInfo(path).isFile())
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    return true;
}

QByteArray ScriptRecorder::script(const QList<Kept> &kept, int port, const QDate &date)
{
    Script script;
    script.lines = QStringList{
        QStringLiteral("#!/bin/sh"),
        QStringLiteral("# Register writes made in the KV71xx evaluation program on %1,")
            .arg(date.toString(Qt::ISODate)),
        QStringLiteral("# replayed in order with kv71xx-cli. Writes the board did not confirm are"),
        QStringLiteral("# comments. PORT=2 replays them on COM2."),
        QStringLiteral("set -e"),
        QStringLiteral("PORT=${PORT:-%1}").arg(port),
    };
    int command = -1;
    for (const Kept &k : kept) {
        if (k.command != command) {
            script.endCommand();
            script.lines.append(QString());
            command = k.command;
        }
        script.add(k);
    }
    script.endCommand();
    return script.lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}
