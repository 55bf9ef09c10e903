#include "StatusFakes.h"
#include "foundation/CStatus.h"
#include "foundation/MCIFunctions.h"
#include "platform/Clock.h"
#include "platform/SettingsKeys.h"
#include "status/UserListColumns.h"
#include "status/UserListItem.h"
#include "status/UserListModel.h"
#include "status/UserListRows.h"

#include <QtTest>

namespace {
const QDate kToday(2026, 12, 4);

// A row as "status|icon|note|out|due back", then "pending", "grey" (note and
// out cells) and "red" (due back) where they hold.
QString shown(const UserListItem &item)
{
    QStringList flags;
    if (item.Pending)
        flags << QStringLiteral("pending");
    if (item.NoteColour.isValid())
        flags << (item.NoteColour == UserListRows::grey() ? QStringLiteral("grey") : item.NoteColour.name());
    if (item.DueBackColour.isValid())
        flags << (item.DueBackColour == QColor(Qt::red) ? QStringLiteral("red") : item.DueBackColour.name());
    return QStringList{item.StatusText, item.IconKey, item.Note, item.OutText, item.DueBackText}.join(u'|')
        + (flags.isEmpty() ? QString() : u' ' + flags.join(u' '));
}

// A row drawn at a moment, as "A>B" for A then B; invalid times for none.
struct Drawn { QDateTime now; QString status; QDateTime out, due; };

} // namespace

Q_DECLARE_METATYPE(Drawn)

