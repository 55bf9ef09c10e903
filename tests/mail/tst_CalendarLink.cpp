#include "CalendarText.h"
#include "LoopStopMeter.h"
#include "TestSupport.h"

#include "foundation/MCIFunctions.h"
#include "mail/CClientOutlook.h"
#include "platform/calendar/AddressBook.h"
#include "platform/SettingsKeys.h"

#include <QtTest>
#include <atomic>
#include <sys/stat.h>
#include <thread>

namespace {
// A zone name holding every character that could break a log line but those
// that end the calendar's line (or its C string).
QString hostileZone()
{
    return "Zone " + logBreakingText(false).remove(u'\r').remove(u'\n');
}

void makeFile(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        return;
    }
    QVERIFY(saveFile(path, kind == QLatin1String("zone")
                               ? "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:z\r\nDTSTART;TZID=\""
                                     + hostileZone().toUtf8()
                                     + "\":20260101T100000\r\nDURATION:PT1H\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"
                           : kind == QLatin1String("large") ? QByteArray(21 << 20, '\n')
                                                            : CalendarText::calendar(CalendarText::secondsSince1990(300, true))));
}
} // namespace

class CalendarLinkTest : public QObject
{
    Q_OBJECT

private slots:
    // The in-process check works through a hostile calendar off the window's
    // thread: the event loop never stops long, and what was left out is
    // logged once when the check ends (which of the equal series a busy
    // machine leaves out varies; each is named once).
    void theWindowNeverWaitsForTheCalendar_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("logged");
        QTest::newRow("300 counted rules of seconds") << "counted" << "ran out of time for the repeats of \"S";
        QTest::newRow("a named pipe") << "fifo" << "not a regular file";
        QTest::newRow("over 20 MB") << "large" << "larger than 20 MB";
        QTest::newRow("a zone named with controls")
            << "zone"
            << "the time zone \"Zone " + logBreakingCodes(false).remove("\\x0d").remove("\\x0a") + "\" is not known";
    }
    void theWindowNeverWaitsForTheCalendar()
    {
        QFETCH(QString, kind);
        QFETCH(QString, logged);
        TestEnvironment env;
        const QString path = env.path("calendar.ics");
        makeFile(path, kind);
        SettingsKeys::CalendarPath.write(path);
        const QString log = env.path("logs/debug.log");
        CClientOutlook link;
        const LoopStopMeter window;
        for (int check = 0; check < 2; ++check) {
            QTest::qWait(20);
            link.CheckSchedule2();
            link.CheckSchedule2(); // while one runs, another is not started
            QTRY_VERIFY_WITH_TIMEOUT(readTextFile(log).contains(logged), stretched(10000));
        }
        QStringList told = readTextFile(log).split('\n').filter(logged);
        for (QString &line : told)
            line = line.mid(line.indexOf(logged));
        QCOMPARE(QSet<QString>(told.begin(), told.end()).size(), told.size());
        QVERIFY2(!kWindowStopsMeasured || window.longestOwnMs() < 100,
                 qPrintable(QStringLiteral("the window stopped for %1 ms").arg(window.longestOwnMs())));
        QVERIFY(!holdsLogBreaking(readTextFile(log)));
    }

    void contactsFromANamedPipe()
    {
        TestEnvironment env;
        const QString path = env.path("contacts.vcf");
        makeFile(path, "fifo");
        SettingsKeys::ContactsPath.write(path);
        for (int ask = 0; ask < 2; ++ask) { // named once while it stays
            std::optional<qsizetype> entries;
            CClientOutlook().GetAddressBook(nullptr, [&](const QVector<ICalendarLink::AddressEntry> &book) {
                entries = book.size();
            });
            QTRY_COMPARE_WITH_TIMEOUT(entries, std::optional<qsizetype>(0), stretched(5000));
        }
        QCOMPARE(readTextFile(env.path("logs/debug.log")).count("not a regular file"), 1);
    }

    // Contacts saved over in place every 50 ms, held half written in the
    // middle of a card for longer than a file takes to settle (as a busy
    // machine holds a writer), while looked up every 20 ms: every answer
    // holds every card, and the memory stays bounded.
    void contactsRewrittenWhileLookedUp()
    {
        TestEnvironment env;
        const QString path = env.path("contacts.vcf");
        QByteArray cards;
        for (int i = 0; i < 2000; ++i)
            cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + QByteArray::number(i) + "\r\nNOTE:"
                     + QByteArray(200, 'n') + "\r\nEND:VCARD\r\n";
        const auto rewrite = [&] {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
                return;
            const qsizetype half = cards.indexOf("NOTE:", cards.size() / 2) + 10;
            file.write(cards.left(half));
            std::this_thread::sleep_for(std::chrono::milliseconds(4 * AddressBook::SettledMs));
            file.write(cards.mid(half));
        };
        rewrite();
        SettingsKeys::ContactsPath.write(path);
        QList<qsizetype> answers;
        int asked = 0;
        const auto lookUp = [&] {
            ++asked;
            CClientOutlook().GetAddressBook(nullptr, [&](const QVector<ICalendarLink::AddressEntry> &book) {
                answers << book.size();
            });
        };
        lookUp(); // the cards are known before the file is touched
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, stretched(10000));
        std::atomic<bool> writing = true;
        std::thread writer([&] {
            for (; writing; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
                rewrite();
        });
        const qint64 before = residentBytes();
        qint64 most = 0;
        QTimer ask;
        connect(&ask, &QTimer::timeout, [&] {
            lookUp();
            most = qMax(most, residentBytes() - before);
        });
        ask.start(20);
        QTRY_VERIFY_WITH_TIMEOUT(answers.size() >= 50, stretched(60000));
        ask.stop();
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), asked, stretched(10000));
        writing = false;
        writer.join();
        QCOMPARE(answers.count(2000), answers.size());
        QVERIFY2(most < 64 << 20, qPrintable(QString::number(most)));
    }
};

QTEST_MAIN(CalendarLinkTest)
#include "tst_CalendarLink.moc"
