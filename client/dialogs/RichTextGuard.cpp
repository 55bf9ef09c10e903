#include "RichTextGuard.h"

#include "OutsideText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTextDocument>

namespace {

bool laysOutRichText(const QLabel &label)
{
    return label.textFormat() == Qt::AutoText ? Qt::mightBeRichText(label.text()) : label.textFormat() != Qt::PlainText;
}

} // namespace

void RichTextGuard::install()
{
    static QPointer<RichTextGuard> guard;
    if (guard || !QCoreApplication::instance())
        return;
    guard = new RichTextGuard;
    guard->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(guard);
}

bool RichTextGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ChildAdded)
        return false;
    auto *label = qobject_cast<QLabel *>(watched);
    // The label is in the middle of making its text control: it sets the
    // same text again, as plain text, and keeps the control for that.
    if (label && laysOutRichText(*label) && !OutsideText::isEscapedToolTip(label->text()))
        label->setTextFormat(Qt::PlainText);
    return false;
}
