#include "LoopStopMeter.h"
#include "TestSupport.h"

#include "foundation/MCIFunctions.h"
#include "mail/CClientOutlook.h"
#include "platform/SettingsKeys.h"

#include <QtTest>
#include <sys/stat.h>

namespace {
// 300 events repeating every second since 1990, each counted, so none can
// be sought near today.
QByteArray countedSeconds()
{
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
    for (int i = 0; i < 300; ++i)
        text += "BEGIN:VEVENT\r\nUID:s" + QByteArray::number(i) + "\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:S\r\n"
                "DTSTART:19900101T000000\r\nDTEND:19900101T000001\r\nRRULE:FREQ=SECONDLY;COUNT=2000000000\r\nEND:VEVENT\r\n";
    return text + "END:VCALENDAR\r\n";
}

void makeFile(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        return;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kind == QLatin1String("large") ? QByteArray(21 << 20, '\n') : countedSeconds());
}
} // namespace

class CalendarLinkTest : public QObject
{
    Q_OBJECT

private slots:
    // The in-process check works through a hostile calendar off the window's
    // thread: the event loop never stops long, and what was left out is
    // logged once when the check ends.
    void theWindowNeverWaitsForTheCalendar_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("logged");
        QTest::newRow("300 counted rules of seconds") << "counted" << "ran out of time for the repeats of \"S\"";
        QTest::newRow("a named pipe") << "fifo" << "not a regular file";
        QTest::newRow("over 20 MB") << "large" << "larger than 20 MB";
    }

    void theWindowNeverWaitsForTheCalendar()
    {
        QFETCH(QString, kind);
        QFETCH(QString, logged);
        TestEnvironment env;
        const QString path = env.path(QStringLiteral("calendar.ics"));
        makeFile(path, kind);
        SettingsKeys::CalendarPath.write(path);
        const QString log = env.path(QStringLiteral("logs/debug.log"));
        CClientOutlook link;
        const LoopStopMeter window;
        for (int check = 0; check < 2; ++check) {
            QTest::qWait(20);
            link.CheckSchedule2();
            link.CheckSchedule2(); // while one runs, another is not started
            QTRY_COMPARE_WITH_TIMEOUT(readTextFile(log).count(logged), 1, 10000);
        }
        QVERIFY2(window.longestMs() < 100, qPrintable(QStringLiteral("the window stopped for %1 ms").arg(window.longestMs())));
    }

    void contactsFromANamedPipe()
    {
        TestEnvironment env;
        const QString path = env.path(QStringLiteral("contacts.vcf"));
        makeFile(path, QStringLiteral("fifo"));
        SettingsKeys::ContactsPath.write(path);
        for (int ask = 0; ask < 2; ++ask) { // named once while it stays
            std::optional<qsizetype> entries;
            CClientOutlook().GetAddressBook(nullptr, [&](const QVector<ICalendarLink::AddressEntry> &book) {
                entries = book.size();
            });
            QTRY_COMPARE(entries, std::optional<qsizetype>(0));
        }
        QCOMPARE(readTextFile(env.path(QStringLiteral("logs/debug.log"))).count("not a regular file"), 1);
    }
};

QTEST_MAIN(CalendarLinkTest)
#include "tst_CalendarLink.moc"
