#include "PopupCommands.h"

#include "KeyedTreeWidget.h"
#include "ListViewPane.h"
#include "PopupMenuRules.h"
#include "MainMenus.h"
#include "PopupMenus.h"
#include "admin/frmAddGroup.h"
#include "foundation/CTreeNode.h"
#include "foundation/CUser.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/IPrompt.h"
#include "foundation/IResourceLists.h"
#include "foundation/ITrayWindow.h"
#include "foundation/IUserEditor.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/UiFactory.h"
#include "mail/CClientEmail.h"
#include "messaging/IChatWindow.h"
#include "platform/AppError.h"
#include "resources/CReservation.h"
#include "resources/CResource.h"
#include "resources/frmReservation.h"
#include "resources/frmResource.h"
#include "status/CClientHnd.h"
#include "status/NotifyUserList.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QAbstractItemModel>
#include <QAction>
#include <iterator>

namespace {

bool is(const QString &kind, const char *tag)
{
    return kind.compare(QLatin1String(tag), Qt::CaseInsensitive) == 0;
}

bool isNode(const QString &kind)
{
    return is(kind, "BRH") || is(kind, "GRP") || is(kind, "WEB") || is(kind, "RSG");
}

// The days of history each entry of the booking-history sub-menu asks for.
constexpr int kHistoryDays[] = {1, 5, 10, 30, 90, 182, 365, 3650};

// The e-mail column of the contact list.
constexpr int kContactEmailColumn = 1;

template <typename Work>
void reporting(const char *where, Work &&work)
{
    try {
        work();
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(),
                    QStringLiteral("frmMain.") + QLatin1String(where) + QStringLiteral("\r\n") + e.source());
    }
}

} // namespace

std::function<void(QDialog &)> PopupCommands::runDialog = [](QDialog &dialog) { dialog.exec(); };

PopupCommands::PopupCommands(const PopupMenus &menus, KeyedTreeWidget *tree, ListViewPane *users,
                             ListViewPane *reservations, QWidget *window)
    : m_menus(menus), m_tree(tree), m_users(users), m_reservations(reservations), m_window(window)
{
}

void PopupCommands::connectTo(const MainMenus &menus, QObject *context)
{
    const auto onClick = [&](const char *name, int index, void (PopupCommands::*handler)(int)) {
        QObject::connect(menus.item(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index)), &QAction::triggered,
                         context, [this, index, handler] { (this->*handler)(index); });
    };
    for (int i : {3, 4, 6, 7, 9, 10, 11, 13, 14})
        onClick("mnuPopupSub", i, &PopupCommands::mnuPopupSub_Click);
    for (int i : {1, 2})
        onClick("mnuPopupIM", i, &PopupCommands::mnuPopupIM_Click);
    for (int i : {0, 1, 2})
        onClick("mnuPopupSubMail", i, &PopupCommands::mnuPopupSubMail_Click);
    for (int i = 0; i < 8; ++i)
        onClick("mnuPopupSubSub", i, &PopupCommands::mnuPopupSubSub_Click);
    QObject::connect(m_users, &ListViewPane::itemDoubleClicked, context,
                     [this](int row) { lvwUserList_DblClick(row); });
}

void PopupCommands::mnuPopupSub_Click(int index)
{
    reporting("mnuPopupSub_Click", [&] {
        switch (index) {
        case 3: phoneMessage(); break;
        case 4:
            if (g_oClientHnd)
                g_oClientHnd->PhHistory();
            break;
        case 6: changeStatus(); break;
        case 7: notify(); break;
        case 9:
        case 13: add(index); break;
        case 10: edit(); break;
        case 11: remove(); break;
        case 14: checkIn(); break;
        default: break;
        }
    });
}

// ---------------------------------------------------------------- people

QList<CEntity> PopupCommands::selectedEntities(bool contactNames) const
{
    QList<CEntity> selection;
    for (int row : m_users->selectedRows()) {
        CEntity entity;
        entity.setKey(m_users->rowKey(row));
        entity.Name = m_users->rowText(row);
        if (contactNames && m_users->model())
            entity.Name = m_users->model()->index(row, kContactEmailColumn).data().toString();
        selection.append(entity);
    }
    return selection;
}

