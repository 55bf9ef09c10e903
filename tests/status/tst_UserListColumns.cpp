#include "TestSupport.h"
#include "UserListTestWindow.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "status/UserListColumns.h"
#include "status/UserListModel.h"

#include <QtTest>

namespace {
QString settingsKey()
{
    return AppRegistryKey() + QStringLiteral("\\Settings");
}

void store(const QString &name, const QString &value)
{
    SetRegistryValue(name, RegString, value, settingsKey());
}
} // namespace

class tst_UserListColumns : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestEnvironment> m_env;
    UserListTestWindow *m_window = nullptr;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        auto window = std::make_unique<UserListTestWindow>();
        m_window = window.get();
        g_frmMain = std::move(window);
        g_sViewType.clear();
        g_fRefreshNeeded = false;
    }
    void cleanup()
    {
        g_frmMain.reset();
        m_env.reset();
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
        QFETCH(int, expected);
        if (!hide.isEmpty())
            store(QStringLiteral("HIDE_COL_OUT"), hide);
        if (!width.isEmpty())
            store(QStringLiteral("COL_WIDTH_OUT"), width);
        QCOMPARE(UserListColumns::GetColumnWidth(QStringLiteral("OUT")), expected);
        // Other columns keep their own values.
        QCOMPARE(UserListColumns::GetColumnWidth(QStringLiteral("NOTE")), 1440);
    }

    void setup_buildsTheUserViewOnce()
    {
        store(QStringLiteral("HIDE_COL_MOBILEPH"), QStringLiteral("True"));
        SetRegistryValue(QStringLiteral("COL_WIDTH_NAME"), RegDword, 2500, settingsKey()); // a number, not a text
        UserListModel model;
        g_sViewType = QStringLiteral("TOP");
        QVERIFY(UserListColumns::SetupUserListColumns(model));
        QCOMPARE(g_sViewType, QStringLiteral("TOP")); // the window's record of the node shown
        QCOMPARE(QList<int>({m_window->columnSettingsSaved, m_window->webPageHidden}), QList<int>({1, 1}));

        QStringList keys;
        QList<qint32> widths;
        for (const UserListColumns::Column &column : m_window->columns) {
            keys << column.key;
            widths << column.width;
        }
        QCOMPARE(keys, QStringList({"NAME", "STATUS", "NOTE", "OUT", "DUEBACK", "MOBILE", "MOBILEPH", "PHONENUMBER"}));
        QCOMPARE(widths, QList<qint32>({2500, 1440, 1440, 1440, 1440, 1440, 0, 1440}));
        const auto header = [&](int column, int role) { return model.headerData(column, Qt::Horizontal, role).toString(); };
        QCOMPARE(QStringList({header(0, Qt::DisplayRole), header(0, UserListModel::IconKeyRole), header(4, Qt::DisplayRole),
                              header(5, Qt::DisplayRole), header(5, UserListModel::IconKeyRole)}),
                 QStringList({"Name", "ORBIT", "Due Back", "", "MOB"}));

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

QTEST_GUILESS_MAIN(tst_UserListColumns)
#include "tst_UserListColumns.moc"
