#pragma once

#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SettingsKeys.h"
#include "web/MWebGlobalData.h"

// A database made by the program, and the web component's settings pointed
// at it: the default data source on SQLite, the server's connection string on
// PostgreSQL.
class WebWorld
{
public:
    WebWorld(bool postgres, const QString &name) : db(postgres, name)
    {
        pinNewDay(QTime(9, 0));
        useProgramDatabase(postgres);
    }
    static void useProgramDatabase(bool postgres)
    {
        if (postgres)
            SettingsKeys::WebConnection.write(*SettingsKeys::DatabaseConnection.stored());
    }
    ~WebWorld() { Clock::unpin(); }

    // Each world lives on a day of its own, later than the last world's, so
    // each thread reads the new settings (its cache holds them 120 seconds).
    static void pinNewDay(QTime time)
    {
        static int day = 0;
        Clock::pin(QDateTime(QDate(2031, 1, 6).addDays(2 * ++day), time));
    }
    static double today(QTime time) { return DateUtil::toDays(Clock::now().date(), time); }

    // A user added as the program adds him, in the group when it is not 0.
    qint32 addUser(const QString &name, const QString &login, qint32 group = 3)
    {
        UserRecord user;
        user.RealName = name;
        user.LoginName = login;
        CClientAdmin().AddUser(user);
        if (group)
            db.exec(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)"), {user.UserID, group});
        return user.UserID;
    }
    void addResource(qint32 id, const QString &name, qint32 group = 6)
    {
        db.exec(QStringLiteral("INSERT INTO Resource (ID, Name, Code, GroupID) VALUES (?, ?, ?, ?)"),
                {id, name, name.left(3).toUpper(), group});
    }
    void addBooking(qint32 id, qint32 resource, QTime from, QTime until, const QString &to, int dayOffset = 0)
    {
        const double day = today(QTime(0, 0)) + dayOffset;
        db.exec(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, Note, ReservedFrom, "
                               "ReservedUntil) VALUES (?, ?, 1, ?, ?, ?, ?)"),
                {id, resource, to, QStringLiteral("<script>x</script>"),
                 HistoryDate(day + DateUtil::fromTime(from)), HistoryDate(day + DateUtil::fromTime(until))});
    }

    TestDatabase db;
};

// In a data-driven test function: a fresh world on the row's engine.
#define OPEN_WEB_WORLD(w, name) \
    FETCH_ENGINE();             \
    WebWorld w(postgres, QStringLiteral(name))
