#include "TestSupport.h"
#include "foundation/MCIFunctions.h"
#include "mainwindow/ListSortProxy.h"
#include "mainwindow/PopupMenuRules.h"
#include "mainwindow/RecentNotes.h"
#include "mainwindow/StatusToolbar.h"
#include "mainwindow/TreeNavigation.h"
#include "mainwindow/UserListClicks.h"
#include "mainwindow/WindowPlacement.h"
#include "platform/DateUtil.h"
#include "platform/SettingsKeys.h"

#include <QStandardItemModel>
#include <QtTest>

namespace {

double at(int day, int hour, int minute)
{
    return DateUtil::toDays(QDate(2004, 8, day), QTime(hour, minute));
}

// The entries shown ("-" for no menu) and, after a bar, the captions set of
// those from 9 on and of the group's e-mail item ("m0=...").
QString shown(const PopupMenuRules::Entries &e)
{
    if (!e.any)
        return QStringLiteral("-");
    QStringList on, captions;
    for (int i = 1; i <= 15; ++i) {
        if (e.visible[i])
            on << QString::number(i);
        if (e.visible[i] && i >= 9 && !e.caption[i].isEmpty())
            captions << QString::number(i) + u'=' + e.caption[i];
    }
    if (e.mailVisible[0])
        captions << QStringLiteral("m0=") + e.mailCaption[0];
    return on.join(u' ') + u'|' + captions.join(u';');
}

} // namespace

class tst_ToolbarAndTreeRules : public QObject
{
    Q_OBJECT

private slots:
    void userListClicks()
    {
        // mode, row left, row top, x, y -> on the status icon
        const struct { int mode, left, top, x, y; bool hit; } clicks[] = {
            {3, 0, 300, 100, 310, true},  {3, 0, 300, 300, 310, false}, {3, 0, 300, 240, 310, false},
            {0, 900, 600, 2000, 900, true}, {0, 900, 600, 950, 1000, false},
            {1, 600, 0, 700, 5, true},     {2, 600, 0, 840, 5, false},
        };
        for (const auto &c : clicks)
            QCOMPARE(UserListClicks::onStatusIcon(c.mode, c.left, c.top, c.x, c.y), c.hit);
        QVERIFY(UserListClicks::mayEditStatus("usr2", true));
        QVERIFY(!UserListClicks::mayEditStatus("USR2", false));
        QVERIFY(!UserListClicks::mayEditStatus("RES4", true)); // a resource is no person
    }

    void popupMenuEntries_data()
    {
        using R = PopupMenuRules;
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("expected");
        const auto tree = [](const char *kind, qint32 id, bool admin) {
            return shown(R::forTree({true, QLatin1String(kind), QStringLiteral("Rooms"), id, admin}));
        };
        // kind, admin, right to change others, row selected, rows selected, own row
        const auto list = [](const char *kind, bool admin, bool right, int rows, bool me) {
            return shown(R::forList({QLatin1String(kind), admin, right, rows > 0, rows, me, QStringLiteral("Bo")}));
        };
        // row, booking's user (I am 1), admin, grey, resources
        const auto bookings = [](bool row, qint32 owner, bool admin, bool grey, bool resources) {
            return shown(R::forReservations({row, "Van", owner, 1, admin, grey, resources, "Car"}));
        };
        QTest::newRow("branch, not admin") << tree("BRH", 4, false) << "-";
        QTest::newRow("resource group, not admin") << tree("RSG", 6, false) << "-";
        QTest::newRow("admin, resource group")
            << tree("rsg", 6, true)
            << "9 10 11 12 13|9=Add Node Under Rooms;10=Edit Node Rooms;11=Delete Node Rooms;13=Add Resource to Rooms";
        QTest::newRow("group") << tree("GRP", 3, false) << "1|m0=Email To Rooms";
        QTest::newRow("own row") << list("GRP", false, false, 1, true) << "1 3 4 5 6 7|";
        QTest::newRow("colleague's row, no right") << list("GRP", false, false, 1, false) << "1 2 3 4 5 7|";
        QTest::newRow("two rows") << list("GRP", false, true, 2, false) << "1 2 5 6 7|";
        QTest::newRow("admin, group row")
            << list("GRP", true, true, 1, false)
            << "1 2 3 4 5 6 7 8 9 10 11|9=Add User;10=User Properties - Bo;11=Delete User - Bo";
        QTest::newRow("admin, search results") << list("SRH", true, true, 1, false) << "1 2 3 4 5 6 7|";
        QTest::newRow("admin, resource row")
            << list("RSG", true, false, 1, false)
            << "9 10 11 12 13 15|9=Add Resource;10=Edit Resource - Bo;11=Delete Resource - Bo;13=Make Booking - Bo;"
               "15=Show Booking History - Bo";
        QTest::newRow("contacts: e-mail only") << list("CTL", true, true, 1, false) << "1|";
        QTest::newRow("another's booking") << bookings(true, 2, false, false, true)
                                           << "9 14|9=Make Booking for Car;14=Check In Booking Van";
        QTest::newRow("another's booking, admin")
            << bookings(true, 2, true, false, true)
            << "9 10 11 14|9=Make Booking for Car;10=Edit Booking Van;11=Delete Booking Van;14=Check In Booking Van";
        QTest::newRow("own grey booking") << bookings(true, 1, false, true, true)
                                          << "9 10 11|9=Make Booking for Car;10=Edit Booking Van;11=Delete Booking Van";
        QTest::newRow("no booking, no resource") << bookings(false, 1, true, false, false) << "-";
    }
    void popupMenuEntries()
    {
        QFETCH(QString, entries);
        QTEST(entries, "expected");
    }

