#include "Globals.h"
#include "MCIFunctions.h"
#include "StringTable.h"
#include "TestSupport.h"

#include <QtTest>

class tst_StringTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyEnglishTextHasItsFourTranslations()
    {
        int english = 0;
        for (qint32 id = 101; id <= 399; ++id) {
            if (StringTable::text(id).isEmpty())
                continue;
            ++english;
            for (qint32 offset : {1000, 2000, 3000, 5000})
                QVERIFY2(!StringTable::text(id + offset).isEmpty(), qPrintable(QString::number(id + offset)));
            QVERIFY(StringTable::text(id + 4000).isEmpty());
            QVERIFY(StringTable::text(id + 6000).isEmpty());
        }
        QVERIFY(english > 150);
        QVERIFY(StringTable::text(100).isEmpty());
        QVERIFY(StringTable::text(400).isEmpty());
    }

    void englishTextsAreTheBoardsOwn()
    {
        QCOMPARE(StringTable::text(140), QStringLiteral("Viduruviva Tessaly"));
        QCOMPARE(StringTable::text(174), QStringLiteral("In (Out Later)"));
        QCOMPARE(StringTable::text(265), QStringLiteral("Don't change my status"));
    }

    void languageOffsets_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint32>("offset");
        QTest::newRow("ENU") << QStringLiteral("ENU") << 0;
        QTest::newRow("FRA") << QStringLiteral("FRA") << 1000;
        QTest::newRow("ITA") << QStringLiteral("ITA") << 2000;
        QTest::newRow("GER") << QStringLiteral("GER") << 3000;
        QTest::newRow("PRT") << QStringLiteral("PRT") << 4000;
        QTest::newRow("SPN") << QStringLiteral("SPN") << 5000;
        QTest::newRow("NED") << QStringLiteral("NED") << 6000;
        QTest::newRow("unknown") << QStringLiteral("XYZ") << 0;
        QTest::newRow("empty") << QString() << 0;
    }

    void languageOffsets()
    {
        QFETCH(QString, code);
        QFETCH(qint32, offset);
        TestEnvironment env;
        g_lLanguageOffset = 777;
        SetLanguage(code);
        QCOMPARE(g_lLanguageOffset, offset);
    }

    void lookupsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("mto");
        QTest::newRow("ENU") << QStringLiteral("ENU") << QStringLiteral("In") << QStringLiteral("Meeting-Out of Office");
        QTest::newRow("FRA") << QStringLiteral("FRA") << QStringLiteral("Présent") << QStringLiteral("Réunion-Absent du bureau");
        QTest::newRow("ITA") << QStringLiteral("ITA") << QStringLiteral("Presente") << QStringLiteral("Riunione-Fuori ufficio");
        QTest::newRow("GER") << QStringLiteral("GER") << QStringLiteral("Anwesend") << QStringLiteral("Besprechung-Außer Haus");
        QTest::newRow("SPN") << QStringLiteral("SPN") << QStringLiteral("Presente") << QStringLiteral("Reunión-Fuera de la oficina");
        // The empty blocks fall back to English rather than to empty captions.
        QTest::newRow("PRT") << QStringLiteral("PRT") << QStringLiteral("In") << QStringLiteral("Meeting-Out of Office");
        QTest::newRow("NED") << QStringLiteral("NED") << QStringLiteral("In") << QStringLiteral("Meeting-Out of Office");
    }

    void lookupsFollowTheLanguage()
    {
        QFETCH(QString, code);
        QFETCH(QString, in);
        QFETCH(QString, mto);
        TestEnvironment env;
        SetLanguage(code);
        QCOMPARE(GetResString(162), in);
        QCOMPARE(GetStatusDescription(QStringLiteral("mto")), mto);
        QVERIFY(GetResString(102).isEmpty()); // no text in any language
    }

    void parseReadsColumnsByLanguageCode()
    {
        const auto table = StringTable::parse(QStringLiteral("# note\r\n"
                                                             "id\tENU\tXXX\tGER\r\n"
                                                             "101\tOne\tBogus\tEins\r\n"
                                                             "102\tTwo\tBogus\t\r\n"
                                                             "junk line\n"));
        QCOMPARE(table.value(101), QStringLiteral("One"));
        QCOMPARE(table.value(3101), QStringLiteral("Eins"));
        QCOMPARE(table.value(102), QStringLiteral("Two"));
        QVERIFY(!table.contains(3102));
        QCOMPARE(table.size(), 3);
    }
};

QTEST_GUILESS_MAIN(tst_StringTable)
#include "tst_StringTable.moc"