// Only rows of people: a contact's key names no colleague.
QList<qint32> PopupCommands::selectedUserIds() const
{
    QList<qint32> ids;
    for (const CEntity &entity : selectedEntities())
        if (entity.Key().startsWith(QLatin1String("USR"), Qt::CaseInsensitive))
            ids << entity.ID;
    return ids;
}

void PopupCommands::phoneMessage()
{
    const int row = m_users->selectedRow();
    if (row < 0 || !g_uiFactory.phoneMessage)
        return;
    g_uiFactory.phoneMessage(KeyToId(m_users->rowKey(row)), m_users->rowText(row));
}

void PopupCommands::changeStatus()
{
    if (m_users->selectedRow() < 0)
        return;
    const QList<CEntity> selected = selectedEntities();
    if (selected.isEmpty()) {
        g_prompt->message(GetResString(150), IPrompt::Ok, IPrompt::Exclamation, QString());
        return;
    }
    const QList<CEntity> people = PopupMenuRules::changeable(selected, g_lUserID, g_fCanChangeStatus);
    const QString leftOut = PopupMenuRules::leftOutMessage(int(selected.size() - people.size()));
    if (!leftOut.isEmpty())
        g_prompt->message(leftOut, IPrompt::Ok, IPrompt::Information, QStringLiteral("Change Status"));
    if (!people.isEmpty() && g_oClientHnd)
        g_oClientHnd->EditUserStatus(people, false);
}

void PopupCommands::notify()
{
    // Someone already watched is passed over without a word.
    for (const CEntity &entity : selectedEntities())
        g_colNotifyUsers.add(entity.ID, entity.Name);
}

void PopupCommands::mnuPopupIM_Click(int index)
{
    reporting("mnuPopupIM_Click", [&] {
        const QList<qint32> ids = selectedUserIds();
        if (ids.isEmpty())
            return;
        if (index == 1 && g_uiFactory.instantMessage) {
            QString recipients = QStringLiteral("/");
            for (qint32 id : ids)
                recipients += QString::number(id) + u'/';
            g_uiFactory.instantMessage(recipients);
        } else if (index == 2 && g_frmSysTray) {
            IChatWindow *chat = g_uiFactory.chatWindow ? g_uiFactory.chatWindow() : nullptr;
            QString room = chat ? chat->roomId() : QString();
            for (qint32 id : ids)
                g_frmSysTray->sendChatInvitation(g_oCurrentUser.RealName, QString::number(id), room);
        }
    });
}

void PopupCommands::mnuPopupSubMail_Click(int index)
{
    reporting("mnuPopupSubMail_Click", [&] { emailSelectedUsers(index + 1); });
}

void PopupCommands::emailSelectedUsers(int mode)
{
    CClientEmail mail;
    if (mode == 1) {
        const QTreeWidgetItem *node = m_tree->currentItem();
        if (node)
            mail.BroadCastMessage(KeyToId(KeyedTreeWidget::keyOf(node)), node->text(0), mode);
        return;
    }
    const bool contacts = is(g_sViewType, "CTL");
    mail.SendEmail(selectedEntities(contacts), mode, contacts);
}

void PopupCommands::lvwUserList_DblClick(int row)
{
    using Action = PopupMenuRules::DoubleClick;
    reporting("lvwUserList_DblClick", [&] {
        CEntity person;
        person.setKey(m_users->rowKey(row));
        person.Name = m_users->rowText(row);
        switch (PopupMenuRules::onDoubleClick(g_sViewType, row >= 0, g_bOnListDblClick, g_fCanChangeStatus)) {
        case Action::ChangeStatus:
            if (editStatusOfRow)
                editStatusOfRow(row);
            break;
        case Action::Email: CClientEmail().SendEmail({person}, 2, false); break;
        case Action::PhoneMessage:
            if (g_uiFactory.phoneMessage)
                g_uiFactory.phoneMessage(person.ID, person.Name);
            break;
        case Action::Nothing: break;
        }
    });
}

// ---------------------------------------------------------------- records

