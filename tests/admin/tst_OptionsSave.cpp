#include "OptionsFakes.h"
#include "admin/CClientAdmin.h"
#include "admin/COptionsSaver.h"
#include "admin/OptionsRegistry.h"
#include "foundation/CTreeNode.h"
#include "platform/AppError.h"
#include "platform/Registry.h"

#include <QtTest>

namespace {

const QString kStoredApostrophe = QString(QChar(8));

// A save request holding the user's record as it is stored.
COptionsSaver::Request requestFor(qint32 userID)
{
    COptionsSaver::Request request;
    request.values.takeRecord(readUser(userID, &request.quickNotes));
    request.userID = userID;
    return request;
}

QString setting(const char *name)
{
    return GetRegistryValue(QLatin1String(name), OptionsRegistry::settingsKey());
}

} // namespace

class tst_OptionsSave : public QObject
{
    Q_OBJECT
private slots:
    void apostrophesRoundTrip_data() { addEngineRows(); }
    void apostrophesRoundTrip()
    {
        OPEN_OPTIONS_WORLD(world);
        COptionsSaver::Request request = requestFor(OptionsWorld::kOther);
        request.values.RealName = "Seán O'Brien";
        request.values.MobilePh = "07'700 900";
        request.values.PhExtension = "ext '12";
        request.values.LunchText = " 50 ";
        request.values.OnClose = OptionsValues::NoChoice;
        COptionsSaver().saveOptions(request);

        const UserRecord user = readUser(OptionsWorld::kOther);
        QCOMPARE(QStringList({user.RealName, user.MobilePh, user.PhExtension}),
                 QStringList({"Seán O'Brien", "07'700 900", "ext '12"}));
        QCOMPARE(user.LunchTimePeriod, qint16(50));
        QCOMPARE(user.OnClose, quint8(0)); // none chosen
        QCOMPARE(world.db.value("SELECT MobilePh FROM STAFF_STATUS WHERE UserID = 2").toString(),
                 "07" + kStoredApostrophe + "700 900");
        // The phone columns took a new change counter.
        QCOMPARE(world.db.value("SELECT LastUpdated FROM STAFF_STATUS WHERE UserID = 2").toInt(), 3);
    }

    void groupChangesStoreOneRowEach_data() { addEngineRows(); }
    void groupChangesStoreOneRowEach()
    {
        OPEN_OPTIONS_WORLD(world);
        // Meanwhile someone else put him in Support already.
        world.db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (2, 40)");
        COptionsSaver::Request request = requestFor(OptionsWorld::kOther);
        request.groupChanges = {{40, "ADD"}, {30, "DEL"}, {50, ""}};
        COptionsSaver().saveOptions(request);
        QCOMPARE(world.groupRows(OptionsWorld::kOther), (QList<int>{40}));
    }

    void newUserGetsOptionsNotesAndGroups_data() { addEngineRows(); }
    void newUserGetsOptionsNotesAndGroups()
    {
        OPEN_OPTIONS_WORLD(world);
        COptionsSaver::Request request;
        request.isNewUser = true;
        request.values.RealName = "New Person";
        request.values.LoginName = " newbie ";
        request.values.Admin = true;
        request.values.RefreshPeriod = 45;
        request.quickNotes.rows[3].note = "Lunch [+1]";
        request.groupChanges = {{30, "ADD"}, {40, "ADD"}};
        const qint32 id = COptionsSaver().saveOptions(request);
        QVERIFY(id > OptionsWorld::kOther);

        QuickNoteTable notes;
        const UserRecord user = readUser(id, &notes);
        QCOMPARE(user.LoginName + QString::number(user.RefreshPeriod), QStringLiteral("NEWBIE45"));
        QVERIFY(user.Admin);
        QCOMPARE(notes.rows[3].note, QStringLiteral("Lunch [+1]"));
        QCOMPARE(world.db.value("SELECT COUNT(*) FROM QUICKNOTES WHERE UserID = ?", {id}).toInt(), 1);
        QCOMPARE(world.groupRows(id), (QList<int>{30, 40}));
        // Adding a user touches none of the signed-in user's state.
        QCOMPARE(world.tray->pollThreshold, -1);
        QCOMPARE(setting("IconSize"), Registry::missingText());
        QVERIFY(world.main->calls.contains(QStringLiteral("tree")));
    }