    void doubleClickAndStatusRights()
    {
        using D = PopupMenuRules::DoubleClick;
        // view, row, option, right -> action
        const struct { const char *view; bool row; int option; bool right; D action; } clicks[] = {
            {"GRP", true, 0, true, D::ChangeStatus}, {"grp", true, 0, false, D::Nothing},
            {"GRP", true, 1, false, D::Email},       {"GRP", true, 2, false, D::PhoneMessage},
            {"GRP", false, 1, true, D::Nothing},     {"RSG", true, 2, true, D::Nothing}};
        for (const auto &c : clicks)
            QVERIFY(PopupMenuRules::onDoubleClick(QLatin1String(c.view), c.row, c.option, c.right) == c.action);
    }

    void dueBackFromTheBox()
    {
        // A time whose date was cleared counts for today, then tomorrow once past.
        const std::pair<double, double> rows[] = {{at(2, 8, 0), at(3, 8, 0)}, {at(2, 18, 0), at(2, 18, 0)}, {0, 0},
            {DateUtil::fromTime(QTime(18, 0)), at(2, 18, 0)}, {DateUtil::fromTime(QTime(8, 0)), at(3, 8, 0)}};
        for (const auto &[box, dueBack] : rows)
            QCOMPARE(StatusToolbar::dueBackFrom(box, at(2, 17, 0)), dueBack);
    }

    // The list is stored as its entries, each followed by "#".
    void recentNotes()
    {
        TestEnvironment env;
        QStringList full;
        for (int i = 1; i <= 26; ++i)
            full << QStringLiteral("n%1").arg(i);
        // stored, loaded first, the note saved -> stored then
        const struct { QString stored; bool load; const char *note; QString after; } rows[] = {
            {"A#B#E#", false, "D", "D##"}, // never loaded: the stored list is replaced
            {"A#B#E#", true, "D", "D#A#B#E#"},
            {"A#B#E#", true, "b", "b#A#E##"}, // a repeat moves up, spelled anew
            {full.join(u'#') + u'#', true, "new", "new#" + full.mid(0, 25).join(u'#') + u'#'}, // the oldest dropped
            {"A#B#E#", true, "room #4", "A#B#E#"}};
        for (const auto &r : rows) {
            SettingsKeys::RecentNotes.write(r.stored);
            RecentNotes notes;
            if (r.load)
                notes.load();
            notes.save(QLatin1String(r.note));
            QCOMPARE(SettingsKeys::RecentNotes.read(), r.after);
            QCOMPARE(notes.shown(), r.after.split(u'#', Qt::SkipEmptyParts));
        }
    }

    void viewByNodeKind()
    {
        using A = TreeNavigation::Action;
        QCOMPARE(TreeNavigation::kindOf(QString()), QStringLiteral("TOP"));
        QCOMPARE(TreeNavigation::kindOf(QStringLiteral("rsg")), QStringLiteral("RSG"));
        // node, its kind, forced, the node shown -> what a click does
        const struct { const char *node, *kind; bool forced; const char *shown; A action; } clicks[] = {
            {"nod3", "GRP", false, "NOD3", A::Unchanged},     {"NOD3", "GRP", true, "NOD3", A::OpenGroupView},
            {"NOD5", "RSG", false, "NOD3", A::OpenView},      {"SRH0", "SRH", false, "NOD3", A::OpenView},
            {"NOD9", "CTL", false, "NOD3", A::RecordOnly},    {"NOD0", "TOP", false, "NOD3", A::WelcomePage},
            {"NOD0", "TOP", true, "", A::WelcomePage},        {"NOD0", "TOP", true, "NOD0", A::RefreshPage}};
        for (const auto &c : clicks)
            QVERIFY2(TreeNavigation::actionFor(QLatin1String(c.node), QLatin1String(c.kind), c.forced,
                                               QLatin1String(c.shown)) == c.action, c.node);
    }

    // Screens: the primary 1024x768 under a 30-pixel panel, a second one right of it.
    void storedWindowLandsOnAScreen()
    {
        const QList<std::pair<QRect, QRect>> rows = {
            {QRect(100, 100, 800, 600), QRect(100, 100, 800, 600)},  // fits
            {QRect(50, 50, 1600, 1200), QRect(0, 30, 1024, 738)},    // larger than the screen
            {QRect(-300, -40, 800, 600), QRect(0, 30, 800, 600)},    // a negative position
            {QRect(4000, 100, 800, 600), QRect(224, 100, 800, 600)}, // Left 60000 twips
            {QRect(900, 0, 800, 600), QRect(1024, 0, 800, 600)},     // mostly on the second
            {QRect(3000, 2000, 640, 480), QRect(384, 288, 640, 480)}}; // its screen gone
        for (const auto &[wanted, placed] : rows)
            QCOMPARE(WindowPlacement::clamp(wanted, {QRect(0, 30, 1024, 738), QRect(1024, 0, 1280, 1024)}), placed);
    }

    // Names ignore case and accents. (Times by their day number, and a row
    // rewritten moving to its place: tst_MainWindow searchSortAndHints.)
    void headerClicksSortNamesAsReadersDo()
    {
        QStandardItemModel model;
        for (const char *name : {"bruno", "Ada", "Fabio", "Émile"})
            model.appendRow(new QStandardItem(QString::fromUtf8(name)));
        ListSortProxy sorted;
        sorted.setSourceModel(&model);
        sorted.sort(0, Qt::AscendingOrder);
        QStringList names;
        for (int row = 0; row < sorted.rowCount(); ++row)
            names << sorted.index(row, 0).data().toString();
        QCOMPARE(names, QStringList({"Ada", "bruno", "Émile", "Fabio"}));
    }
};

QTEST_GUILESS_MAIN(tst_ToolbarAndTreeRules)
#include "tst_ToolbarAndTreeRules.moc"
