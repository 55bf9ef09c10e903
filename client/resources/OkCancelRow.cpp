#include "OkCancelRow.h"

#include "foundation/MCIFunctions.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *OkCancelRow::make(QPushButton *&ok, QPushButton *&cancel)
{
    auto *row = new QHBoxLayout;
    ok = new QPushButton(GetResString(175));
    cancel = new QPushButton(GetResString(176));
    ok->setDefault(true);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