bool PopupCommands::addItem(int index, Item &item) const
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    if (!node)
        return false;
    const qint32 nodeId = KeyToId(KeyedTreeWidget::keyOf(node));
    switch (m_menus.context()) {
    case PopupMenus::TreeContext: item = {KeyedTreeWidget::tagOf(node), nodeId, node->text(0)}; return true;
    case PopupMenus::UserContext: item = {QStringLiteral("USR"), nodeId, QString()}; return true;
    case PopupMenus::ResourceContext:
        if (index == 9) {
            item = {QStringLiteral("RES"), nodeId, QString()};
            return true;
        }
        break;
    case PopupMenus::ReservationContext: break;
    default: return false;
    }
    // A booking is for the resource selected in the upper list.
    const int row = m_users->selectedRow();
    if (row < 0) {
        g_prompt->message(QStringLiteral("Please select a Resource first."), IPrompt::Ok, IPrompt::NoIcon, QString());
        return false;
    }
    item = {QStringLiteral("RSV"), KeyToId(m_users->rowKey(row)), m_users->rowText(row)};
    return true;
}

bool PopupCommands::selectedItem(Item &item) const
{
    switch (m_menus.context()) {
    case PopupMenus::TreeContext: {
        const QTreeWidgetItem *node = m_tree->currentItem();
        if (!node)
            return false;
        item = {KeyedTreeWidget::tagOf(node), KeyToId(KeyedTreeWidget::keyOf(node)), node->text(0)};
        return true;
    }
    case PopupMenus::UserContext:
    case PopupMenus::ResourceContext: {
        const int row = m_users->selectedRow();
        const bool resources = m_menus.context() == PopupMenus::ResourceContext;
        item = {resources ? QStringLiteral("RES") : QStringLiteral("USR"), KeyToId(m_users->rowKey(row)),
                m_users->rowText(row)};
        return row >= 0;
    }
    case PopupMenus::ReservationContext: {
        const int row = m_reservations->selectedRow();
        item = {QStringLiteral("RSV"), KeyToId(m_reservations->rowKey(row)), m_reservations->rowText(row)};
        return row >= 0 && m_reservations->isRowSelected(row);
    }
    default: return false;
    }
}

void PopupCommands::add(int index)
{
    Item item;
    if (!addItem(index, item))
        return;
    if (isNode(item.kind) && !(is(item.kind, "RSG") && index == 13)) {
        nodeDialog(item.id, true);
    } else if (is(item.kind, "RSG") || is(item.kind, "RES")) {
        addResource(item.id);
    } else if (is(item.kind, "RSV")) {
        makeBooking(item.id);
    } else if (is(item.kind, "USR")) {
        g_userEditor->EditUserProperties(true, QString(), true, false, false, true);
    }
}

// A new node under the node id, or the node id edited, through the node dialog.
void PopupCommands::nodeDialog(qint32 id, bool newNode)
{
    frmAddGroup dialog(iconPictures ? iconPictures() : QList<IconSelector::Picture>(), m_window);
    if (newNode)
        dialog.newNode(id);
    else
        dialog.populateForm(id);
    runDialog(dialog);
    if (dialog.Cancel)
        return;
    const CTreeNode &node = dialog.oNode;
    if (newNode)
        m_tree->addNode(CTreeNode::treeKeyOf(node.ParentID), node.TreeKey(), node.Name, node.Icon, node.NodeType);
    else
        m_tree->setNode(node.TreeKey(), node.Name, node.Icon, node.NodeType);
    m_tree->scrollToItem(m_tree->node(node.TreeKey()));
    if (refreshCurrentView)
        refreshCurrentView();
}

// A node that still holds nodes or resources stays; the user is told why.
void PopupCommands::deleteNode(const Item &item)
{
    if (!CTreeNode::deleteNode(item.id, item.text))
        return;
    const QString key = CTreeNode::treeKeyOf(item.id);
    m_tree->removeNode(key);
    informDeleted(QStringLiteral("Tree node ") + item.text + QStringLiteral(" has been deleted"));
    // The view of a node that is gone gives way to the node selected now.
    if (key.compare(g_sCurrentNodeKey, Qt::CaseInsensitive) == 0 && g_frmMain)
        g_frmMain->treeViewClick(m_tree->selectedKey(), true);
}

void PopupCommands::addResource(qint32 groupId)
{
    frmResource dialog(m_window, largePicture);
    dialog.newResource(groupId);
    runDialog(dialog);
    if (!dialog.Cancel && refreshCurrentView)
        refreshCurrentView();
}

void PopupCommands::makeBooking(qint32 resourceId)
{
    frmReservation dialog(m_window);
    dialog.newReservation(resourceId, g_oCurrentUser.UserID, g_oCurrentUser.RealName);
    runDialog(dialog);
    if (dialog.Cancel)
        return;
    if (userListItemClick)
        userListItemClick(m_users->selectedRow());
    if (refreshCurrentView)
        refreshCurrentView();
}

