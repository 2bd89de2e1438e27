#include "boardconsole.h"
#include "linklog.h"

#include "commands/commandlock.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

BoardConsole::BoardConsole(BoardLink &link, BoardCommands &commands, CommandLock &lock, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_view(new QPlainTextEdit(this))
    , m_input(new QLineEdit(this))
    , m_transcript(m_view)
{
    setWindowTitle(tr("Board Console"));
    const QFont monospace(QStringLiteral("monospace"));
    m_view->setObjectName(QStringLiteral("consoleText"));
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setMaximumBlockCount(LinkLog::MaxLines);
    m_view->setFont(monospace);
    m_input->setObjectName(QStringLiteral("consoleLine"));
    m_input->setFont(monospace);
    m_input->setPlaceholderText(tr("A command line such as \"X0x0012 0x1 \"; Return sends it"));
    // The board reads printable ASCII; nothing else can be typed or pasted.
    m_input->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[ -~]*")), m_input));
    m_input->installEventFilter(this);
    connect(m_input, &QLineEdit::returnPressed, this, &BoardConsole::send);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addWidget(m_input);
    resize(640, 300);
}

void BoardConsole::send()
{
    const QString line = m_input->text();
    if (line.isEmpty())
        return;
    // Refused, it says so here as on the status line, and the line stays
    // to be sent later.
    QString refusal;
    const auto refused = connect(&m_lock, &CommandLock::refused, this,
                                 [&refusal](const QString &text) { refusal = text; });
    const auto hold = m_lock.tryHold(tr("Board Console"));
    disconnect(refused);
    if (!hold) {
        m_view->appendPlainText(refusal);
        return;
    }
    if (m_history.isEmpty() || m_history.constLast() != line)
        m_history.append(line);
    if (m_history.size() > HistoryLength)
        m_history.removeFirst();
    m_recalled = int(m_history.size());
    m_input->clear();
    exchange(line);
}

void BoardConsole::exchange(const QString &line)
{
    m_link.addMonitor(&m_transcript);
    // A closed port, or a link that failed, is reset first, so that the line
    // is paced and timed as any command's instead of sent blind. Each
    // exchange's failure shows in a line of its own.
    if ((m_link.isOpen() && !m_link.Serial_Error()) || m_link.connectOrReport())
        m_commands.sendLine(line);
    m_link.removeMonitor(&m_transcript);
    m_transcript.closeLine();
}

bool BoardConsole::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_input && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            recall(key == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BoardConsole::recall(int step)
{
    // Down past the last line recalled gives back an empty line, once.
    const int to = qBound(0, m_recalled + step, int(m_history.size()));
    if (to == m_recalled)
        return;
    m_recalled = to;
    m_input->setText(to < m_history.size() ? m_history.at(to) : QString());
}
