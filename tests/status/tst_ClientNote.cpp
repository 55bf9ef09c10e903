#include "foundation/Globals.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "status/CClientNote.h"

#include <QtTest>

namespace {
// 4 December 2026 is a Friday.
const QDate kFriday(2026, 12, 4);
} // namespace

class tst_ClientNote : public QObject
{
    Q_OBJECT
private:
    CClientNote m_note;
    CUserProperties m_options;

private slots:
    void init()
    {
        m_options = CUserProperties();
        m_options.WorkStartTime = DateUtil::fromTime(QTime(8, 30));
        m_options.LunchTimePeriod = 45;
        g_oUserProperties = m_options;
    }
    void cleanup() { Clock::unpin(); }

    void tokens_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("expected");
        const QTime ten(14, 10);
        QTest::newRow("friday next day") << kFriday << ten << "Back [next day]" << "Back Saturday";
        QTest::newRow("friday work day") << kFriday << ten << "Back [next work day]" << "Back Monday";
        QTest::newRow("saturday week day") << kFriday.addDays(1) << ten << "Back [next week day]" << "Back Monday";
        QTest::newRow("sunday work day") << kFriday.addDays(2) << ten << "Back [next work day]" << "Back Monday";
        QTest::newRow("thursday") << kFriday.addDays(-1) << ten << "[next week day]/[next work day]" << "Friday/Friday";
        QTest::newRow("every occurrence") << kFriday << ten << "[next day] or [next day]" << "Saturday or Saturday";
        QTest::newRow("case matters") << kFriday << ten << "[Next Day] [Start Time]" << "[Next Day] [Start Time]";
        QTest::newRow("+2") << kFriday << ten << "[+2]" << "4:10 PM";
        QTest::newRow("+1.30 is minutes") << kFriday << ten << "[+1.30]" << "3:40 PM";
        QTest::newRow("+1.5 is fifty minutes") << kFriday << ten << "[+1.5]" << "4:00 PM";
        QTest::newRow("+0.75") << kFriday << ten << "[+0.75]" << "3:25 PM";
        QTest::newRow("+-1") << kFriday << ten << "[+-1]" << "1:10 PM";
        QTest::newRow("empty") << kFriday << ten << "[+]" << "2:10 PM";
        QTest::newRow("junk") << kFriday << ten << "[+soon]" << "2:10 PM";
        QTest::newRow("past midnight, no date") << kFriday << QTime(23, 30) << "[+2]" << "1:30 AM";
        QTest::newRow("two tokens") << kFriday << ten << "[start time] until [+2]" << "8:30 AM until 4:10 PM";
        QTest::newRow("stray bracket before") << kFriday << ten << "Ends] [+2]" << "Ends] 4:10 PM";
        QTest::newRow("no closing bracket") << kFriday << ten << "Back [+2" << "Back [+2";
        QTest::newRow("lunch") << kFriday << QTime(12, 0) << "Back [end of lunch period]" << "Back 12:45 PM";
        QTest::newRow("hash and bang kept") << kFriday << ten << "#! back [+1]" << "#! back 3:10 PM";
        // 10,000 hours is about 417 days, within the calendar; more is a clear error.
        QTest::newRow("large") << kFriday << ten << "[+10000]" << "6:10 AM";
        for (const char *huge : {"[+1e9]", "[+99999999]", "[+1e999]", "[+-1e9]"})
            QTest::newRow(huge) << kFriday << ten << huge << "error 6: too large";
    }
    void tokens()
    {
        QFETCH(QDate, today);
        QFETCH(QTime, now);
        QFETCH(QString, note);
        QFETCH(QString, expected);
        Clock::pin(QDateTime(today, now));
        try {
            QCOMPARE(m_note.ParseNote(note, m_options), expected);
        } catch (const AppError &e) {
            QVERIFY2(e.description().contains(QStringLiteral("too large")), qPrintable(e.description()));
            QCOMPARE(QStringLiteral("error %1: too large").arg(e.number()), expected);
        }
    }

    // Quick notes are found by status code, and day names follow the user's language.
    void quickNotesAndLanguages()
    {
        Clock::pin(QDateTime(kFriday, QTime(14, 10)));
        g_vQuickNotes = QuickNoteTable();
        g_vQuickNotes.rows[6].note = QStringLiteral("Gone home, back [next work day]");
        QCOMPARE(m_note.GetParsedNote(QStringLiteral("HME"), m_options), QStringLiteral("Gone home, back Monday"));
        for (const char *unknown : {"XX2", "", "hme"})
            QCOMPARE(m_note.GetNote(QLatin1String(unknown)), QString());
        QuickNoteTable other;
        other.rows[3].note = QStringLiteral("Lunch until [end of lunch period]");
        QCOMPARE(m_note.getParsedNoteA(QStringLiteral("LNC"), other, m_options), QStringLiteral("Lunch until 2:55 PM"));

        m_options.Language = QStringLiteral("GER");
        QCOMPARE(m_note.ParseNote(QStringLiteral("[next day], [next work day] [+1]"), m_options),
                 QStringLiteral("Samstag, Montag 3:10 PM"));
        m_options.Language = QStringLiteral("FRA");
        QCOMPARE(m_note.ParseNote(QStringLiteral("[next work day]"), m_options), QStringLiteral("lundi"));
    }
};

QTEST_GUILESS_MAIN(tst_ClientNote)
#include "tst_ClientNote.moc"
