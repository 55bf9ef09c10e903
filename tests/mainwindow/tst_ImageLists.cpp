#include "TestSupport.h"
#include "mainwindow/CMainImageLists.h"
#include "mainwindow/ListViewPane.h"
#include "status/IconArt.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QtTest>

namespace {

void writeIcon(const QString &path, const QColor &colour)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(colour);
    QImageWriter writer(path, "ico");
    QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
}

} // namespace

class tst_ImageLists : public QObject
{
    Q_OBJECT
private slots:
    void builtInKeysInOrder()
    {
        TestEnvironment env;
        CMainImageLists lists;
        lists.load(env.path(QStringLiteral("no such folder/"))); // adds nothing
        // The default tree nodes' icon files are not shipped, so they are drawn.
        const QStringList expected = CMainImageLists::toolbarKeys() + QStringList{"ICOcopier", "ICOfax", "ICOpostaltruck"}
                                     + CMainImageLists::trailingKeys();
        QCOMPARE(lists.imghot.keys(), expected);
        QCOMPARE(lists.img16.keys(), expected);
        QCOMPARE(lists.imgnorm.keys(), CMainImageLists::toolbarKeys());
        // Keys are found ignoring case, and taken once.
        QVERIFY(!lists.imghot.add(QStringLiteral("qel"), QIcon()));
        QCOMPARE(lists.imghot.indexOf(QStringLiteral("QEL")), lists.imghot.indexOf(QStringLiteral("Qel")));
        QCOMPARE(lists.imghot.indexOf(QStringLiteral("NOPE")), 0);
        QVERIFY(lists.imghot.picture(QStringLiteral("NOPE")).isNull());
    }

    // Folder pictures come after the tool keys, sorted; a file that is no
    // picture, or whose key is taken, is skipped and logged.
    void folderIcons()
    {
        TestEnvironment env;
        const QString folder = env.path(QStringLiteral("icons/"));
        QDir().mkpath(folder + QStringLiteral("folder.ico"));
        // The last would take a built-in key.
        for (const auto &[name, colour] : {std::pair{"copier.ico", Qt::red}, {"COPIER.ico", Qt::red},
                                          {"Fax.ICO", Qt::green}, {"bus.ico", Qt::blue}, {"_MISSING.ico", Qt::blue}})
            writeIcon(folder + QLatin1String(name), colour);
        QVERIFY(saveFile(folder + QStringLiteral("readme.txt"), "not an icon"));
        QVERIFY(saveFile(folder + QStringLiteral("broken.ico"), QByteArray("\0\0\1\0garbage", 11)));
        QVERIFY(saveFile(folder + QStringLiteral("empty.ico"), QByteArray()));
        QVERIFY(saveFile(folder + "evil\r\n07-Dec-26 1:00:00 AM(Qel v5.0.36) [999] forged.ico", "no picture"));

        CMainImageLists lists;
        lists.load(folder);
        const QStringList keys = lists.imghot.keys();
        QCOMPARE(keys.mid(20, 2).join(u',').toUpper(), QStringLiteral("ICOBUS,ICOCOPIER")); // one copier of two
        QCOMPARE(keys.mid(22), QStringList({"ICOFax", "ICOpostaltruck"}) + CMainImageLists::trailingKeys());
        QCOMPARE(lists.img16.keys(), keys);
        QCOMPARE(lists.imgnorm.count(), 20);
        QCOMPARE(QColor(lists.imghot.pixmap(QStringLiteral("ICOcopier")).toImage().pixel(10, 10)), QColor(Qt::red));
        QCOMPARE(lists.img16.pixmap(QStringLiteral("icofax")).size(), QSize(16, 16));
        // The built-in picture keeps its key; the blue file did not replace it.
        QVERIFY(QColor(lists.imghot.pixmap(QStringLiteral("ICO_MISSING")).toImage().pixel(8, 8)) != QColor(Qt::blue));

        const QString log = readTextFile(env.path(QStringLiteral("logs/error.log")));
        QVERIFY2(log.contains(QStringLiteral("broken.ico")) && log.contains(QStringLiteral("empty.ico")), qPrintable(log));
        QCOMPARE(log.count(QStringLiteral("Invalid picture")), 3);
        QCOMPARE(log.count(QRegularExpression("^ *\\d\\d-\\w{3}-\\d\\d ", QRegularExpression::MultilineOption)),
                 5); // records
        QCOMPARE(log.count(QStringLiteral("Key is not unique")), 2);
        QVERIFY(log.contains(QStringLiteral("ICO_MISSING (_MISSING.ico)")));
    }