void PopupCommands::edit()
{
    Item item;
    if (!selectedItem(item))
        return;
    bool saved = false;
    if (isNode(item.kind)) {
        nodeDialog(item.id, false);
    } else if (is(item.kind, "USR")) {
        g_userEditor->EditUserProperties(false, QString(), false, false, false, false);
    } else if (is(item.kind, "RSV")) {
        frmReservation dialog(m_window);
        dialog.populateForm(item.id);
        runDialog(dialog);
        saved = !dialog.Cancel;
    } else if (is(item.kind, "RES")) {
        frmResource dialog(m_window, largePicture);
        dialog.populateForm(item.id);
        runDialog(dialog);
        saved = !dialog.Cancel;
    }
    if (saved && refreshCurrentView)
        refreshCurrentView();
}

void PopupCommands::remove()
{
    Item item;
    if (!selectedItem(item))
        return;
    if (g_prompt->message(QStringLiteral("Are you sure you want to delete ") + item.text, IPrompt::YesNo,
                          IPrompt::Question, QStringLiteral("Delete"))
        != IPrompt::AnswerYes)
        return;
    deleteItem(item);
}

void PopupCommands::deleteItem(const Item &item)
{
    if (isNode(item.kind)) {
        deleteNode(item);
    } else if (is(item.kind, "USR")) {
        CUser::Delete(item.id);
        if (g_oClientHnd)
            g_oClientHnd->userList().model().removeUser(item.id);
        informDeleted(item.text + QStringLiteral(" has been deleted"));
    } else if (is(item.kind, "RSV")) {
        CReservation().Delete(item.id);
        if (QAbstractItemModel *bookings = m_reservations->model())
            bookings->removeRow(m_reservations->selectedRow());
        informDeleted(QStringLiteral("Reservation has been deleted"));
        if (refreshCurrentView)
            refreshCurrentView();
    } else if (is(item.kind, "RES")) {
        CResource().Delete(item.id);
        // Its bookings went with it.
        if (QAbstractItemModel *bookings = m_reservations->model())
            bookings->removeRows(0, bookings->rowCount());
        if (QAbstractItemModel *resources = m_users->model())
            resources->removeRow(m_users->rowOfKey(QStringLiteral("RES") + QString::number(item.id)));
        informDeleted(QStringLiteral("Resource ") + item.text + QStringLiteral(" has been deleted"));
    }
}

void PopupCommands::informDeleted(const QString &text)
{
    g_prompt->message(text, IPrompt::Ok, IPrompt::Information, QStringLiteral("Deleted"));
}

void PopupCommands::checkIn()
{
    if (m_menus.context() != PopupMenus::ReservationContext)
        return;
    const int row = m_reservations->selectedRow();
    if (row < 0 || !m_reservations->isRowSelected(row))
        return;
    CReservation booking;
    booking.iID = KeyToId(m_reservations->rowKey(row));
    if (booking.CheckIn())
        g_prompt->message(QStringLiteral("Resource Checked In"), IPrompt::Ok, IPrompt::Information,
                          QStringLiteral("Check In Complete"));
    else
        g_prompt->message(QStringLiteral("The booking ") + m_reservations->rowText(row)
                              + QStringLiteral(" no longer exists: someone has deleted it."),
                          IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Check In"));
    if (userListItemClick)
        userListItemClick(m_users->selectedRow());
    if (refreshCurrentView)
        refreshCurrentView();
}

void PopupCommands::mnuPopupSubSub_Click(int index)
{
    reporting("mnuPopupSubSub_Click", [&] {
        const int row = m_users->selectedRow();
        const QString key = m_users->rowKey(row);
        if (!key.startsWith(QLatin1String("RES"), Qt::CaseInsensitive)) {
            g_prompt->message(QStringLiteral("Please select a Resource to view its reservation history"), IPrompt::Ok,
                              IPrompt::Exclamation, QStringLiteral("Resource History"));
            return;
        }
        if (index >= 0 && index < int(std::size(kHistoryDays)))
            g_resourceLists->refreshReservationDetails(m_users->rowText(row), key, kHistoryDays[index]);
    });
}
