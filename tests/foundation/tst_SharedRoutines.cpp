#include "OwnTime.h"
#include "StubMainWindow.h"
#include "TestDatabase.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/IResourceLists.h"
#include "foundation/MCIFunctions.h"
#include "foundation/NavigationTreeBuilder.h"
#include "foundation/QtShell.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SettingsKeys.h"
#include "status/CClientHnd.h"
#include "status/MNodeView.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QProcess>
#include <QtTest>

namespace {

// Records what the view switch asks of the main window.
class FakeMainWindow : public StubMainWindow
{
public:
    QHash<QString, QString> tags;
    QStringList calls;

    QString treeNodeTag(const QString &key) const override { return tags.value(key); }
    void hideWebPage() override { calls << QStringLiteral("hideWebPage"); }
    void displayWebPage(const QString &url) override { calls << QStringLiteral("displayWebPage ") + url; }
    void displayWebText(const QString &text) override { calls << QStringLiteral("displayWebText ") + text; }
    void SetSelectUserFunctions(bool on) override { calls << QStringLiteral("SetSelectUserFunctions ") + QString::number(on); }
};

CUser user(qint32 id, const QString &name = {}, const QString &status = {}, const QString &note = {}, double changed = 0)
{
    CUser u;
    u.UserID = id;
    u.RealName = name;
    u.IsIn = status;
    u.Note = note;
    u.LastStatusChange = changed;
    return u;
}

double at(int year, int month, int day, int hour, int minute, int second = 0)
{
    return DateUtil::toDays(QDate(year, month, day), QTime(hour, minute, second));
}

CTreeNode node(qint32 id, qint32 parent, const QString &type)
{
    CTreeNode n;
    n.ID = id;
    n.ParentID = parent;
    n.Name = QStringLiteral("Node %1").arg(id);
    n.NodeType = type;
    n.Icon = QStringLiteral("ORBIT");
    return n;
}

CStatus custom(const QString &code, const QString &type)
{
    CStatus s;
    s.StatusCode = code;
    s.Status = QStringLiteral("Custom ") + code;
    s.CustomType = type;
    s.Icon = QStringLiteral("ICO") + code;
    return s;
}

NavigationTree build(QList<CTreeNode> nodes, const QList<CStatus> &customs = {})
{
    return NavigationTreeBuilder::build(nodes, customs, [](const QString &) { return true; });
}

// The parents of the given items, by key, blank-separated.
QString parentsOf(NavigationTree &tree, const QStringList &keys)
{
    QStringList parents;
    for (const QString &key : keys)
        parents << (tree.find(key) ? tree.find(key)->parentKey : QStringLiteral("<absent>"));
    return parents.join(u' ');
}

QStringList keysOf(const NavigationTree &tree)
{
    QStringList keys;
    for (const NavigationTree::Item &item : tree.items())
        keys << item.key;
    return keys;
}

} // namespace

