#include "frmTimeList.h"

#include "DropDownKey.h"
#include "TimeListEntries.h"
#include "Twips.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

frmTimeList::frmTimeList(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint), m_list(new QListWidget(this))
{
    setModal(true);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &frmTimeList::onSelectionChanged);
    setFixedSize(Twips::toPixels(1605), Twips::toPixels(1740));
}

void frmTimeList::addEntries(const QStringList &entries)
{
    m_list->addItems(entries);
}

void frmTimeList::reject()
{
    m_dtTime = 0;
    finish(true);
}

bool frmTimeList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && handleKey(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void frmTimeList::onSelectionChanged()
{
    const auto selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    m_dtTime = TimeListEntries::pickedTime(selected.first()->text());
    finish(false);
}

bool frmTimeList::handleKey(int key)
{
    switch (DropDownKey::action(key)) {
    case DropDownKey::Accept:
        finish(false); // keeps what was picked: midnight when nothing was
        return true;
    case DropDownKey::Dismiss:
        reject();
        return true;
    case DropDownKey::None:
        break;
    }
    // The first arrow press picks the first entry, not the one after it.
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && m_list->selectedItems().isEmpty() && m_list->count() > 0) {
        m_list->setCurrentRow(0);
        return true;
    }
    return false;
}

void frmTimeList::finish(bool cancel)
{
    m_cancel = cancel;
    hide();
}
