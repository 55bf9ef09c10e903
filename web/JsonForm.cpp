#include "JsonForm.h"

#include "CResource.h"
#include "CStatus.h"
#include "CTreeNode.h"
#include "CUser.h"

namespace QelWeb {

QJsonValue toJson(const CUser &user)
{
    return QJsonObject{{QStringLiteral("ID"), user.ID},           {QStringLiteral("Name"), user.Name},
                       {QStringLiteral("Email"), user.Email},     {QStringLiteral("Status"), user.Status},
                       {QStringLiteral("DueBack"), user.DueBack}, {QStringLiteral("OutAt"), user.OutAt},
                       {QStringLiteral("Note"), user.Note}};
}

QJsonValue toJson(const CReservation &reservation)
{
    return QJsonObject{{QStringLiteral("Key"), reservation.Key()},
                       {QStringLiteral("ID"), reservation.ID},
                       {QStringLiteral("ResourceID"), reservation.ResourceID},
                       {QStringLiteral("UserID"), reservation.UserID},
                       {QStringLiteral("BookedOutTo"), reservation.BookedOutTo},
                       {QStringLiteral("ReservedFrom"), reservation.ReservedFrom},
                       {QStringLiteral("ReservedUntil"), reservation.ReservedUntil},
                       {QStringLiteral("Note"), reservation.Note},
                       {QStringLiteral("UserName"), reservation.UserName},
                       {QStringLiteral("Status"), reservation.Status()}};
}

QJsonValue toJson(const CResource &resource)
{
    return QJsonObject{{QStringLiteral("Key"), resource.Key()},
                       {QStringLiteral("ID"), resource.ID},
                       {QStringLiteral("Name"), resource.Name},
                       {QStringLiteral("code"), resource.code},
                       {QStringLiteral("Location"), resource.Location},
                       {QStringLiteral("GroupID"), resource.GroupID},
                       {QStringLiteral("Rate"), resource.Rate},
                       {QStringLiteral("RateType"), resource.RateType},
                       {QStringLiteral("oCurrentReservation"), toJson(resource.oCurrentReservation)}};
}

QJsonValue toJson(const CStatus &status)
{
    return QJsonObject{{QStringLiteral("Key"), status.Key()},
                       {QStringLiteral("Status"), status.Status},
                       {QStringLiteral("StatusCode"), status.StatusCode},
                       {QStringLiteral("CustomType"), status.CustomType},
                       {QStringLiteral("Icon"), status.Icon}};
}

QJsonValue toJson(const CTreeNode &node)
{
    return QJsonObject{{QStringLiteral("Key"), node.Key()},
                       {QStringLiteral("ParentKey"), node.ParentKey()},
                       {QStringLiteral("ID"), node.ID},
                       {QStringLiteral("Name"), node.Name},
                       {QStringLiteral("ParentID"), node.ParentID},
                       {QStringLiteral("Icon"), node.Icon},
                       {QStringLiteral("URL"), node.URL},
                       {QStringLiteral("NodeType"), node.NodeType},
                       {QStringLiteral("hasChildren"), node.hasChildren()},
                       {QStringLiteral("Children"), toJson(node.Children)}};
}

} // namespace QelWeb
