#include "PopupMenuRules.h"

#include "foundation/MCIFunctions.h"

namespace {

bool is(const QString &kind, const char *tag)
{
    return kind.compare(QLatin1String(tag), Qt::CaseInsensitive) == 0;
}

void show(PopupMenuRules::Entries &e, std::initializer_list<int> entries, bool visible)
{
    for (int i : entries)
        e.visible[i] = visible;
}

} // namespace

PopupMenuRules::Entries PopupMenuRules::forTree(const Tree &s)
{
    Entries e;
    const QString kind = s.hasNode ? s.kind : QString();
    const bool nodeAdmin = s.hasNode && s.admin && s.nodeId >= 1;
    const bool group = is(kind, "GRP");
    const bool resourceGroup = is(kind, "RSG");
    // A resource group alone offers nothing to a user who may not change it.
    e.any = group || nodeAdmin;
    if (!e.any)
        return e;
    e.visible[1] = group;
    show(e, {9, 10, 11}, nodeAdmin);
    show(e, {12, 13}, resourceGroup);
    if (resourceGroup)
        e.caption[13] = QStringLiteral("Add Resource to ") + s.text;
    if (nodeAdmin) {
        e.caption[9] = QStringLiteral("Add Node Under ") + s.text;
        e.caption[10] = QStringLiteral("Edit Node ") + s.text;
        e.caption[11] = QStringLiteral("Delete Node ") + s.text;
    }
    if (group) {
        e.mailVisible[0] = true;
        e.mailCaption[0] = GetResString(116) + u' ' + s.text;
    }
    return e;
}

PopupMenuRules::Entries PopupMenuRules::forList(const List &s)
{
    Entries e;
    bool admin = s.admin;
    bool adminOnRow = false;
    bool resourceRow = false;
    if (is(s.kind, "CTL") || is(s.kind, "NTF") || is(s.kind, "SRH")) {
        admin = false;
    } else if (s.hasSelectedRow) {
        adminOnRow = admin;
        resourceRow = is(s.kind, "RSG");
    }
    const bool people = is(s.kind, "GRP") || is(s.kind, "SRH");
    const bool contacts = is(s.kind, "CTL");
    const bool canChange = people && (s.isMe || s.canChangeStatus);
    const bool mail = people || contacts;
    const bool single = people && s.selectedCount < 2;
    const bool notify = people;
    e.any = mail || single || canChange || admin || adminOnRow || notify || resourceRow;
    if (!e.any)
        return e;
    e.visible[1] = mail;
    // Contacts are no colleagues: nobody on the network reads their messages.
    e.visible[2] = mail && !s.isMe && !contacts;
    show(e, {3, 4}, single);
    e.visible[5] = (canChange || notify) && (mail || single);
    e.visible[6] = canChange;
    e.visible[7] = notify;
    e.visible[8] = (canChange || notify) && (admin || adminOnRow);
    e.visible[9] = admin;
    show(e, {10, 11}, adminOnRow);
    show(e, {12, 13}, resourceRow);
    const QString dash = QStringLiteral(" - ") + s.itemText;
    if (is(s.kind, "GRP")) {
        e.caption[9] = GetResString(129);
        if (adminOnRow) {
            e.caption[10] = GetResString(131) + dash;
            e.caption[11] = GetResString(130) + dash;
        }
    } else if (is(s.kind, "RSG")) {
        e.caption[9] = GetResString(333);
        if (!s.itemText.isEmpty()) {
            e.visible[15] = true;
            e.caption[15] = QStringLiteral("Show Booking History") + dash;
            if (resourceRow)
                e.caption[13] = QStringLiteral("Make Booking") + dash;
        }
        if (adminOnRow) {
            e.caption[10] = QStringLiteral("Edit Resource") + dash;
            e.caption[11] = QStringLiteral("Delete Resource") + dash;
        }
    }
    if (mail) {
        e.mailVisible = {false, true, true};
        e.mailCaption[1] = GetResString(116) + u' ' + s.itemText;
        e.mailCaption[2] = GetResString(117) + u' ' + s.itemText;
    }
    if (notify)
        e.caption[7] = QStringLiteral("Notify Me When ") + s.itemText + QStringLiteral(" changes status to In");
    return e;
}

PopupMenuRules::Entries PopupMenuRules::forReservations(const Reservations &s)
{
    Entries e;
    const bool canEdit = s.hasRow && (s.bookingUserId == s.myUserId || s.admin);
    e.any = s.hasResources || canEdit;
    if (!e.any)
        return e;
    e.visible[9] = s.hasResources;
    show(e, {10, 11}, canEdit);
    e.visible[14] = s.hasRow && !s.grey;
    if (s.hasResources)
        e.caption[9] = QStringLiteral("Make Booking for ") + s.resourceText;
    if (canEdit) {
        e.caption[10] = QStringLiteral("Edit Booking ") + s.note;
        e.caption[11] = QStringLiteral("Delete Booking ") + s.note;
    }
    if (e.visible[14])
        e.caption[14] = QStringLiteral("Check In Booking ") + s.note;
    return e;
}

PopupMenuRules::DoubleClick PopupMenuRules::onDoubleClick(const QString &viewType, bool hasRow, int option,
                                                          bool canChangeStatus)
{
    if (!is(viewType, "GRP") || !hasRow)
        return DoubleClick::Nothing;
    switch (option) {
    case 0: return canChangeStatus ? DoubleClick::ChangeStatus : DoubleClick::Nothing;
    case 1: return DoubleClick::Email;
    default: return DoubleClick::PhoneMessage;
    }
}

QList<CEntity> PopupMenuRules::changeable(const QList<CEntity> &people, qint32 myUserId, bool canChangeStatus)
{
    QList<CEntity> kept;
    for (const CEntity &person : people)
        if (canChangeStatus || person.ID == myUserId)
            kept.append(person);
    return kept;
}

QString PopupMenuRules::leftOutMessage(int leftOut)
{
    if (leftOut <= 0)
        return QString();
    return QStringLiteral("%1 of the selected people were not changed: you may only change your own status.")
        .arg(leftOut);
}