class tst_SharedRoutines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        Clock::unpin();
        g_frmMain.reset();
        g_oClientHnd.reset();
    }

    void keysUsersStatusLinesAndTexts()
    {
        TestEnvironment env;
        const QList<QPair<const char *, qint32>> keys = {{"USR17", 17}, {"USR", -1}, {"USRabc", 0}, {"RES99999999999", 0}};
        for (const auto &[key, id] : keys)
            QVERIFY2(KeyToId(QLatin1String(key)) == id, key);
        QCOMPARE(FindUserIndex(3), -1);
        g_vUserList = {user(3), user(5), user(9), user(12)};
        const QList<QPair<qint32, int>> lookups = {{3, 0}, {12, 3}, {1, -1}, {10, -1}, {13, -1}};
        for (const auto &[id, index] : lookups)
            QCOMPARE(FindUserIndex(id), index);

        g_vUserList = {user(5, QStringLiteral("Ann Lee"), QStringLiteral("OUT"), QStringLiteral("back at 3"), at(2004, 3, 5, 14, 7, 9))};
        QCOMPARE(GetUserStatusLine(QStringLiteral("USR5")),
                 QStringLiteral("Ann Lee Last changed Status to Out - 05/03/2004 2:07:09 PM       [ back at 3 ] "));
        QCOMPARE(GetUserStatusLine(QStringLiteral("USR6")), QString());

        // Each language code sets its offset; the empty blocks fall back to English.
        const QList<std::tuple<const char *, qint32, QString>> languages = {
            {"FRA", 1000, QStringLiteral("Présent")}, {"PRT", 4000, QStringLiteral("In")}, {"XYZ", 0, QStringLiteral("In")}};
        for (const auto &[code, offset, in] : languages) {
            g_lLanguageOffset = 777;
            SetLanguage(QLatin1String(code));
            QCOMPARE(g_lLanguageOffset, offset);
            QCOMPARE(GetResString(162), in);
        }
        QVERIFY(GetResString(102).isEmpty()); // no text in any language
    }

    void statusRulesTextsAndTheNextWorkingDay()
    {
        TestEnvironment env;
        g_colCustomStatus = {CStatus{QStringLiteral("Site Visit"), QStringLiteral("XX2"), QStringLiteral("O"), QString()},
                             CStatus{QStringLiteral("Reception"), QStringLiteral("XX3"), QStringLiteral("I"), QString()}};
        // Pending: the clock stands at 10:30:45; the minute counts whole.
        Clock::pin(QDateTime(QDate(2004, 3, 5), QTime(10, 30, 45)));
        QVERIFY(IsStatusPending(QStringLiteral("OUT"), at(2004, 3, 5, 10, 30, 0)));
        QVERIFY(!IsStatusPending(QStringLiteral("OUT"), at(2004, 3, 5, 10, 29, 59)));
        QVERIFY(IsStatusPending(QStringLiteral("MTO"), at(2004, 3, 5, 11, 0)));
        QVERIFY(!IsStatusPending(QStringLiteral("LNC"), at(2004, 3, 5, 11, 0)));
        QVERIFY(IsStatusPending(QStringLiteral("XX2"), at(2004, 3, 5, 11, 0)));

        QVERIFY(IsCustomStatus(QStringLiteral("XFF")) && !IsCustomStatus(QStringLiteral("INN")));
        QVERIFY(IsInStatus(QStringLiteral("XX3")) && !IsInStatus(QStringLiteral("XX2")) && !IsInStatus(QStringLiteral("LNC")));
        QCOMPARE(GetStatusDescription(QString()), QStringLiteral("In"));
        QCOMPARE(GetStatusDescription(QStringLiteral("xx2")), QStringLiteral("Site Visit"));

        // The next working day from Friday, Sunday, Monday, over the year.
        const QList<QPair<QDate, QDate>> days = {{QDate(2004, 3, 5), QDate(2004, 3, 8)}, {QDate(2004, 3, 7), QDate(2004, 3, 8)},
                                                 {QDate(2004, 3, 8), QDate(2004, 3, 9)}, {QDate(2004, 12, 31), QDate(2005, 1, 3)}};
        for (const auto &[today, next] : days) {
            Clock::pin(QDateTime(today, QTime(23, 59, 30)));
            QCOMPARE(DateUtil::fromDays(NextWorkingDay(DateUtil::fromTime(QTime(8, 30, 45)))), QDateTime(next, QTime(8, 30)));
        }
        // A full date-time counts by its time of day only.
        QCOMPARE(DateUtil::fromDays(NextWorkingDay(at(1999, 1, 1, 17, 5))), QDateTime(QDate(2005, 1, 3), QTime(17, 5)));
    }

    // A mail address handed to a desktop with no mail program is refused, so
    // the message stays with the user instead of vanishing.
    void mailNeedsAMailProgram()
    {
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        const auto answer = [&](const QByteArray &script) { writeScript(bin.filePath(QStringLiteral("xdg-mime")), script); };
        const auto asked = [] { return !QCoreApplication::instance()->findChild<QProcess *>(); };
        answer("exit 0\n"); // names nothing
        QtShell::askDesktopForMail();
        QTRY_VERIFY_WITH_TIMEOUT(asked(), stretched(5000));
        // A slow desktop is not waited for: its last answer holds meanwhile.
        answer("sleep 1\necho mail-program.desktop\n");
        const OwnTime clock;
        QVERIFY(!QtShell().openUrl(QUrl(QStringLiteral("mailto:ada@example.org"))));
        QVERIFY2(clock.elapsedMs() < 300, qPrintable(QString::number(clock.elapsedMs())));
        QTRY_VERIFY_WITH_TIMEOUT(asked(), stretched(5000));
        QVERIFY(QtShell::desktopTakesMail());
        answer("exit 0\n"); // once named, not asked again
        QVERIFY(QtShell::desktopTakesMail());
        QVERIFY(asked());
        qputenv("PATH", path);
    }

    void systemProperties()
    {
        TestDatabase tdb(false, QString());
        tdb.exec(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = 'help_url'"), {QStringLiteral("  http://help/  ")});
        tdb.exec(QStringLiteral("UPDATE Properties SET pvalue = NULL WHERE pkey = 'icon_home'"));
        DbHandle none;
        QCOMPARE(GetSystemProperty(QStringLiteral("help_url"), none), QStringLiteral("http://help/"));
        QVERIFY(!none); // opened for the call and closed again
        QCOMPARE(GetSystemProperty(QStringLiteral("icon_home")), QString());
        QCOMPARE(GetSystemProperty(QStringLiteral("x' OR '1'='1")), QString());

        DbHandle db = OpenADOConnection();
        SetSystemProperty(QStringLiteral("icon_home"), QStringLiteral("  /srv/it's icons  "), db);
        QVERIFY(db); // a connection handed in stays open
        QCOMPARE(GetSystemProperty(QStringLiteral("icon_home"), db), QStringLiteral("/srv/it's icons"));
        QCOMPARE(tdb.value(QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = 'icon_home'")).toString(),
                 QStringLiteral("/srv/it") + QChar(8) + QStringLiteral("s icons"));

        // Failures are raised with the routine's name and arguments.
        CloseADOConnection(db);
        tdb.exec(QStringLiteral("DROP TABLE Properties"));
        const AppError e = raisedBy([] { GetSystemProperty(QStringLiteral("version")); });
        QCOMPARE(e.number(), ErrNo::Raised);
        QVERIFY(e.source().startsWith(QStringLiteral("MCIFunctions.GetSystemProperty\r\n")));
    }

    void openNodeViewByTag_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QStringList>("calls");
        const QString selectOn = QStringLiteral("SetSelectUserFunctions 1");
        const QString selectOff = QStringLiteral("SetSelectUserFunctions 0");
        const QString hideWeb = QStringLiteral("hideWebPage");
        QTest::newRow("group") << "NOD3" << "GRP" << QStringList{selectOn, hideWeb};
        QTest::newRow("resources") << "NOD4" << "RSG" << QStringList{selectOff, hideWeb};
        QTest::newRow("web link") << "NOD7" << "WEB" << QStringList{QStringLiteral("displayWebPage http://intranet/"), selectOff};
        QTest::newRow("branch") << "NOD8" << "BRH" << QStringList{QStringLiteral("displayWebText Node 8"), selectOff};
        QTest::newRow("other tag") << "NOD5" << "XYZ" << QStringList{};
    }
    void openNodeViewByTag()
    {
        QFETCH(QString, key);
        QFETCH(QString, tag);
        TestEnvironment env;
        g_colTreeNodes = {node(7, 0, QStringLiteral("WEB")), node(8, 0, QStringLiteral("BRH"))};
        g_colTreeNodes[0].URL = QStringLiteral("http://intranet/");
        g_oClientHnd = std::make_unique<CClientHnd>();
        OpenNodeView(key); // without a main window: nothing
        g_oClientHnd->userList().model().addUser(1, QStringLiteral("Ann"));
        auto *seen = new FakeMainWindow;
        g_frmMain.reset(seen);
        seen->tags.insert(key, tag);
        struct : NoResourceLists {
            QString shown;
            void refreshResourceList(const QString &nodeKey) override { shown = nodeKey; }
        } lists;
        IResourceLists *const saved = std::exchange(g_resourceLists, &lists);
        OpenNodeView(key);
        g_resourceLists = saved;
        QTEST(seen->calls, "calls");
        QCOMPARE(lists.shown, tag == QLatin1String("RSG") ? key : QString());
    }

    void childrenBeforeParentsOrphansAndTheStatusBranch()
    {
        TestEnvironment env;
        // Parents with larger ParentIDs come later in the rows.
        NavigationTree tree = build({node(1, 0, QStringLiteral("BRH")), node(8, 9, QStringLiteral("GRP")),
                                     node(7, 8, QStringLiteral("GRP")), node(9, 1, QStringLiteral("BRH")),
                                     node(12, 40, QStringLiteral("GRP")), node(13, 13, QStringLiteral("GRP"))});
        QCOMPARE(parentsOf(tree, {"NOD9", "NOD8", "NOD7"}), QStringLiteral("NOD1 NOD9 NOD8"));
        QCOMPARE(tree.find(QStringLiteral("nod8"))->tag, QStringLiteral("GRP")); // keys ignore case
        const QStringList keys = keysOf(tree);
        for (const NavigationTree::Item &item : tree.items())
            QVERIFY(keys.indexOf(item.parentKey) < keys.indexOf(item.key)); // every item after its parent
        // Orphans (a missing parent, a node that is its own parent) are left
        // out and logged; the rest of the tree is built.
        QCOMPARE(parentsOf(tree, {"NOD12", "NOD13"}), QStringLiteral("<absent> <absent>"));
        const QString log = readTextFile(env.path(QStringLiteral("logs/error.log")));
        QVERIFY(log.contains(QStringLiteral("Tree node 12")) && log.contains(QStringLiteral("Tree node 13")));

        // The status branch in its order, custom statuses under their type.
        tree = build({}, {custom(QStringLiteral("XX2"), QStringLiteral("I")),
                                         custom(QStringLiteral("XX3"), QStringLiteral("O")),
                                         custom(QStringLiteral("XX5"), QStringLiteral("m"))});
        QCOMPARE(parentsOf(tree, {"GRP0", "MTO", "SCK", "XX2", "XX3", "XX5"}), QStringLiteral("NOD0 MTG GRP0 INN OUT MTG"));
        QCOMPARE(tree.find(QStringLiteral("XX5"))->image, QStringLiteral("ICOXX5"));

        // Stored expansion, and the branch shown first.
        const QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH")), node(3, 1, QStringLiteral("GRP"))};
        SettingsKeys::TreeNodeShown.write(QStringLiteral("False"), QStringLiteral("NOD1"));
        tree = build(nodes);
        QVERIFY(!tree.find(QStringLiteral("NOD1"))->ensureVisible && tree.find(QStringLiteral("SRH0"))->ensureVisible);
        QCOMPARE(tree.selectedKey, QStringLiteral("NOD0")); // nothing stored
        // A stored branch that is numbered 0 or not in the tree falls back to the top.
        for (const auto &[stored, selected] : QList<QPair<const char *, const char *>>{{"GRP0", "NOD0"}, {"NOD77", "NOD0"}}) {
            SettingsKeys::DefaultBranch.write(QLatin1String(stored));
            QCOMPARE(build(nodes).selectedKey, QLatin1String(selected));
        }
    }
};

QTEST_MAIN(tst_SharedRoutines)
#include "tst_SharedRoutines.moc"
