#include "StatusIconPainter.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace {

enum class Mark { None, Bar, Dot, Cross, Ring };

struct Look
{
    QColor colour;
    Mark mark = Mark::None;
};

const QHash<QString, Look> &looks()
{
    static const QHash<QString, Look> table = {
        {QStringLiteral("INN"), {QColor(0x2e, 0x9e, 0x44)}},
        {QStringLiteral("OUT"), {QColor(0xc8, 0x2a, 0x2a)}},
        {QStringLiteral("LNC"), {QColor(0xf0, 0x8c, 0x1a)}},
        {QStringLiteral("BRK"), {QColor(0x8a, 0x5a, 0x2b)}},
        {QStringLiteral("DND"), {QColor(0x9c, 0x10, 0x10), Mark::Bar}},
        {QStringLiteral("HME"), {QColor(0x5a, 0x5a, 0x66)}},
        {QStringLiteral("MTG"), {QColor(0x2a, 0x5c, 0xc8)}},
        {QStringLiteral("MTA"), {QColor(0x2a, 0x5c, 0xc8), Mark::Dot}},
        {QStringLiteral("MTD"), {QColor(0x2a, 0x5c, 0xc8), Mark::Bar}},
        {QStringLiteral("MTO"), {QColor(0x2a, 0x5c, 0xc8), Mark::Ring}},
        {QStringLiteral("MTT"), {QColor(0x2a, 0x5c, 0xc8), Mark::Cross}},
        {QStringLiteral("SCK"), {QColor(0xe0, 0xc8, 0x20), Mark::Cross}},
        {QStringLiteral("VAC"), {QColor(0x20, 0xa8, 0xc0)}},
        {QStringLiteral("QEL"), {QColor(0x2a, 0x5c, 0xc8), Mark::Ring}},
    };
    return table;
}

void drawMark(QPainter &painter, Mark mark, int size)
{
    const qreal unit = size / 16.0;
    painter.setPen(QPen(Qt::white, 2 * unit, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    switch (mark) {
    case Mark::Bar: painter.drawLine(QPointF(4 * unit, 8 * unit), QPointF(12 * unit, 8 * unit)); break;
    case Mark::Cross:
        painter.drawLine(QPointF(8 * unit, 4 * unit), QPointF(8 * unit, 12 * unit));
        painter.drawLine(QPointF(4 * unit, 8 * unit), QPointF(12 * unit, 8 * unit));
        break;
    case Mark::Dot:
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(8 * unit, 8 * unit), 1.5 * unit, 1.5 * unit);
        break;
    case Mark::Ring: painter.drawEllipse(QPointF(8 * unit, 8 * unit), 3.5 * unit, 3.5 * unit); break;
    case Mark::None: break;
    }
}

QPixmap draw(const Look &look, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.colour.darker(140), size / 16.0));
    painter.setBrush(look.colour);
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    drawMark(painter, look.mark, size);
    return pixmap;
}

} // namespace

QIcon StatusIconPainter::icon(const QString &name)
{
    const auto found = looks().constFind(name.toUpper());
    if (found == looks().constEnd())
        return QIcon();
    QIcon result;
    for (int size : {16, 32})
        result.addPixmap(draw(*found, size));
    return result;
}