// How the rows of the user list are drawn, and which columns it shows how wide.
class tst_UserListRows : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnvironment> m_env; // the texts of the statuses, the stored settings
    FakeMainWindow *m_window = nullptr;
    int m_reads = 0;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        g_frmMain = std::make_unique<FakeMainWindow>();
        m_window = static_cast<FakeMainWindow *>(g_frmMain.get());
        g_sViewType.clear();
        g_fRefreshNeeded = false;
        g_colCustomStatus = {CStatus{QStringLiteral("Training"), QStringLiteral("XTR"), QStringLiteral("O"),
                                     QStringLiteral("ICOschool")}};
        // The statuses read again hold one that another copy added.
        m_reads = 0;
        SetCustomStatusReader([this] {
            ++m_reads;
            g_colCustomStatus.append(CStatus{QStringLiteral("Site Visit"), QStringLiteral("XNW"), QStringLiteral("O"),
                                             QStringLiteral("ICOcopier")});
        });
    }
    void cleanup()
    {
        Clock::unpin();
        g_frmMain.reset();
        m_env.reset();
        SetCustomStatusReader(nullptr);
    }

    // Times are compared by the minute boundaries between them, not by
    // elapsed time: a second before 14:00 is a minute before it.
    void rows_data()
    {
        QTest::addColumn<Drawn>("drawn");
        QTest::addColumn<QString>("expected");
        const auto today = [](int h, int m, int s = 0) { return QDateTime(kToday, QTime(h, m, s)); };
        QTest::newRow("meeting still ahead at 13:30") << Drawn{today(13, 30), "MTG", today(14, 0), today(15, 0)}
                                                      << "In (Out Later)|INN|Board|2:00 pm|3:00 pm pending grey";
        QTest::newRow("meeting begun at 14:00") << Drawn{today(14, 0), "MTG", today(14, 0), today(15, 0)}
                                                << "Meeting|MTG|Board|2:00 pm|3:00 pm";
        QTest::newRow("a second before the minute") << Drawn{today(13, 59, 59), "OUT", today(14, 0), {}}
                                                    << "In (Out Later)|INN|Board|2:00 pm| pending grey";
        QTest::newRow("on the minute") << Drawn{today(14, 0), "OUT", today(14, 0), {}} << "Out|OUT|Board|2:00 pm|";
        QTest::newRow("later in the same minute") << Drawn{today(14, 0), "OUT", today(14, 0, 50), {}}
                                                  << "Out|OUT|Board|2:00 pm|";
        QTest::newRow("next minute") << Drawn{today(14, 0, 59), "OUT", today(14, 1), {}}
                                     << "In (Out Later)|INN|Board|2:01 pm| pending grey";
        QTest::newRow("due back in its minute") << Drawn{today(17, 0, 59), "OUT", today(9, 0), today(17, 0)}
                                                << "Out|OUT|Board|9:00 am|5:00 pm";
        QTest::newRow("due back the minute after") << Drawn{today(17, 1), "OUT", today(9, 0), today(17, 0)}
                                                   << "Out|OUT|Board|9:00 am|5:00 pm red";
        QTest::newRow("the next day the same times show their date")
            << Drawn{today(9, 0).addDays(1), "OUT", today(9, 0), today(17, 0)}
            << "Out|OUT|Board|04-Dec-26 9:00 am|04-Dec-26 5:00 pm red";
        QTest::newRow("yesterday's due back, red with its date")
            << Drawn{today(9, 15), "OUT", today(8, 5).addDays(-1), today(17, 0).addDays(-1)}
            << "Out|OUT|Board|03-Dec-26 8:05 am|03-Dec-26 5:00 pm red";
        QTest::newRow("custom status with its own icon") << Drawn{today(9, 0), "XTR", {}, today(12, 0).addDays(3)}
                                                         << "Training|ICOschool|Board||07-Dec-26 12:00 pm";
        QTest::newRow("custom status another copy added") << Drawn{today(9, 0), "XNW", {}, {}}
                                                           << "Site Visit|ICOcopier|Board||";
        QTest::newRow("custom status no copy knows, as its code") << Drawn{today(9, 0), "XZZ>XZZ", {}, {}}
                                                                  << "XZZ|XZZ|Board||";
        QTest::newRow("empty status is In, without times") << Drawn{today(10, 0), "  ", today(9, 0), today(11, 0)}
                                                           << "In|INN|Board||";
        QTest::newRow("back In leaves no grey of a pending status") << Drawn{today(13, 30), "OUT>INN", today(14, 0), {}}
                                                                   << "In|INN|Board||";
    }
    void rows()
    {
        QFETCH(Drawn, drawn);
        Clock::pin(drawn.now);
        UserListItem item;
        for (QString status : drawn.status.split(u'>')) {
            double outTime = drawn.out.isValid() ? DateUtil::toDays(drawn.out) : 0;
            double dueBack = drawn.due.isValid() ? DateUtil::toDays(drawn.due) : 0;
            QString note = QStringLiteral(" Board  ");
            UserListRows::SetListItemStatus(item, outTime, dueBack, note, status);
            // The caller's values follow what is drawn: an empty status is In, and In has no times.
            QVERIFY(!status.trimmed().isEmpty());
            if (status == QLatin1String("INN"))
                QCOMPARE(outTime + dueBack, 0.0);
        }
        QTEST(shown(item), "expected");
        QVERIFY(m_reads <= 1); // once for a code, however often it is drawn
    }

    void width_data()
    {
        QTest::addColumn<QString>("hide");  // "" leaves the value missing
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("nothing stored") << "" << "" << 1440;
        QTest::newRow("stored width") << "" << "2100" << 2100;
        QTest::newRow("hidden beats width") << "True" << "2100" << 0;
        QTest::newRow("hidden, lower case") << "true" << "" << 0;
        QTest::newRow("hidden as a number") << "1" << "2100" << 0;
        QTest::newRow("width rounded half to even") << "" << "1500.5" << 1500;
        QTest::newRow("hide flag not a boolean") << "maybe" << "2100" << 2100;
        QTest::newRow("width not a number") << "False" << "wide" << 1440;
        QTest::newRow("width with trailing text") << "" << "800px" << 1440;
        QTest::newRow("negative width") << "" << "-300" << 1440;
    }
    void width()
    {
        QFETCH(QString, hide);
        QFETCH(QString, width);
        if (!hide.isEmpty())
            SettingsKeys::HiddenColumn.write(hide, QStringLiteral("OUT"));
        if (!width.isEmpty())
            storeSettingText(SettingsKeys::ColumnWidth, width, QStringLiteral("OUT")); // as stored by hand
        QTEST(UserListColumns::GetColumnWidth(QStringLiteral("OUT")), "expected");
        // Other columns keep their own values.
        QCOMPARE(UserListColumns::GetColumnWidth(QStringLiteral("NOTE")), 1440);
    }

    void setup_buildsTheUserViewOnce()
    {
        SettingsKeys::HiddenColumn.write(QStringLiteral("True"), QStringLiteral("MOBILEPH"));
        SettingsKeys::ColumnWidth.write(2500, QStringLiteral("NAME")); // a number, not a text
        UserListModel model;
        g_sViewType = QStringLiteral("TOP");
        QVERIFY(UserListColumns::SetupUserListColumns(model));
        QCOMPARE(g_sViewType, QStringLiteral("TOP")); // the window's record of the node shown
        QCOMPARE(QList<int>({m_window->columnSettingsSaved, m_window->webPageHidden}), QList<int>({1, 1}));

        QStringList widths;
        for (const UserListColumns::Column &column : m_window->columns)
            widths << QStringLiteral("%1=%2").arg(column.key).arg(column.width);
        QCOMPARE(widths, QStringList({"NAME=2500", "STATUS=1440", "NOTE=1440", "OUT=1440", "DUEBACK=1440", "MOBILE=1440",
                                      "MOBILEPH=0", "PHONENUMBER=1440"}));

        // Shown already: nothing to do.
        g_sViewType = QStringLiteral("NTF");
        QVERIFY(!UserListColumns::SetupUserListColumns(model));
        QCOMPARE(m_window->columnsShown, 1);

        // A setting change asks for a rebuild, with the widths already saved.
        g_fRefreshNeeded = true;
        QVERIFY(UserListColumns::SetupUserListColumns(model));
        QCOMPARE(m_window->columnsShown, 2);
        QCOMPARE(m_window->columnSettingsSaved, 1);
        QVERIFY(!g_fRefreshNeeded);
    }
};

QTEST_GUILESS_MAIN(tst_UserListRows)
#include "tst_UserListRows.moc"
