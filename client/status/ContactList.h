#pragma once

#include "foundation/ICalendarLink.h"

#include <QStandardItemModel>

// The contacts view: the address book of the calendar link in the upper
// list, name and e-mail address. Row keys are "CTT" + the entry's position
// in the address book, so a blank entry leaves a gap; they name no record.
class ContactList
{
public:
    ContactList();
    // Nothing happens while the calendar link is off; the rows come when
    // the address book is read.
    void refresh();
    QStandardItemModel &model() { return m_model; }

private:
    void show(const QVector<ICalendarLink::AddressEntry> &book);

    QStandardItemModel m_model;
};
