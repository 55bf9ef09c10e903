#include "ClassCatalog.h"

#include "CAuthentication.h"
#include "CDebug.h"
#include "CField.h"
#include "CGroupList.h"
#include "CReservationList.h"
#include "CResourceList.h"
#include "CStatusChange.h"
#include "CStatusList.h"
#include "CUserList.h"
#include "WebObject.h"

#include <functional>

namespace QelWeb {

namespace {

using V = QJsonValue;

// The members pages reach, per class: methods with their argument counts,
// properties with 0 (read) to 1 (set) arguments.

const QList<Member<CUserList>> kUserList = {
    {"LoadUserList", 1, 1, [](CUserList &o, Args &a) { return toJson(o.LoadUserList(a.int32(0))); }},
};

const QList<Member<CUser>> kUser = {
    {"ID", 0, 1, [](CUser &o, Args &a) { return a.property(o.ID); }},
    {"Name", 0, 1, [](CUser &o, Args &a) { return a.property(o.Name); }},
    {"Email", 0, 1, [](CUser &o, Args &a) { return a.property(o.Email); }},
    {"Status", 0, 1, [](CUser &o, Args &a) { return a.property(o.Status); }},
    {"DueBack", 0, 1, [](CUser &o, Args &a) { return a.property(o.DueBack); }},
    {"OutAt", 0, 1, [](CUser &o, Args &a) { return a.property(o.OutAt); }},
    {"Note", 0, 1, [](CUser &o, Args &a) { return a.property(o.Note); }},
};

const QList<Member<CAuthentication>> kAuthentication = {
    {"checkuser", 1, 1, [](CAuthentication &o, Args &a) { return toJson(o.checkuser(a.text(0))); }},
};

const QList<Member<CGroupList>> kGroupList = {
    {"LoadGroupList", 0, 0, [](CGroupList &o, Args &) { return toJson(o.LoadGroupList()); }},
};

const QList<Member<CTreeNode>> kTreeNode = {
    {"ID", 0, 1, [](CTreeNode &o, Args &a) { return a.property(o.ID); }},
    {"Name", 0, 1, [](CTreeNode &o, Args &a) { return a.property(o.Name); }},
    {"ParentID", 0, 1, [](CTreeNode &o, Args &a) { return a.property(o.ParentID); }},
    {"Icon", 0, 1, [](CTreeNode &o, Args &a) { return a.property(o.Icon); }},
    {"URL", 0, 1, [](CTreeNode &o, Args &a) { return a.property(o.URL); }},
    {"NodeType", 0, 1, [](CTreeNode &o, Args &a) { return a.property(o.NodeType); }},
    {"Key", 0, 0, [](CTreeNode &o, Args &a) { return a.readOnly(o.Key()); }},
    {"ParentKey", 0, 0, [](CTreeNode &o, Args &a) { return a.readOnly(o.ParentKey()); }},
    {"hasChildren", 0, 0, [](CTreeNode &o, Args &a) { return a.readOnly(o.hasChildren()); }},
    {"addChild", 1, 1, [](CTreeNode &o, Args &a) { o.addChild(objectArgument<CTreeNode>(a, 0)); return V(); }},
    // Set with an array of nodes' handles.
    {"Children", 0, 1, [](CTreeNode &o, Args &a) {
         if (a.size() == 0)
             return toJson(o.Children);
         CTreeNode holder;
         const QJsonArray handles = a.array(0);
         for (int i = 0; i < handles.size(); ++i)
             holder.addChild(objectArgument<CTreeNode>(Args(handles, a.self()), i));
         o.Children = holder.Children;
         return V();
     }},
};

const QList<Member<CResourceList>> kResourceList = {
    {"LoadResourceList", 1, 1, [](CResourceList &o, Args &a) { return toJson(o.LoadResourceList(a.text(0))); }},
};

const QList<Member<CResource>> kResource = {
    {"ID", 0, 1, [](CResource &o, Args &a) { return a.property(o.ID); }},
    {"Name", 0, 1, [](CResource &o, Args &a) { return a.property(o.Name); }},
    {"code", 0, 1, [](CResource &o, Args &a) { return a.property(o.code); }},
    {"Location", 0, 1, [](CResource &o, Args &a) { return a.property(o.Location); }},
    {"GroupID", 0, 1, [](CResource &o, Args &a) { return a.property(o.GroupID); }},
    {"Rate", 0, 1, [](CResource &o, Args &a) { return a.property(o.Rate); }},
    {"RateType", 0, 1, [](CResource &o, Args &a) { return a.property(o.RateType); }},
    {"Key", 0, 0, [](CResource &o, Args &a) { return a.readOnly(o.Key()); }},
    // Set with a reservation's handle.
    {"oCurrentReservation", 0, 1, [](CResource &o, Args &a) {
         if (a.size() == 0)
             return toJson(o.oCurrentReservation);
         o.oCurrentReservation = objectArgument<CReservation>(a, 0);
         return V();
     }},
};

const QList<Member<CReservationList>> kReservationList = {
    {"LoadReservationList", 1, 1,
     [](CReservationList &o, Args &a) { return toJson(o.LoadReservationList(a.text(0))); }},
};

const QList<Member<CReservation>> kReservation = {
    {"ID", 0, 1, [](CReservation &o, Args &a) { return a.property(o.ID); }},
    {"ResourceID", 0, 1, [](CReservation &o, Args &a) { return a.property(o.ResourceID); }},
    {"UserID", 0, 1, [](CReservation &o, Args &a) { return a.property(o.UserID); }},
    {"BookedOutTo", 0, 1, [](CReservation &o, Args &a) { return a.property(o.BookedOutTo); }},
    {"ReservedFrom", 0, 1, [](CReservation &o, Args &a) { return a.property(o.ReservedFrom); }},
    {"ReservedUntil", 0, 1, [](CReservation &o, Args &a) { return a.property(o.ReservedUntil); }},
    {"Note", 0, 1, [](CReservation &o, Args &a) { return a.property(o.Note); }},
    {"UserName", 0, 1, [](CReservation &o, Args &a) { return a.property(o.UserName); }},
    {"Status", 0, 0, [](CReservation &o, Args &a) { return a.readOnly(o.Status()); }},
    {"Key", 0, 0, [](CReservation &o, Args &a) { return a.readOnly(o.Key()); }},
    {"getConflicts", 3, 3,
     [](CReservation &o, Args &a) { return toJson(o.getConflicts(a.int32(0), a.number(1), a.number(2))); }},
    {"BookResource", 6, 6, [](CReservation &o, Args &a) {
         o.BookResource(a.int32(0), a.int32(1), a.text(2), a.number(3), a.number(4), a.text(5));
         return V();
     }},
    {"Delete", 0, 1, [](CReservation &o, Args &a) { o.Delete(a.size() ? a.int32(0) : -1); return V(); }},
    {"Read", 1, 1, [](CReservation &o, Args &a) { o.Read(a.int32(0)); return V(); }},
};

const QList<Member<CStatusList>> kStatusList = {
    {"LoadCustomStatus", 0, 0, [](CStatusList &o, Args &) { return toJson(o.LoadCustomStatus()); }},
};

const QList<Member<CStatus>> kStatus = {
    {"Status", 0, 1, [](CStatus &o, Args &a) { return a.property(o.Status); }},
    {"StatusCode", 0, 1, [](CStatus &o, Args &a) { return a.property(o.StatusCode); }},
    {"CustomType", 0, 1, [](CStatus &o, Args &a) { return a.property(o.CustomType); }},
    {"Icon", 0, 1, [](CStatus &o, Args &a) { return a.property(o.Icon); }},
    {"Key", 0, 0, [](CStatus &o, Args &a) { return a.readOnly(o.Key()); }},
};

const QList<Member<CStatusChange>> kStatusChange = {
    {"ChangeStatus", 5, 5, [](CStatusChange &o, Args &a) {
         o.ChangeStatus(a.int32(0), a.text(1), a.number(2), a.number(3), a.text(4));
         return V();
     }},
    {"getLastUpdatedValue", 0, 0, [](CStatusChange &o, Args &) { return toJson(o.getLastUpdatedValue()); }},
};

const QList<Member<CField>> kField = {
    {"value", 0, 1, [](CField &o, Args &a) { return a.property(o.value); }},
    {"Key", 0, 1, [](CField &o, Args &a) { return a.property(o.Key); }},
};

const QList<Member<CDebug>> kDebug = {
    {"GetVersion", 0, 0, [](CDebug &o, Args &) { return toJson(o.GetVersion()); }},
    {"GetDSN", 0, 0, [](CDebug &o, Args &) { return toJson(o.GetDSN()); }},
    {"GetDBType", 0, 0, [](CDebug &o, Args &) { return toJson(o.GetDBType()); }},
};

template <typename T>
std::function<std::shared_ptr<WebObject>()> maker(const char *name, const QList<Member<T>> &members)
{
    return [name, &members] { return std::make_shared<WebObjectOf<T>>(QLatin1String(name), members); };
}

struct ClassEntry
{
    const char *name;
    std::function<std::shared_ptr<WebObject>()> make;
};

const QList<ClassEntry> &classes()
{
    static const QList<ClassEntry> list = {
        {"CUserList", maker("CUserList", kUserList)},
        {"CUser", maker("CUser", kUser)},
        {"CAuthentication", maker("CAuthentication", kAuthentication)},
        {"CGroupList", maker("CGroupList", kGroupList)},
        {"CTreeNode", maker("CTreeNode", kTreeNode)},
        {"CResourceList", maker("CResourceList", kResourceList)},
        {"CResource", maker("CResource", kResource)},
        {"CReservationList", maker("CReservationList", kReservationList)},
        {"CReservation", maker("CReservation", kReservation)},
        {"CStatusList", maker("CStatusList", kStatusList)},
        {"CStatus", maker("CStatus", kStatus)},
        {"CStatusChange", maker("CStatusChange", kStatusChange)},
        {"CField", maker("CField", kField)},
        {"CDebug", maker("CDebug", kDebug)},
    };
    return list;
}

} // namespace

std::shared_ptr<WebObject> CreateWebObject(const QString &progId)
{
    const QString prefix = QStringLiteral("QelWeb.");
    if (!progId.startsWith(prefix, Qt::CaseInsensitive))
        return nullptr;
    const QString name = progId.mid(prefix.size());
    for (const ClassEntry &entry : classes())
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.make();
    return nullptr;
}

} // namespace QelWeb
