#include "ContactList.h"

#include "IUserListView.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarLink.h"
#include "foundation/MCIFunctions.h"

ContactList::ContactList()
{
    m_model.setColumnCount(2);
    m_model.setHeaderData(0, Qt::Horizontal, GetResString(155));
    m_model.setHeaderData(0, Qt::Horizontal, QStringLiteral("CNAME"), Qt::UserRole);
    m_model.setHeaderData(0, Qt::Horizontal, QStringLiteral("ORBIT"), Qt::UserRole + 1);
    m_model.setHeaderData(1, Qt::Horizontal, GetResString(239));
    m_model.setHeaderData(1, Qt::Horizontal, QStringLiteral("CEMAIL"), Qt::UserRole);
}

void ContactList::refresh()
{
    if (!g_fOutlook || !g_calendarLink)
        return;
    if (g_sViewType != QLatin1String("CTL"))
        if (IUserListView *view = IUserListView::ofMainWindow())
            view->showListView(&m_model, nullptr);
    // Read off the window's thread: the list fills when the book comes.
    g_calendarLink->GetAddressBook(&m_model, [this](const QVector<ICalendarLink::AddressEntry> &book) { show(book); });
    g_iDBRetryCount = 0;
}

void ContactList::show(const QVector<ICalendarLink::AddressEntry> &book)
{
    m_model.removeRows(0, m_model.rowCount());
    for (int i = 0; i < book.size(); ++i) {
        const QString name = book.at(i).name.trimmed();
        if (name.isEmpty())
            continue;
        auto *nameCell = new QStandardItem(name);
        nameCell->setData(QStringLiteral("CTT") + QString::number(i), Qt::UserRole);
        nameCell->setEditable(false);
        auto *mailCell = new QStandardItem(book.at(i).email);
        mailCell->setEditable(false);
        m_model.appendRow({nameCell, mailCell});
    }
}
