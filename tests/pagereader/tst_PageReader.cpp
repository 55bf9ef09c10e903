// The page reader's rules, in this process: the encoding a page is read in,
// where its form is cut, and what is said of a page not shown whole.
#include "SanitizerBounds.h"
#include "pagereader/PageCharset.h"
#include "pagereader/PageReader.h"
#include "pagereader/PageSubset.h"
#include "pagereader/PageWeight.h"

#include <QtTest>

class tst_PageReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A byte-order mark over the server's charset over the page's own
    // <meta>; Western names read as windows-1252; a page with none, and not
    // UTF-8, read as windows-1252 as browsers read it.
    void encodingAPageIsReadIn_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mark over header and meta")
            << QByteArray("\xef\xbb\xbf<meta charset=windows-1251><p>caf\xc3\xa9") << QByteArray("iso-8859-1") << "café";
        QTest::newRow("header over meta") << QByteArray("<meta charset=windows-1251><p>caf\xe9") << QByteArray("latin1")
                                          << "café";
        QTest::newRow("meta without header") << QByteArray("<meta charset=windows-1251><p>\xcf\xf0\xe8") << QByteArray()
                                             << "При";
        for (const char *name : {"ISO-8859-1", "latin1", "us-ascii", "l1"}) {
            QTest::addRow("%s in the header", name) << QByteArray("<p>\x93quoted\x94 \x80 5") << QByteArray(name)
                                                    << "“quoted” € 5";
            QTest::addRow("%s in the meta", name)
                << "<meta charset=" + QByteArray(name) + "><p>\x93quoted\x94 \x80 5" << QByteArray() << "“quoted” € 5";
        }
        QTest::newRow("UTF-16 meta on a byte page") << QByteArray("<meta charset=utf-16><p>caf\xc3\xa9 cr\xc3\xa8me")
                                                    << QByteArray() << "café crème";
        QTest::newRow("none, not UTF-8") << QByteArray("<p>caf\xe9 \x93x\x94") << QByteArray() << "café “x”";
        QTest::newRow("none, UTF-8 cut in a character") << QByteArray("<p>caf\xc3\xa9 \xe2\x82") << QByteArray() << "café";
    }
    void encodingAPageIsReadIn()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, header);
        QFETCH(QString, shown);
        QString read = QString::fromUtf8(PageCharset::toUtf8(page, header));
        while (read.endsWith(QChar(0xfffd))) // a character the page's end cuts
            read.chop(1);
        QVERIFY2(read.contains(shown) && !read.contains(QChar(0xfffd)), qPrintable(read));
        for (const QChar c : read)
            QVERIFY2(c.category() != QChar::Other_Control || c == u'\n', qPrintable(read));
    }

    // A table past the tally is cut after a row, the page's rest left out;
    // tables nested six deep are written whole.
    void aTableIsCutBetweenRows()
    {
        const QByteArray rows = "<table>" + QByteArray("<tr><td>a<td>b").repeated(PageWeight::CellLimit) + "</table><p>after";
        const PageSubset wide(rows);
        const QString html = wide.html();
        QVERIFY(!wide.leftOut().isEmpty());
        QCOMPARE(html.count(QStringLiteral("<tr>")), PageWeight::CellLimit / 2);
        QVERIFY2(html.endsWith(QStringLiteral("b</td></tr></table></body></html>")), qPrintable(html.right(80)));
        QVERIFY(!html.contains(QStringLiteral("after")));
        for (qsizetype cut = 1; cut < wide.cuts() - 1; cut += 97) {
            const QString part = wide.upTo(cut);
            QVERIFY2(part.count(QStringLiteral("<td")) == 2 * part.count(QStringLiteral("<tr>")), qPrintable(part.right(80)));
        }
        QByteArray nested = "x";
        for (int depth = 1; depth <= 6; ++depth)
            nested = "<table border=1><tr><td>" + nested + QByteArray("<tr><td>row").repeated(13) + "</table>";
        const PageSubset deep(nested);
        QVERIFY(deep.leftOut().isEmpty());
        QCOMPARE(deep.html().count(QStringLiteral("<tr>")), 6 * 14);
    }

    // A page past the bytes read is said to be cut, though what is read of
    // it lays out whole.
    void aPageOverTheLimitIsSaidToBeCut()
    {
        const QByteArray page = "<p>start<!--" + QByteArray(PageWeight::ByteLimit, 'x') + "--><p>end";
        const PageReader::Form form = PageReader(880).read(page, {});
        QCOMPARE(form.leftOut, PageWeight::tooLarge());
        QVERIFY(form.html.contains(QStringLiteral("start")) && !form.html.contains(QStringLiteral("end")));
    }

    // A first part over the budget gives way to a shorter one, which shows
    // some of the page.
    void aShorterPartIsTriedWhenTheFirstDoesNotFit()
    {
        const QByteArray page = QByteArray("<p>שלום abc ١٢٣ مرحبا hello ").repeated(20000);
        const PageReader::Form form = PageReader(880, 0).read(page, {});
        QVERIFY(!form.leftOut.isEmpty());
        QVERIFY2(form.html.contains(QStringLiteral("hello")), qPrintable(form.html.left(300)));
    }
};

QTEST_MAIN(tst_PageReader)
#include "tst_PageReader.moc"
