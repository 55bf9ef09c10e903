#include "PageDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QTextObjectInterface>

namespace {

// Stands in for every picture of a page.
class NoPicture : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &) override { return {}; }
    void drawObject(QPainter *, const QRectF &, QTextDocument *, int, const QTextFormat &) override {}
};

} // namespace

PageDocument::PageDocument(QObject *parent) : QTextDocument(parent)
{
    documentLayout()->registerHandler(QTextFormat::ImageObject, new NoPicture(this));
}

#include "PageDocument.moc"
