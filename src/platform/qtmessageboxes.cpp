#include "qtmessageboxes.h"

#include <QMessageBox>

void QtMessageBoxes::show(const QString &text, const QString &caption, Icon icon)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, caption, shown,
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