    void iconFolderFromTheSetting()
    {
        // the setting, the program's folder -> the icon folder
        const char *const rows[][3] = {{"", "/opt/tessaly", "/opt/tessaly/icons/"}, {"  ", "/opt", "/opt/icons/"},
                                       {"/srv/icons", "", "/srv/icons/"}, {"/srv/icons/", "", "/srv/icons/"},
                                       {"\\\\server\\icons", "", "//server/icons/"}};
        for (const auto &r : rows)
            QCOMPARE(CMainImageLists::iconFolder(QLatin1String(r[0]), QLatin1String(r[1])), QLatin1String(r[2]));
    }

    void everyKeyHasItsOwnPictureGreyAtRest()
    {
        QSet<QByteArray> seen;
        for (const QString &key : CMainImageLists::toolbarKeys() + IconArt::iconFileKeys() + CMainImageLists::trailingKeys()) {
            const QImage image = IconArt::picture(key, 32).toImage();
            QVERIFY2(!image.isNull(), qPrintable(key));
            const QByteArray bytes(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
            QVERIFY2(!seen.contains(bytes), qPrintable(key + QStringLiteral(" looks like another picture")));
            seen.insert(bytes);
        }
        QVERIFY(IconArt::picture(QStringLiteral("NOPE"), 32).isNull());
        for (const QString &key : CMainImageLists::toolbarKeys()) {
            QVERIFY2(!IconArt::picture(key, 32).toImage().allGray(), qPrintable(key));
            QVERIFY2(IconArt::greyPicture(key, 32).toImage().allGray(), qPrintable(key));
        }
    }

    // The details list measures its first row again only when a change to
    // it may change the height all rows share.
    void firstRowMeasuredOnlyWhenItsHeightMayChange()
    {
        struct Counting : QStyledItemDelegate
        {
            mutable int measures = 0;
            QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
            {
                ++measures;
                return QStyledItemDelegate::sizeHint(option, index);
            }
        } delegate;
        QStandardItemModel model;
        for (const char *text : {"Row 0", "Row 1", "Row 2"})
            model.appendRow({new QStandardItem(QLatin1String(text)), new QStandardItem(QLatin1String(text))});
        ListViewPane pane(QStringLiteral("lvwTest"));
        pane.setModel(&model);
        QTreeView *view = pane.detailsView();
        view->setItemDelegate(&delegate);
        pane.resize(300, 200);
        pane.show();
        QApplication::processEvents();
        const auto rowHeight = [&] { return view->visualRect(pane.model()->index(2, 0)).height(); };
        const int oneLine = rowHeight();
        // text of the first cell, whether it is measured, whether rows are taller
        const QList<std::tuple<QString, bool, bool>> steps = {
            {"Out", true, false},         {"Back at 2:00 pm", false, false}, {"Two\nlines", true, true},
            {"Ünïcode Ω", true, false},   {"In", true, false},               {"Lunch", false, false}};
        for (const auto &[text, measured, taller] : steps) {
            const int before = delegate.measures;
            model.item(0, 0)->setText(text);
            QCOMPARE(delegate.measures > before, measured);
            QCOMPARE(rowHeight() > oneLine, taller);
        }
    }
};

QTEST_MAIN(tst_ImageLists)
#include "tst_ImageLists.moc"
