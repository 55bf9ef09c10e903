#include "MenuCaptions.h"

#include "foundation/BuiltInStatus.h"

const QList<MenuCaptions::Caption> &MenuCaptions::captions()
{
    static const QList<Caption> all = {
        {QStringLiteral("mnuFile"), 101, 0},
        {QStringLiteral("mnuFileClose"), 332, 0},
        {QStringLiteral("mnuFileExit"), 108, 0},
        {QStringLiteral("mnuHelp"), 106, 0},
        {QStringLiteral("mnuHelpSub(0)"), 137, 0},
        {QStringLiteral("mnuHelpSub(3)"), 330, 0},
        {QStringLiteral("mnuHelpSub(5)"), 138, 0},
        {QStringLiteral("mnuTimeSheet"), 127, 0},
        {QStringLiteral("mnuTimeSheetReport"), 307, 0},
        {QStringLiteral("mnuView"), 103, 0},
        {QStringLiteral("mnuViewSub(0)"), 113, 114},
        {QStringLiteral("mnuViewSub(4)"), 119, 118},
        {QStringLiteral("mnuViewSub(6)"), 120, 0},
        {QStringLiteral("mnuViewSub(8)"), 121, 0},
        {QStringLiteral("mnuViewSub(9)"), 122, 0},
        {QStringLiteral("mnuViewSub(10)"), 124, 0},
        {QStringLiteral("mnuViewSub(11)"), 123, 0},
        {QStringLiteral("mnuViewSub(13)"), 125, 0},
        {QStringLiteral("mnuPopup"), 104, 0},
        {QStringLiteral("mnuPopupSubMail(0)"), 115, 0},
        {QStringLiteral("mnuPopupSubMail(1)"), 116, 0},
        {QStringLiteral("mnuPopupSubMail(2)"), 117, 0},
        {QStringLiteral("mnuPopupAdmin"), 328, 0},
        {QStringLiteral("mnuAdminUserOptions"), 126, 0},
        {QStringLiteral("mnuPopupAdminSub(1)"), 105, 0},
        {QStringLiteral("mnuAdminOptions"), 135, 0},
        {QStringLiteral("mnuAdminAddUser"), 129, 0},
        {QStringLiteral("mnuAdminAddResource"), 333, 0},
        {QStringLiteral("mnuAdminCustomStatus"), 325, 0},
        {QStringLiteral("mnuPopupSub(1)"), 110, 0},
        {QStringLiteral("mnuPopupSub(3)"), 111, 0},
        {QStringLiteral("mnuPopupSub(4)"), 112, 0},
        {QStringLiteral("mnuPopupSub(6)"), 128, 0},
        {QStringLiteral("mnuPopupSub(7)"), 326, 0},
        {QStringLiteral("mnuReports"), 329, 0},
    };
    return all;
}

const QList<MenuCaptions::ToolTip> &MenuCaptions::toolTips()
{
    static const QList<ToolTip> all = [] {
        QList<ToolTip> tips;
        for (const BuiltInStatus::Row *status : BuiltInStatus::buttons())
            tips.append({status->code, status->captionId});
        tips += QList<ToolTip>{
            {QStringLiteral("MOB"), 246}, {QStringLiteral("JRN"), 112}, {QStringLiteral("PHR"), 276},
            {QStringLiteral("TRY"), 332}, {QStringLiteral("HLP"), 106},
        };
        return tips;
    }();
    return all;
}
