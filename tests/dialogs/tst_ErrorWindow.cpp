#include "dialogs/frmError.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class tst_ErrorWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theErrorFormTogglesDetailsAndAnswers()
    {
        frmError form;
        QCOMPARE(form.answer(), 5); // closing from the title bar continues
        // Collapsed, the window ends below its button and above the details.
        QVERIFY(form.cmdDetails->geometry().bottom() < form.height() && form.txtDetails->y() >= form.height());
        QVERIFY(form.cmdDetails->width() >= form.cmdDetails->sizeHint().width()
                && form.cmdContinue->geometry().right() < form.width());
        form.cmdDetails->click();
        QVERIFY(form.detailsShown());
        QVERIFY(form.txtDetails->geometry().bottom() < form.height());
        form.cmdDetails->click();
        QCOMPARE(form.heightTwips(), frmError::kShortHeightTwips);
        form.show();
        form.cmdExit->click();
        QCOMPARE(form.answer(), 3);
        QVERIFY(!form.isVisible());
    }
};
QTEST_MAIN(tst_ErrorWindow)
#include "tst_ErrorWindow.moc"
