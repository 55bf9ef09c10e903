#include "StaffRows.h"
#include "StubMainWindow.h"
#include "TestDatabase.h"
#include "datetime/ucDateTime.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarLink.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "resources/BookingDisplay.h"
#include "resources/CReservation.h"
#include "resources/CResource.h"
#include "resources/frmReservation.h"
#include "resources/frmResource.h"
#include "resources/ResourceLists.h"
#include "status/ContactList.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QDate kToday(2030, 1, 7);

double at(int day, int hour, int minute)
{
    return DateUtil::toDays(kToday.addDays(day), QTime(hour, minute));
}

// A main window whose upper list selection the tests set.
class ListWindow : public StubMainWindow
{
public:
    QString selected;
    bool selectedListItem(CEntity &item) const override
    {
        if (selected.isEmpty())
            return false;
        item.setKey(selected);
        return true;
    }
};

// User 1 and resource 1, the van, with its check-in as given.
void addVan(TestDatabase &db, const QVariant &autoCheckIn = 0)
{
    addStaff(1);
    db.exec("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (1, 'Van', 'V', 1, ?)", {autoCheckIn});
}

void addBooking(int id, int resource, double from, double until, int returned, const QString &to)
{
    DbHandle none;
    Update(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, ReservedFrom, ReservedUntil, "
                          "Returned) VALUES (?, ?, 1, ?, ?, ?, ?)"),
           none, {id, resource, to, HistoryDate(from), HistoryDate(until), returned});
}

// Key presses over what the box holds, as a user retypes it.
void retype(ucDateTime *control, const char *box, const QString &text)
{
    QTest::keyClick(control->findChild<QLineEdit *>(box), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control->findChild<QLineEdit *>(box), text);
}

