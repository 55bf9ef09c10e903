#include "BoxText.h"

#include <QLineEdit>

void BoxText::show(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

void BoxText::selectFromStart(QLineEdit *box)
{
    const int length = int(box->text().size());
    box->setSelection(length, -length);
}
