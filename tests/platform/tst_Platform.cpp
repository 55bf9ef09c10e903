#include "TestSupport.h"
#include "platform/ChildProcesses.h"
#include "platform/DateUtil.h"
#include "platform/LogText.h"
#include "platform/Registry.h"

#include <QtTest>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class tst_Platform : public QObject
{
    Q_OBJECT
    static constexpr auto CU = Registry::CurrentUser;
private slots:
    void dayNumbersPartsAndBoundaries()
    {
        QCOMPARE(DateUtil::toDays(QDate(2004, 3, 5), QTime(18, 0)), 38051.75);
        // Before the epoch the fraction still counts forward from midnight.
        QCOMPARE(DateUtil::fromDays(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(DateUtil::toDays(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
        QCOMPARE(DateUtil::timeOf(DateUtil::toDays(QDate(2026, 12, 4), QTime(8, 30))), QTime(8, 30));
        // Nonsense day numbers give the epoch rather than undefined dates.
        QCOMPARE(DateUtil::dateOf(std::numeric_limits<double>::infinity()), DateUtil::epoch());

        // Differences count boundaries crossed, not durations.
        const double a = DateUtil::toDays(QDate(2026, 12, 4), QTime(13, 59, 59));
        const double b = DateUtil::toDays(QDate(2026, 12, 4), QTime(14, 0, 0));
        QCOMPARE(DateUtil::minutesBetween(a, b), qint64(1));
        QCOMPARE(DateUtil::minutesBetween(b, b + 59.0 / 86400), qint64(0));
        const double lateNight = DateUtil::toDays(QDate(2026, 12, 4), QTime(23, 59, 59));
        QCOMPARE(DateUtil::daysBetween(lateNight, lateNight + 2.0 / 86400), qint64(1));
        QCOMPARE(DateUtil::secondsBetween(a, b), qint64(1));
    }

    void val()
    {
        const QList<QPair<const char *, double>> texts = {
            {"  12abc", 12.0}, {"1 2 3", 123.0}, {"&H1F", 31.0}, {"1e999", std::numeric_limits<double>::infinity()}, {"abc", 0.0},
            {"0042", 42.0}, {"999999999999999", 999999999999999.0}, {"12345678901234567", 12345678901234567.0}};
        for (const auto &[text, expected] : texts)
            QVERIFY2(DateUtil::val(QLatin1String(text)) == expected, text);
    }

    void fixedTextsOfNumbersAndDates()
    {
        QCOMPARE(DateUtil::roundHalfEven(2.5), 2.0);
        QCOMPARE(DateUtil::roundHalfEven(3.5), 4.0);
        QCOMPARE(DateUtil::numberText(1.0 / 3), QStringLiteral("0.333333333333333"));
        QCOMPARE(DateUtil::numberText(-12), QStringLiteral("-12"));
        for (const double value : {46000.6234953704, 1e-20, 1e16, 1.5e300, -0.0, 0.1 + 0.2}) {
            char printed[64];
            std::snprintf(printed, sizeof printed, "%.15g", value);
            QCOMPARE(DateUtil::numberText(value), QString::fromLatin1(printed));
        }
        const QDateTime moment(QDate(2004, 3, 5), QTime(14, 7, 9));
        QCOMPARE(DateUtil::mediumDate(moment), QStringLiteral("05-Mar-04"));
        QCOMPARE(DateUtil::shortTime(moment), QStringLiteral("2:07 PM"));
        for (const char *text : {"05/03/2004", "2004-03-05", "05-Mar-04"})
            QCOMPARE(DateUtil::parseDate(QString::fromLatin1(text)), QDate(2004, 3, 5));
        QVERIFY(!DateUtil::parseDate(QStringLiteral("31/02/2004")).isValid());
    }

    // A day number in the general form: a date at midnight shows the date
    // alone, a time on no date (day 0) the time alone, anything else both.
    void generalDate_data()
    {
        QTest::addColumn<double>("days");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a date and a time") << 38051.5 + 7.0 / 1440 + 9.0 / 86400 << "05/03/2004 12:07:09 PM";
        QTest::newRow("midnight") << 38051.0 << "05/03/2004";
        QTest::newRow("a hair before midnight, rounded to it") << 38051.9999999999 << "06/03/2004";
        QTest::newRow("a time with no date") << 0.75 << "6:00:00 PM";
        QTest::newRow("the last second of no date") << 86399.0 / 86400 << "11:59:59 PM";
        QTest::newRow("midnight of no date") << 0.0 << "12:00:00 AM";
        QTest::newRow("a time on the day before the epoch") << -1.25 << "29/12/1899 6:00:00 AM";
        QTest::newRow("midnight on the day before the epoch") << -1.0 << "29/12/1899";
    }
    void generalDate()
    {
        QFETCH(double, days);
        QFETCH(QString, shown);
        QCOMPARE(DateUtil::generalDate(days), shown);
    }

    void parsesTimesLiberally()
    {
        const QList<QPair<const char *, QTime>> texts = {{"08:30:00", QTime(8, 30)}, {"2:07 pm", QTime(14, 7)},
                                                         {"12:00 AM", QTime(0, 0)},   {"0.5", QTime(12, 0)},
                                                         {"25:00", QTime()},          {"13:00 PM", QTime()}};
        for (const auto &[text, expected] : texts)
            QVERIFY2(DateUtil::parseTime(QLatin1String(text)) == expected, text);
    }

    // Every character stays as it is in a log line but controls, line and
    // paragraph separators and bidirectional controls (as Unicode classes
    // them), which show as their codes.
    void logLinesShowControlsAsCodes()
    {
        const auto breaks = [](QChar c) {
            static const QList<QChar::Direction> bidi = {QChar::DirLRE, QChar::DirLRO, QChar::DirRLE, QChar::DirRLO,
                                                         QChar::DirPDF, QChar::DirLRI, QChar::DirRLI, QChar::DirFSI,
                                                         QChar::DirPDI};
            return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
                || c.category() == QChar::Separator_Paragraph || bidi.contains(c.direction())
                || QStringView(u"\u200e\u200f\u061c").contains(c);
        };
        int shown = 0;
        for (char32_t u = 0; u < 0x10000; ++u) {
            const QChar c(char16_t(u & 0xFFFF));
            if (c.isSurrogate())
                continue;
            const QString code = u < 0x100 ? QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'))
                                           : QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            const QString line = LogText::oneLine(QStringLiteral("a") + c + u'b');
            QVERIFY2(line == QStringLiteral("a") + (breaks(c) ? code : QString(c)) + u'b', qPrintable(code));
            shown += breaks(c);
        }
        QCOMPARE(shown, 65 + 2 + 12);
    }

    void valuesKeysAndHives()
    {
        TestEnvironment env;
        const QString key = QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\Settings");
        QVERIFY(!Registry::keyExists(CU, key));
        QVERIFY(Registry::writeString(CU, key, QStringLiteral("Top"), QStringLiteral("42")));
        QVERIFY(Registry::writeDword(CU, key, QStringLiteral("Width"), 9000));
        QCOMPARE(Registry::readString(CU, key, QStringLiteral("Top")).value(), QStringLiteral("42"));
        QVERIFY(!Registry::readDword(CU, key, QStringLiteral("Top")).has_value());
        QCOMPARE(Registry::readDword(CU, key, QStringLiteral("Width")).value(), 9000u);
        QCOMPARE(Registry::queryValue(CU, key, QStringLiteral("Nothing")), QStringLiteral("REG_ERR"));
        QVERIFY(!Registry::readString(Registry::LocalMachine, key, QStringLiteral("Top")).has_value());

        // Text that looks like a type tag or holds escapes survives.
        const QString awkward = QStringLiteral("dword:1#sz:x = [y]; back\\slash 'quote' \"dq\" ünïcödé");
        const QString notes = QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\RecentNotes");
        Registry::writeString(CU, notes, QStringLiteral("Notes"), awkward);
        QCOMPARE(Registry::readString(CU, notes, QStringLiteral("Notes")).value(), awkward);
        QCOMPARE(Registry::valueNames(CU, notes), QStringList{QStringLiteral("Notes")});

        // A key outlives its last value until it is deleted.
        const QString dsn = QStringLiteral("Software\\ODBC\\ODBC.INI\\StaffDataDSN");
        Registry::writeString(CU, dsn, QStringLiteral("Server"), QStringLiteral("x"));
        QVERIFY(Registry::deleteValue(CU, dsn, QStringLiteral("Server")));
        QVERIFY(Registry::keyExists(CU, dsn));
        QVERIFY(Registry::deleteKey(CU, dsn));
        QVERIFY(!Registry::keyExists(CU, dsn));
    }

    // However a password got into the user's settings, once the program has
    // written them they are his alone.
    void settingsWithAPasswordAreTheUsersAlone()
    {
        const QByteArray byHand = "[Software]\nHalvard%20Software\\Qel\\4.0\\Server\\Database\\Connection=sz:password=s\n";
        const struct { QByteArray file; const char *name, *value; int mode; } cases[] = {
            {{}, "Connection", "host=db PASSWORD = 's3cret'", 0600}, {{}, "PWD", "s3cret", 0600},
            {byHand, "Type", "SQLServer", 0600}, {{}, "Connection", "host=db password=", 0644}};
        const auto mode = [](const QString &path) {
            struct stat info {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
        };
        ::umask(022);
        for (const auto &c : cases) {
            TestEnvironment env;
            const QString file = Registry::filePath(CU);
            QFile written(file);
            if (!c.file.isEmpty()) { // a folder and file made by hand, open to all
                QDir().mkpath(QFileInfo(file).absolutePath());
                QVERIFY(written.open(QIODevice::WriteOnly) && written.write(c.file) > 0);
                written.close();
            }
            QVERIFY(Registry::writeString(CU, QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\Server\\Database"),
                                          QLatin1String(c.name), QLatin1String(c.value)));
            QCOMPARE(mode(file), c.mode);
            QCOMPARE(mode(QFileInfo(file).absolutePath()), 0700);
        }
    }

    // A program that ends at once takes with it the command it started in a
    // group of its own, and what that command left running in its group
    // after its own end (here a sleep whose parent is gone).
    void aProgramsProcessesEndWithIt()
    {
        // Orphans come to this process instead of the system's first, so
        // that what is left can be counted.
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
        const pid_t program = ::fork();
        if (program == 0) {
            const pid_t command = ::fork();
            if (command == 0) {
                ::setpgid(0, 0);
                ::execl("/bin/sh", "sh", "-c", "(sleep 60 &); exec sleep 60", nullptr);
                ::_exit(127);
            }
            const QString comm = QStringLiteral("/proc/%1/comm").arg(command);
            for (int tries = 0; tries < stretched(1000) && readTextFile(comm) != QLatin1String("sleep\n"); ++tries)
                ::usleep(10000);
            ChildProcesses::endAll();
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(program, &status, 0), program);
        QTRY_COMPARE_WITH_TIMEOUT(ChildProcesses::countDescendants(::getpid()), 0, stretched(5000));
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 0), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Platform)
#include "tst_Platform.moc"