QStringList rowsOf(const QStandardItemModel &model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells{model.index(row, 0).data(Qt::UserRole).toString()};
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

// The controls Tab reaches from the first one, named as given (a part by
// its control's name), each once in a row, until the walk comes round.
QStringList tabWalk(QDialog &dialog, const QList<QPair<QWidget *, QString>> &controls)
{
    dialog.show();
    dialog.activateWindow();
    if (!QTest::qWaitForWindowActive(&dialog, stretched(5000)))
        return {QStringLiteral("not active")};
    controls.first().first->setFocus();
    QStringList names;
    for (int presses = 0; presses < 20 && names.count(controls.first().second) < 2; ++presses) {
        QString name = QStringLiteral("?");
        for (const auto &[control, controlName] : controls)
            if (control == QApplication::focusWidget() || control->isAncestorOf(QApplication::focusWidget()))
                name = controlName;
        if (names.isEmpty() || names.last() != name)
            names << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return names;
}

// Notes the dialog's pointer whenever a message comes up.
class PointerPrompt : public ScriptedPrompt
{
public:
    explicit PointerPrompt(QWidget &dialog) : m_dialog(dialog) {}
    int message(const QString &text, Buttons buttons, Icon icon, const QString &title) override
    {
        pointers << m_dialog.cursor().shape();
        return ScriptedPrompt::message(text, buttons, icon, title);
    }
    QList<Qt::CursorShape> pointers;

private:
    QWidget &m_dialog;
};

class FakeAddressBook : public CalendarLinkNotAvailable
{
public:
    void GetAddressBook(QObject *, std::function<void(const QVector<AddressEntry> &)> done) override
    {
        done({{QStringLiteral("Ann"), QStringLiteral("ann@x"), {}}, {QStringLiteral("  "), QStringLiteral("b@x"), {}},
              {QStringLiteral("Cy"), QStringLiteral("cy@x"), {}}});
    }
};

} // namespace

class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::pin(QDateTime(kToday, QTime(14, 20))); }
    void cleanup()
    {
        Clock::unpin();
        g_frmMain.reset();
        g_sViewType.clear();
    }

    // Status of a booking, pinned at 14:20: its times, checked in, the
    // resource's automatic check-in, its user (-1: never filled).
    void bookingStatus()
    {
        const struct { double from, until; bool returned, automatic; int user; const char *status; } rows[] = {
            {at(0, 15, 0), at(0, 16, 0), false, false, 1, "Available"},
            {at(0, 14, 20), at(0, 14, 21), false, false, 1, "Booked Out"},
            {at(0, 13, 0), at(0, 14, 19), false, false, 1, "Overdue"},
            {at(0, 13, 0), at(0, 14, 19), true, false, 1, "Available"},
            {at(0, 13, 0), at(0, 15, 0), true, false, 1, "Returned"},
            {at(0, 13, 0), at(0, 14, 19), false, true, 1, "Available"},
            {at(0, 13, 0), at(0, 15, 0), true, true, 1, "Booked Out"},
            {at(0, 13, 0), at(0, 15, 0), false, false, -1, "Available"}};
        for (const auto &r : rows) {
            CReservation booking;
            std::tie(booking.dReservedFrom, booking.dReservedUntil, booking.fReturned, booking.iUserID) =
                std::tuple(r.from, r.until, r.returned, r.user);
            const QString row = QString::number(&r - rows) + u' ';
            QCOMPARE(row + booking.Status(r.automatic), row + QLatin1String(r.status));
        }
    }

    // Stored: 11:00-12:00 on resource 1; its check-in and the booking's
    // return as the row says, the times asked for, the conflicts found.
    void conflicts_data() { addEngineRows(); }
    void conflicts()
    {
        OPEN_TEST_DATABASE(db, "conflicts");
        addVan(db);
        addBooking(5, 1, at(0, 11, 0), at(0, 12, 0), 0, QStringLiteral("Bo"));
        DbHandle connection = OpenADOConnection();
        const struct { QVariant automatic; int returned; double from, until; int found; } rows[] = {
            {0, 0, at(0, 10, 0), at(0, 11, 0), 0}, // back to back
            {0, 0, at(0, 10, 59), at(0, 12, 0), 1},
            {0, 1, at(0, 10, 59), at(0, 12, 0), 0},
            {1, 1, at(0, 10, 59), at(0, 12, 0), 1},
            {QVariant(), 0, at(0, 11, 30), at(0, 11, 45), 1}};
        for (const auto &r : rows) {
            db.exec("UPDATE Resource SET AutoCheckIn = ?", {r.automatic});
            db.exec("UPDATE Reservation SET Returned = ?", {r.returned});
            const int found = int(CReservation::conflicts(*connection, 1, r.from, r.until, -1).size());
            QCOMPARE(QString::number(&r - rows) + u' ' + QString::number(found),
                     QString::number(&r - rows) + u' ' + QString::number(r.found));
        }
    }

    // The dialog's way through a booking: the times it opens with, a half-typed
    // time refused, the conflict it shows, Cancel keeping it open, an end
    // before the start; then a date and a time typed into the start's boxes
    // are what OK stores, the end following.
    void reservationDialog()
    {
        TestDatabase db(false, "dialog");
        addVan(db);
        addBooking(5, 1, at(0, 11, 0), at(0, 12, 0), 0, QStringLiteral("Bo"));
        frmReservation dialog;
        dialog.newReservation(1, 1, QStringLiteral("User 1"));
        dialog.show();
        QCOMPARE(DateUtil::fromDays(dialog.dtFrom->DateValue() + dialog.dtFrom->TimeValue()),
                 QDateTime(kToday, QTime(14, 20)));
        QCOMPARE(DateUtil::fromDays(dialog.dtUntil->DateValue() + dialog.dtUntil->TimeValue()),
                 QDateTime(kToday, QTime(15, 20)));
        retype(dialog.dtFrom, "Text2", QStringLiteral("3:"));
        dialog.OK_Click();
        QCOMPARE(db.env.prompt.asked.value(0).text, QStringLiteral("Reserved From: \"3:\" is not a valid time."));

        dialog.dtFrom->setTimeValue(DateUtil::fromTime(QTime(10, 59)));
        dialog.dtUntil->setTimeValue(DateUtil::fromTime(QTime(12, 0)));
        db.env.prompt.answers = {IPrompt::AnswerCancel};
        dialog.OK_Click();
        QCOMPARE(db.env.prompt.asked.size(), 2);
        QCOMPARE(db.env.prompt.asked.at(1).title, QStringLiteral("Item Reservation Conflict"));
        QVERIFY(db.env.prompt.asked.at(1).text.contains("Bo  ( 07/01/2030 11:00 AM - 07/01/2030 12:00 PM )"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(db.value("SELECT COUNT(*) FROM Reservation").toInt(), 1);

        dialog.dtFrom->setTimeValue(DateUtil::fromTime(QTime(10, 0)));
        dialog.dtUntil->setTimeValue(DateUtil::fromTime(QTime(9, 0)));
        dialog.OK_Click();
        QCOMPARE(db.env.prompt.asked.last().text, QStringLiteral("The booking must end after it starts."));
        QVERIFY(dialog.isVisible());

        retype(dialog.dtFrom, "Text1", QStringLiteral("08/01/2030"));
        retype(dialog.dtFrom, "Text2", QStringLiteral("3:00 PM"));
        dialog.OK_Click();
        QCOMPARE(db.env.prompt.asked.size(), 3);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(db.rows("SELECT ReservedFrom, ReservedUntil FROM Reservation WHERE ID <> 5"),
                 QStringList("2030-01-08 15:00:00|2030-01-08 16:00:00"));
    }

    // Another copy deletes the resource, or the booking, while the dialog is
    // open: OK writes nothing, says so and closes as cancelled.
    void deletedMeanwhile_data() { addEngineRows(); }
    void deletedMeanwhile()
    {
        OPEN_TEST_DATABASE(db, "deleted");
        addStaff(1);
        for (bool edit : {false, true}) {
            db.exec("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (1, 'Van', 'V', 1, 0)");
            addBooking(5, 1, at(0, 11, 0), at(0, 12, 0), 0, QStringLiteral("Bo"));
            frmReservation dialog;
            edit ? dialog.populateForm(5) : dialog.newReservation(1, 1, QStringLiteral("User 1"));
            edit ? CReservation().Delete(5) : CResource().Delete(1);
            dialog.show();
            dialog.OK_Click();
            QCOMPARE(db.value("SELECT COUNT(*) FROM Reservation").toInt(), 0);
            QVERIFY(db.env.prompt.asked.last().text.startsWith(edit ? "This booking no longer exists"
                                                                     : "The resource Van no longer exists"));
            QVERIFY(dialog.Cancel && !dialog.isVisible());
        }
    }

    // A seeded group: the rows, their order and colours, the same on both
    // engines; a poll refreshes in place and drops a deleted booking.
    void resourceGroup_data() { addEngineRows(); }
    void resourceGroup()
    {
        OPEN_TEST_DATABASE(db, "group");
        addStaff(1);
        const char *insert = "INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (?, ?, ?, 4, ?)";
        for (const QVariantList &resource : {QVariantList{1, "Van", "V1", 0}, {2, "Room", "R1", 0}, {3, "Beamer", "B1", 0},
                                             {4, "Bike", "K1", 1}})
            db.exec(insert, resource);
        addBooking(10, 1, at(0, 14, 0), at(0, 16, 0), 0, QStringLiteral("Ann"));  // booked out
        addBooking(11, 2, at(-1, 9, 0), at(0, 9, 0), 0, QStringLiteral("Bo"));    // overdue
        addBooking(12, 3, at(0, 10, 0), at(0, 18, 0), 1, QStringLiteral("Cy"));   // returned
        addBooking(13, 1, at(0, 8, 0), at(0, 9, 0), 0, QStringLiteral("Old"));    // overdue, earlier
        addBooking(14, 1, at(1, 8, 0), at(1, 9, 0), 0, QStringLiteral("Next"));   // future
        g_frmMain = std::make_unique<ListWindow>();
        auto &window = static_cast<ListWindow &>(*g_frmMain);
        g_sCurrentNodeKey = QStringLiteral("NOD4");
        ResourceLists lists;
        lists.refreshResourceList(QStringLiteral("NOD4"));
        QCOMPARE(rowsOf(lists.resources()),
                 QStringList({"RES3|Beamer|B1|Available||||", "RES4|Bike|K1|Available||||",
                              "RES2|Room|R1|Overdue|Bo||06-Jan-30 9:00 am|9:00 am",
                              "RES1|Van|V1|Booked Out|Ann||2:00 pm|4:00 pm"}));
        QCOMPARE(lists.resources().index(3, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(lists.resources().index(2, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));

        window.selected = QStringLiteral("RES1");
        lists.refreshResourceList(QStringLiteral("NOD4"));
        QCOMPARE(rowsOf(lists.reservations()),
                 QStringList({"RES13|Old||8:00 am|9:00 am|User 1", "RES10|Ann||2:00 pm|4:00 pm|User 1",
                              "RES14|Next||08-Jan-30 8:00 am|08-Jan-30 9:00 am|User 1"}));
        QStandardItem *kept = lists.reservations().item(0);
        db.exec("DELETE FROM Reservation WHERE ID = 14");
        lists.refreshReservationDetails(QStringLiteral("Van"), QStringLiteral("RES1"), 0);
        QCOMPARE(lists.reservations().rowCount(), 2);
        QCOMPARE(lists.reservations().item(0), kept); // rewritten in place
        QCOMPARE(g_sCurrentNodeKey, QStringLiteral("NOD4"));
        addBooking(15, 3, at(0, 12, 0), at(0, 13, 0), 0, QStringLiteral("Dee"));
        lists.refreshReservationDetails(QStringLiteral("Beamer"), QStringLiteral("RES3"), 0);
        QCOMPARE(lists.reservations().rowCount(), 2);
        QCOMPARE(lists.reservations().item(0)->data(Qt::ForegroundRole).value<QColor>(), QColor(102, 102, 102));
    }

    void resourceDialog()
    {
        TestEnvironment env;
        CTreeNode group;
        group.ID = 4;
        group.Name = QStringLiteral("Vehicles");
        group.NodeType = QStringLiteral("RSG");
        g_colTreeNodes = {group};
        frmResource fromGroup;
        fromGroup.newResource(4);
        QCOMPARE(fromGroup.getParentGroupID(), 4);
        QVERIFY(!fromGroup.icboGroup->isEnabled());
        frmResource fromMenu;
        fromMenu.newResource(-1);
        QVERIFY(fromMenu.icboGroup->isEnabled());
        fromMenu.OK_Click();
        QCOMPARE(env.prompt.asked.value(0).text,
                 QStringLiteral("Some required data is missing:\r\nResource Name\r\nResource Group\r\n"));
        g_colTreeNodes.clear();
    }

    // Stored texts longer than their boxes open at their start, the first box
    // wholly selected; a name of full length fits its box; neither dialog
    // grows taller than its fields.
    void dialogTextsFromTheirStart()
    {
        TestDatabase db(false, "starts");
        addStaff(1);
        const QString name = QStringLiteral("Mobile presentation projector with ceiling mount X");
        db.exec("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (1, ?, 'V', 1, 0)", {name});
        addBooking(5, 1, at(0, 14, 0), at(0, 15, 0), 0, QStringLiteral("Bo ").repeated(30));
        db.exec("UPDATE Reservation SET Note = ? WHERE ID = 5", {QStringLiteral("Bring the adapter ").repeated(6)});

        frmResource resource;
        resource.populateForm(1);
        resource.show();
        QCOMPARE(resource.txtName->text(), name);
        QCOMPARE(resource.txtName->cursorPosition(), 0);
        QCOMPARE(resource.txtName->selectedText(), name);
        const int room = resource.txtName->contentsRect().width() - 2 * resource.txtName->textMargins().left() - 4;
        QVERIFY2(resource.txtName->fontMetrics().horizontalAdvance(name) <= room, qPrintable(QString::number(room)));
        QCOMPARE(resource.maximumHeight(), resource.sizeHint().height());

        frmReservation booking;
        booking.populateForm(5);
        booking.show();
        for (QLineEdit *box : {booking.txtBookedTo, booking.txtNote})
            QCOMPARE(box->cursorPosition(), 0);
        QVERIFY(booking.txtBookedTo->text().startsWith(QStringLiteral("Bo Bo")));
        QCOMPARE(booking.txtBookedTo->selectedText(), booking.txtBookedTo->text());
        QCOMPARE(booking.maximumHeight(), booking.sizeHint().height());
    }

    // Tab's order through both dialogs; the group box's pictures; the
    // hourglass while a booking is stored (seen by the conflict message).
    void dialogKeysPicturesAndPointer()
    {
        TestDatabase db(false, "keys");
        addVan(db);
        addBooking(5, 1, at(0, 14, 0), at(0, 15, 0), 0, QStringLiteral("Bo"));
        CTreeNode group;
        group.ID = 4;
        group.Name = QStringLiteral("Vehicles");
        group.NodeType = QStringLiteral("RSG");
        group.Icon = QStringLiteral("ICOpostaltruck");
        g_colTreeNodes = {group};
        const auto cleanUp = qScopeGuard([] { g_colTreeNodes.clear(); });
        QPixmap truck(32, 32);
        truck.fill(Qt::red);
        frmResource resource(nullptr, [&](const QString &key) {
            return key == QLatin1String("ICOpostaltruck") ? QIcon(truck) : QIcon();
        });
        resource.newResource(-1);
        QCOMPARE(resource.icboGroup->itemIcon(0).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
        QCOMPARE(tabWalk(resource, {{resource.txtName, "name"}, {resource.txtCode, "code"},
                                    {resource.txtLocation, "location"}, {resource.icboGroup, "group"},
                                    {resource.OK, "OK"}, {resource.cmdCancel, "Cancel"},
                                    {resource.chkAutoCheckIn, "check in"}}),
                 QStringList({"name", "code", "location", "group", "OK", "Cancel", "check in", "name"}));

        frmReservation booking;
        booking.newReservation(1, 1, QStringLiteral("User 1"));
        QCOMPARE(tabWalk(booking, {{booking.txtBookedTo, "booked to"}, {booking.txtNote, "note"},
                                   {booking.txtReservedBy, "reserved by"}, {booking.cmdCancel, "Cancel"},
                                   {booking.OK, "OK"}, {booking.dtFrom, "start"}, {booking.dtUntil, "end"}}),
                 QStringList({"booked to", "note", "Cancel", "OK", "start", "end", "booked to"}));
        PointerPrompt prompt(booking);
        IPrompt *const saved = std::exchange(g_prompt, &prompt);
        booking.OK_Click(); // the booking of 14:00 to 15:00 conflicts; OK books anyway
        g_prompt = saved;
        QCOMPARE(prompt.pointers, QList<Qt::CursorShape>{Qt::WaitCursor});
        QCOMPARE(booking.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(db.value("SELECT COUNT(*) FROM Reservation").toInt(), 2);
    }

    // Enter in the first box is OK, in both dialogs (a new resource with
    // nothing filled in is refused, a new booking stored), and OK is drawn
    // left of Cancel on one row.
    void enterIsOkAndOkComesFirst()
    {
        TestDatabase db(false, "enter");
        addVan(db);
        const auto okFirst = [](QPushButton *ok, QPushButton *cancel) {
            const QRect a(ok->mapTo(ok->window(), QPoint()), ok->size());
            const QRect b(cancel->mapTo(cancel->window(), QPoint()), cancel->size());
            return a.right() < b.left() && a.top() == b.top();
        };
        frmResource resource;
        resource.newResource(-1);
        resource.show();
        QVERIFY(resource.OK->isDefault() && !resource.cmdCancel->isDefault());
        QVERIFY(okFirst(resource.OK, resource.cmdCancel));
        QTest::keyClick(resource.txtName, Qt::Key_Return);
        QCOMPARE(db.env.prompt.asked.value(0).text,
                 QStringLiteral("Some required data is missing:\r\nResource Name\r\nResource Group\r\n"));

        frmReservation booking;
        booking.newReservation(1, 1, QStringLiteral("User 1"));
        booking.show();
        QVERIFY(okFirst(booking.OK, booking.cmdCancel));
        QTest::keyClicks(booking.txtBookedTo, QStringLiteral("Ann"));
        QTest::keyClick(booking.txtBookedTo, Qt::Key_Return);
        QVERIFY(!booking.Cancel && !booking.isVisible());
        QCOMPARE(db.rows("SELECT BookedTo FROM Reservation"), QStringList("Ann"));
        QVERIFY(booking.OK->isDefault() && !booking.cmdCancel->isDefault());
    }

    void contacts()
    {
        TestEnvironment env;
        FakeAddressBook book;
        ICalendarLink *saved = std::exchange(g_calendarLink, &book);
        ContactList contacts;
        g_fOutlook = false;
        contacts.refresh();
        QCOMPARE(contacts.model().rowCount(), 0);
        g_fOutlook = true;
        contacts.refresh();
        QCOMPARE(rowsOf(contacts.model()), QStringList({"CTT0|Ann|ann@x", "CTT2|Cy|cy@x"}));
        g_fOutlook = false;
        g_calendarLink = saved;
    }
};

QTEST_MAIN(tst_Resources)
#include "tst_Resources.moc"
