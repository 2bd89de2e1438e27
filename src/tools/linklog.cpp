#include "linklog.h"

#include "files/savefile.h"
#include "link/boardlink.h"
#include "link/hex.h"
#include "platform/filechooser.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

QString LinkExchange::line() const
{
    return QStringLiteral("%1 %2 sent \"%3\" received \"%4\"").arg(time, port, sent, received);
}

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
    m_inExchange = false;
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
    QSaveFile file(*path);
    const QByteArray bytes = m_view->toPlainText().toLatin1() + '\n';
    if (!openForSaving(file) || !writeWhole(file, bytes) || !file.commit())
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

QString LinkLog::now()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"));
}

QString LinkLog::failureLine(const QString &port, const QString &what)
{
    return QStringLiteral("%1 %2 %3").arg(now(), port, what);
}

void LinkLog::begin(const QString &port)
{
    refresh();
    m_port = port;
    m_exchange = {now(), port, {}, {}};
    m_inExchange = true;
    m_view->appendPlainText(QString());
    refreshSoon();
}

void LinkLog::exchangeStarted(const QString &port)
{
    begin(port);
}

void LinkLog::sent(const QByteArray &bytes)
{
    if (!m_inExchange)
        begin(m_port);
    m_exchange.sent += escaped(bytes);
    refreshSoon();
}

void LinkLog::received(const QByteArray &bytes)
{
    if (!m_inExchange)
        begin(m_port);
    m_exchange.received += escaped(bytes);
    refreshSoon();
}

void LinkLog::failed(const QString &what)
{
    refresh();
    m_inExchange = false;
    m_view->appendPlainText(failureLine(m_port, what));
}

void LinkLog::refreshSoon()
{
    if (!m_refresh->isActive())
        m_refresh->start();
}

void LinkLog::refresh()
{
    m_refresh->stop();
    if (!m_inExchange)
        return;
    QTextCursor cursor(m_view->document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(m_exchange.line());
}

void LinkLog::showEvent(QShowEvent *event)
{
    m_link.addMonitor(this);
    QWidget::showEvent(event);
}

void LinkLog::hideEvent(QHideEvent *event)
{
    m_link.removeMonitor(this);
    refresh();
    m_inExchange = false;
    QWidget::hideEvent(event);
}
