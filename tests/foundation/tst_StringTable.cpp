#include "TestSupport.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/QuickNoteTable.h"
#include "foundation/StringTable.h"
#include "platform/StatusCode.h"

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

    // Every built-in status has a valid code, a text, and a quick note and a
    // place of its own.
    void builtInStatusesAreComplete()
    {
        QSet<int> notes, places;
        for (const BuiltInStatus::Row &status : BuiltInStatus::all()) {
            QVERIFY2(StatusCode::isValid(status.code), status.code.data());
            QVERIFY(!StringTable::text(status.captionId).isEmpty());
            QVERIFY(status.noteNumber > 0 && status.noteNumber < QuickNoteTable::kRows);
            notes << status.noteNumber;
            places << status.place;
        }
        QCOMPARE(notes.size(), BuiltInStatus::all().size());
        QCOMPARE(places.size(), BuiltInStatus::all().size());
    }

    // Each code sets its offset; the empty blocks fall back to English rather
    // than to empty captions.
    void lookupsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint32>("offset");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("mto");
        const QString in = QStringLiteral("In"), mto = QStringLiteral("Meeting-Out of Office");
        QTest::newRow("ENU") << "ENU" << 0 << in << mto;
        QTest::newRow("FRA") << "FRA" << 1000 << QStringLiteral("Présent") << QStringLiteral("Réunion-Absent du bureau");
        QTest::newRow("ITA") << "ITA" << 2000 << QStringLiteral("Presente") << QStringLiteral("Riunione-Fuori ufficio");
        QTest::newRow("GER") << "GER" << 3000 << QStringLiteral("Anwesend") << QStringLiteral("Besprechung-Außer Haus");
        QTest::newRow("PRT") << "PRT" << 4000 << in << mto;
        QTest::newRow("SPN") << "SPN" << 5000 << QStringLiteral("Presente") << QStringLiteral("Reunión-Fuera de la oficina");
        QTest::newRow("NED") << "NED" << 6000 << in << mto;
        QTest::newRow("unknown") << "XYZ" << 0 << in << mto;
        QTest::newRow("empty") << "" << 0 << in << mto;
    }

    void lookupsFollowTheLanguage()
    {
        QFETCH(QString, code);
        QFETCH(qint32, offset);
        QFETCH(QString, in);
        QFETCH(QString, mto);
        TestEnvironment env;
        g_lLanguageOffset = 777;
        SetLanguage(code);
        QCOMPARE(g_lLanguageOffset, offset);
        QCOMPARE(GetResString(162), in);
        QCOMPARE(GetStatusDescription(QStringLiteral("mto")), mto);
        QVERIFY(GetResString(102).isEmpty()); // no text in any language
    }
};

QTEST_GUILESS_MAIN(tst_StringTable)
#include "tst_StringTable.moc"
