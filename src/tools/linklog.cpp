#include "linklog.h"

#include "platform/savefile.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "platform/filechooser.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString now()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"));
}

} // namespace

LinkLog::LinkLog(BoardLink &link, FileChooser &dialog, MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_link(link)
    , m_dialog(dialog)
    , m_messages(messages)
    , m_view(new QPlainTextEdit(this))
    , m_refresh(new QTimer(this))
{
    setWindowTitle(tr("Link Log"));
    m_view->setObjectName(QStringLiteral("linkLogText"));
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setMaximumBlockCount(MaxLines);
    m_view->setFont(QFont(QStringLiteral("monospace")));
    m_refresh->setSingleShot(true);
    // A line is redrawn at most ten times a second, not for every character.
    m_refresh->setInterval(100);
    connect(m_refresh, &QTimer::timeout, this, &LinkLog::refresh);

    auto *clearButton = new QPushButton(tr("&Clear"), this);
    clearButton->setObjectName(QStringLiteral("clearLog"));
    auto *saveButton = new QPushButton(tr("&Save..."), this);
    saveButton->setObjectName(QStringLiteral("saveLog"));
    connect(clearButton, &QPushButton::clicked, this, &LinkLog::clear);
    connect(saveButton, &QPushButton::clicked, this, &LinkLog::save);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clearButton);
    buttons->addWidget(saveButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(buttons);
    resize(640, 360);
}

QStringList LinkLog::lines()
{
    refresh();
    const QString text = m_view->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void LinkLog::clear()
{
    m_view->clear();
    m_lineOpen = false;
}

void LinkLog::save()
{
    FileChooser::Request request;
    request.kind = FileChooser::Kind::Save;
    request.fileName = QStringLiteral("linklog.txt");
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("Text File (*.txt)|*.txt|All Files (*.*)|*.*|");
    request.confirmOverwrite = true;
    const std::optional<QString> path = m_dialog.choose(request);
    if (!path)
        return;
    refresh();
    SaveFile file(*path);
    file.setWaitForReader(false); // the window would hang
    if (!file.open() || !file.write(m_view->toPlainText().toLatin1() + '\n') || !file.commit())
        m_messages.show(tr("Cannot save %1: %2").arg(QDir::toNativeSeparators(*path), file.errorString()));
}

QString LinkLog::escaped(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        if (c == '\r')
            text += QStringLiteral("\\r");
        else if (c == '\n')
            text += QStringLiteral("\\n");
        else if (c == '\\')
            text += QStringLiteral("\\\\");
        else if (c >= ' ' && c <= '~')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x") + Hex_Digits(quint8(c), 2);
    }
    return text;
}

void LinkLog::exchangeStarted(const QString &port)
{
    // Its line appears with its first character, so that a port that did
    // not open shows only its failure.
    refresh();
    m_lineOpen = false;
    m_port = port;
}

void LinkLog::openLine()
{
    if (m_lineOpen)
        return;
    m_exchange = {now(), m_port, {}, {}};
    m_lineOpen = true;
    m_view->appendPlainText(QString());
}

void LinkLog::sent(const QByteArray &bytes)
{
    openLine();
    m_exchange.sent += escaped(bytes);
    refreshSoon();
}

void LinkLog::received(const QByteArray &bytes)
{
    openLine();
    m_exchange.received += escaped(bytes);
    refreshSoon();
}

void LinkLog::failed(const QString &what)
{
    refresh();
    m_lineOpen = false;
    m_view->appendPlainText(QStringLiteral("%1 %2 %3").arg(now(), m_port, what));
}

void LinkLog::refreshSoon()
{
    if (!m_refresh->isActive())
        m_refresh->start();
}

void LinkLog::refresh()
{
    m_refresh->stop();
    if (!m_lineOpen)
        return;
    QTextCursor cursor(m_view->document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("%1 %2 sent \"%3\" received \"%4\"")
                          .arg(m_exchange.time, m_exchange.port, m_exchange.sent, m_exchange.received));
}

void LinkLog::showEvent(QShowEvent *event)
{
    m_link.setMonitor(this);
    QWidget::showEvent(event);
}

void LinkLog::hideEvent(QHideEvent *event)
{
    m_link.setMonitor(nullptr);
    refresh();
    m_lineOpen = false;
    QWidget::hideEvent(event);
}
