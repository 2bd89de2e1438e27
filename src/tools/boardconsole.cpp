#include "boardconsole.h"

#include "commands/commandlock.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTextBlock>
#include <QVBoxLayout>

BoardConsole::BoardConsole(BoardLink &link, BoardCommands &commands, CommandLock &lock, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_view(new QPlainTextEdit(this))
    , m_input(new QLineEdit(this))
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

QStringList BoardConsole::lines() const
{
    const QString text = m_view->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
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
    m_failed = false;
    m_link.addMonitor(this);
    // A closed port, or a link that failed, is reset first, so that the line
    // is paced and timed as any command's instead of sent blind.
    const bool connected = (m_link.isOpen() && !m_link.Serial_Error()) || m_link.connectOrReport();
    const bool confirmed = connected && m_commands.sendLine(line);
    m_link.removeMonitor(this);
    m_inExchange = false;
    // A link already failing reports nothing new; the line says it all the same.
    if (!confirmed && !m_failed)
        failed(tr("not confirmed: the board did not answer in full"));
}

void BoardConsole::exchangeStarted(const QString &port)
{
    m_exchange = {LinkLog::now(), port, {}, {}};
    m_inExchange = true;
    m_view->appendPlainText(m_exchange.line());
}

void BoardConsole::sent(const QByteArray &bytes)
{
    if (!m_inExchange)
        exchangeStarted(m_exchange.port);
    m_exchange.sent += LinkLog::escaped(bytes);
    showExchange();
}

void BoardConsole::received(const QByteArray &bytes)
{
    if (!m_inExchange)
        exchangeStarted(m_exchange.port);
    m_exchange.received += LinkLog::escaped(bytes);
    showExchange();
}

void BoardConsole::failed(const QString &what)
{
    m_inExchange = false;
    m_failed = true;
    m_view->appendPlainText(LinkLog::failureLine(m_exchange.port, what));
}

void BoardConsole::showExchange()
{
    QTextCursor cursor(m_view->document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(m_exchange.line());
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