    void ownOptionsReachTheRunningProgram_data() { addEngineRows(); }
    void ownOptionsReachTheRunningProgram()
    {
        OPEN_OPTIONS_WORLD(world);
        world.db.exec("UPDATE STAFF_OPTIONS SET Outlook = 0 WHERE UserID = 1");
        g_fOutlook = g_fOutlookOOP = true;
        auto watcher = std::make_unique<RecordingWatcher>();
        RecordingWatcher *watching = watcher.get();
        g_oClientHnd->m_OutLookClient = std::move(watcher);
        g_vUserList = {CUser(), CUser()};
        g_lMyRowIndex = 1;
        g_fMyRowLoaded = true;

        COptionsSaver::Request request = requestFor(OptionsWorld::kMe);
        request.values.RealName = "Me Renamed";
        request.values.RefreshPeriod = 60;
        request.values.Language = "FRA";
        request.values.Admin = false;
        request.values.OnListDblClick = 2;
        request.values.LargeIcons = true;
        request.values.ShowColumn[3] = false;
        request.values.CalendarStatus[1] = "DND";
        request.quickNotes.rows[2].note = "Out and about";
        COptionsSaver().saveOptions(request);

        QCOMPARE(world.tray->pollThreshold, 60); // no bounds applied here
        QCOMPARE(g_lLanguageOffset, 1000);
        QCOMPARE(g_oUserProperties.Language + QString::number(g_oUserProperties.LunchTimePeriod), QStringLiteral("FRA45"));
        QCOMPARE(QStringList({g_oCurrentUser.RealName, g_vUserList[1].RealName, g_vQuickNotes.rows[2].note}),
                 QStringList({"Me Renamed", "Me Renamed", "Out and about"}));
        QCOMPARE(g_bOnListDblClick, quint8(2));
        QVERIFY(!g_oCurrentUser.Admin && !g_fOutlook && g_fRefreshNeeded);
        QCOMPARE(watching->closedDown, 1);
        QCOMPARE(QStringList({setting("IconSize"), setting("HIDE_COL_OUT"), setting("HIDE_COL_MOBILE"),
                              setting("OutlookBusy"), setting("TreeByStatus")}),
                 QStringList({"32", "True", "False", "DND", "True"}));
        for (const char *call : {"menu strings", "admin menu 0", "icons 32", "tree"})
            QVERIFY2(world.main->calls.contains(QLatin1String(call)), call);
        QCOMPARE(readUser(OptionsWorld::kMe).Language, QStringLiteral("FRA"));
    }

    void calendarLinkFollowsTheSystemSwitch()
    {
        OptionsWorld world(false, "options_calendar");
        COptionsSaver::Request request = requestFor(OptionsWorld::kMe);
        request.calendarAllowed = true;
        COptionsSaver().saveOptions(request);
        QVERIFY(g_fOutlook);
        QCOMPARE(world.db.env.prompt.asked.size(), 1);
        QCOMPARE(world.db.env.prompt.asked[0].title, QStringLiteral("Calendar Enabled"));
    }

    void failedSaveChangesNothing_data() { addEngineRows(); }
    void failedSaveChangesNothing()
    {
        OPEN_OPTIONS_WORLD(world);
        world.db.exec("DROP TABLE UserGroup");
        COptionsSaver::Request request = requestFor(OptionsWorld::kMe);
        request.values.MobilePh = "0999";
        request.values.RefreshPeriod = 50;
        request.quickNotes.rows[1].note = "In";
        request.groupChanges = {{30, "ADD"}};
        QVERIFY_THROWS_EXCEPTION(AppError, COptionsSaver().saveOptions(request));
        QCOMPARE(readUser(OptionsWorld::kMe).MobilePh, QStringLiteral("0700"));
        QCOMPARE(world.db.value("SELECT COUNT(*) FROM QUICKNOTES").toInt(), 0);
        QCOMPARE(world.tray->pollThreshold, -1);
        QVERIFY(world.main->calls.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_OptionsSave)
#include "tst_OptionsSave.moc"
