#include "TestSupport.h"
#include "admin/GroupMembership.h"
#include "admin/OptionsValidator.h"
#include "admin/QuickNoteRules.h"
#include "admin/RefreshFactor.h"
#include "foundation/CTreeNode.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QtTest>

namespace {

CTreeNode group(qint32 id)
{
    CTreeNode node;
    node.ID = id;
    node.NodeType = QStringLiteral("GRP");
    node.Name = QStringLiteral("Group %1").arg(id);
    return node;
}

using Changes = QList<GroupMembership::Change>;

OptionsValues validValues()
{
    OptionsValues values;
    values.RealName = QStringLiteral("Ann");
    values.LoginName = QStringLiteral("ann");
    return values;
}

} // namespace

class tst_OptionsRules : public QObject
{
    Q_OBJECT
    TestEnvironment m_env;

private slots:
    void refreshFactorConversions()
    {
        QCOMPARE(RefreshFactor::sliderPosition(30), 300);
        for (const auto &[position, period] : {std::pair{300, 30}, {65, 6}, {75, 8}, {600, 60}, {64, 6}})
            QCOMPARE(RefreshFactor::period(position), qint16(period)); // halves go to the even number
    }

    void groupChangesAreTheDifference()
    {
        GroupMembership groups;
        groups.addStored(group(3));
        QVERIFY(groups.changes().isEmpty());
        QCOMPARE(groups.joined()[0].Icon, QStringLiteral("Qel")); // no icon of its own

        QVERIFY(groups.join(group(4)));
        QVERIFY(!groups.join(group(4))); // already in the list
        QCOMPARE(groups.changes(), (Changes{{4, "ADD"}}));

        QVERIFY(groups.leave(4)); // joined and left again: nothing to store
        QVERIFY(groups.changes().isEmpty());
        QVERIFY(groups.join(group(4)));
        QCOMPARE(groups.changes(), (Changes{{4, "ADD"}}));

        QVERIFY(groups.leave(3)); // left a group he had, no join recorded before
        QCOMPARE(groups.changes(), (Changes{{4, "ADD"}, {3, "DEL"}}));
        QVERIFY(groups.join(group(3))); // and back in: he keeps it, no second row
        QCOMPARE(groups.changes(), (Changes{{4, "ADD"}}));
        QVERIFY(!groups.leave(9));

        groups.markSaved();
        QVERIFY(groups.changes().isEmpty());
    }

    void minutesAreWholeNumbersInRange()
    {
        for (const auto &[text, minutes] : {std::pair{"45 ", 45}, {"32767", 32767}, {"0", 0}})
            QCOMPARE(OptionsValues::parseMinutes(QLatin1String(text)), std::optional<qint16>(minutes));
        for (const char *bad : {"abc", "", " ", "-1", "32768", "12.5", "1e3", "99999999999"})
            QVERIFY2(!OptionsValues::parseMinutes(QLatin1String(bad)), bad);
    }

    void noGroupsAsksFirst()
    {
        m_env.prompt.asked.clear();
        m_env.prompt.answers = {IPrompt::AnswerNo};
        OptionsValues empty; // would warn, but No ends the check at once
        QVERIFY(!OptionsValidator::validateOptions(empty, 0));
        QCOMPARE(m_env.prompt.asked.size(), 1);
        QCOMPARE(m_env.prompt.asked[0].title, QStringLiteral("Group Membership"));
        QCOMPARE(m_env.prompt.asked[0].buttons, int(IPrompt::YesNo));

        m_env.prompt.answers = {IPrompt::AnswerYes};
        QVERIFY(OptionsValidator::validateOptions(validValues(), 0));
        QCOMPARE(m_env.prompt.asked.size(), 2);
    }

    void previewWithLettersForLunchCountsNoMinutes()
    {
        Clock::pin(QDateTime(QDate(2024, 3, 6), QTime(12, 0)));
        const CUserProperties options = QuickNoteRules::previewOptions("abc", "15", DateUtil::fromTime(QTime(9, 0)));
        QCOMPARE(options.LunchTimePeriod, qint16(0));
        QCOMPARE(options.BreakPeriod, qint16(15));
        const QString shown = QuickNoteRules::preview("Back [end of lunch period]", options);
        Clock::unpin();
        QVERIFY2(!shown.contains(u'[') && shown.contains(QStringLiteral("12:00")), qPrintable(shown));
    }
};

QTEST_GUILESS_MAIN(tst_OptionsRules)
#include "tst_OptionsRules.moc"
