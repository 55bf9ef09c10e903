#include "PopupMenus.h"

#include "KeyedTreeWidget.h"
#include "ListViewPane.h"
#include "MainLayout.h"
#include "MainMenus.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/Steps.h"
#include "resources/BookingDisplay.h"
#include "resources/CReservationList.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCursor>
#include <QMenu>

namespace {

// The builders' failures are logged and passed over.
const QString kLog = QStringLiteral("frmMain");

// Where the menu goes when asked for from the keyboard with nothing selected.
constexpr int kKeyboardOffset = 30; // twips

QAction *entry(const MainMenus &menus, const char *name, int index)
{
    return menus.item(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index));
}

} // namespace

PopupMenus::PopupMenus(MainMenus &menus, KeyedTreeWidget *tree, ListViewPane *users, ListViewPane *reservations)
    : popup([](QMenu &menu, const QPoint &at) { menu.popup(at); }), m_menus(menus), m_tree(tree), m_users(users),
      m_reservations(reservations)
{
}

void PopupMenus::connectControls(QObject *context)
{
    QObject::connect(m_users, &ListViewPane::released, context, [this](Qt::MouseButton button, const QPoint &at) {
        listMenu(button == Qt::RightButton ? AtPointer : Refresh, at);
    });
    QObject::connect(m_users, &ListViewPane::menuKeyPressed, context, [this] { listMenu(FromKeyboard, std::nullopt); });
    QObject::connect(m_reservations, &ListViewPane::released, context,
                     [this](Qt::MouseButton button, const QPoint &at) {
                         const Show show = button == Qt::RightButton ? AtPointer : Refresh;
                         Steps::logAndSkip(kLog, [&] { BuildReservationPopupMenu(show, at); });
                     });
    QObject::connect(m_reservations, &ListViewPane::menuKeyPressed, context, [this] {
        Steps::logAndSkip(kLog, [this] { BuildReservationPopupMenu(FromKeyboard); });
    });
    QObject::connect(m_tree, &KeyedTreeWidget::menuKeyPressed, context, [this] {
        Steps::logAndSkip(kLog, [this] { BuildTreePopupMenu(m_tree->selectedKey(), FromKeyboard); });
    });
}

void PopupMenus::listMenu(Show show, std::optional<QPoint> pointer)
{
    const QString key = m_users->selectedKey();
    Steps::logAndSkip(kLog, [&] { BuildListPopupMenu(key.isEmpty() ? QStringLiteral("!1") : key, show, pointer); });
}

QMenu *PopupMenus::menu() const
{
    return m_menus.item(QStringLiteral("mnuPopup"))->menu();
}

void PopupMenus::BuildTreePopupMenu(const QString &nodeKey, Show show, std::optional<QPoint> pointer)
{
    PopupMenuRules::Tree state;
    const QTreeWidgetItem *selected = m_tree->currentItem();
    state.hasNode = selected;
    if (selected) {
        const QTreeWidgetItem *node = m_tree->node(nodeKey);
        state.text = node ? node->text(0) : QString();
        state.kind = KeyedTreeWidget::tagOf(selected);
        state.admin = g_oCurrentUser.Admin;
        state.nodeId = KeyToId(nodeKey);
    }
    m_context = TreeContext;
    apply(PopupMenuRules::forTree(state),
          {show, pointer, m_tree->viewport(), selected ? m_tree->visualItemRect(selected) : QRect()});
}

void PopupMenus::BuildListPopupMenu(const QString &itemKey, Show show, std::optional<QPoint> pointer)
{
    PopupMenuRules::List state;
    const QTreeWidgetItem *node = m_tree->currentItem();
    state.kind = node ? KeyedTreeWidget::tagOf(node) : QString();
    state.admin = g_oCurrentUser.Admin;
    state.canChangeStatus = g_fCanChangeStatus;
    state.itemText = m_users->rowText(m_users->rowOfKey(itemKey));
    state.isMe = itemKey.compare(QStringLiteral("USR") + QString::number(g_lUserID), Qt::CaseInsensitive) == 0;
    state.selectedCount = int(m_users->selectedRows().size());
    state.hasSelectedRow = state.selectedCount > 0;
    m_context = state.kind.compare(QLatin1String("RSG"), Qt::CaseInsensitive) == 0 ? ResourceContext : UserContext;
    apply(PopupMenuRules::forList(state), {show, pointer, m_users->currentViewport(), m_users->selectedRect()});
}

void PopupMenus::BuildReservationPopupMenu(Show show, std::optional<QPoint> pointer)
{
    PopupMenuRules::Reservations state;
    const int row = m_reservations->selectedRow();
    const QAbstractItemModel *model = m_reservations->model();
    state.hasRow = row >= 0 && model && m_reservations->isRowSelected(row);
    if (state.hasRow) {
        const QModelIndex first = model->index(row, 0);
        const int noteColumn = int(CReservationList::columnKeys().indexOf(QStringLiteral("V_NOT")));
        state.note = model->index(row, noteColumn).data().toString();
        state.bookingUserId = first.data(CReservationList::OwnerRole).toInt();
        state.grey = first.data(Qt::ForegroundRole).value<QColor>() == BookingDisplay::greyColour();
    }
    state.myUserId = g_oCurrentUser.UserID;
    state.admin = g_oCurrentUser.Admin;
    state.hasResources = m_users->model() && m_users->model()->rowCount() > 0;
    state.resourceText = m_users->rowText(m_users->selectedRow());
    m_context = ReservationContext;
    apply(PopupMenuRules::forReservations(state),
          {show, pointer, m_reservations->currentViewport(), m_reservations->selectedRect()});
}

void PopupMenus::apply(const PopupMenuRules::Entries &entries, const Where &where)
{
    QAction *bar = m_menus.item(QStringLiteral("mnuPopup"));
    bar->setVisible(entries.any);
    if (!entries.any)
        return;
    for (int i = 1; i <= 15; ++i) {
        if (QAction *item = entry(m_menus, "mnuPopupSub", i)) {
            item->setVisible(entries.visible[i]);
            if (!entries.caption[i].isEmpty())
                item->setText(entries.caption[i]);
        }
    }
    for (int i = 0; i < 3; ++i) {
        QAction *item = entry(m_menus, "mnuPopupSubMail", i);
        item->setVisible(entries.mailVisible[i]);
        if (!entries.mailCaption[i].isEmpty())
            item->setText(entries.mailCaption[i]);
    }
    if (where.show == Refresh)
        return;
    const int offset = MainLayout::toPixels(kKeyboardOffset);
    QPoint at;
    if (where.show == AtPointer)
        at = where.pointer.value_or(QCursor::pos());
    else if (where.selected.isValid())
        at = where.control->mapToGlobal(where.selected.bottomLeft() + QPoint(offset, 0));
    else
        at = where.control->mapToGlobal(QPoint(offset, offset));
    popup(*menu(), at);
}
