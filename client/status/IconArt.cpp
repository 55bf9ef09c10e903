#include "IconArt.h"

#include "foundation/BuiltInStatus.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

// Every picture is drawn on a 32 by 32 grid and scaled to the size asked.
using Drawing = std::function<void(QPainter &)>;

const QColor kWhite(255, 255, 255);

void disc(QPainter &p, const QColor &colour)
{
    QRadialGradient fill(QPointF(12, 10), 22);
    fill.setColorAt(0, colour.lighter(135));
    fill.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(150), 1.2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 2, 28, 28));
}

QPen stroke(const QColor &colour, double width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void arrow(QPainter &p, bool right)
{
    p.setPen(stroke(kWhite, 3.5));
    p.setBrush(Qt::NoBrush);
    const double tip = right ? 23 : 9;
    const double back = right ? 17 : 15;
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
    p.drawPolyline(QPolygonF({QPointF(back, 10), QPointF(tip, 16), QPointF(back, 22)}));
}

void questionMark(QPainter &p, const QColor &colour)
{
    p.setPen(stroke(colour, 3.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(11, 12);
    hook.arcTo(QRectF(11, 7, 10, 9), 180, -230);
    hook.quadTo(16, 16.5, 16, 19);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(16, 24), 2.1, 2.1);
}

void people(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    for (double x : {11.5, 20.5}) {
        p.drawEllipse(QPointF(x, 12), 3.3, 3.3);
        p.drawChord(QRectF(x - 6, 17, 12, 14), 0, 180 * 16);
    }
}

void badge(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(kWhite, 1.5));
    p.setBrush(colour);
    p.drawEllipse(QPointF(24, 24), 6, 6);
}

void meeting(QPainter &p)
{
    disc(p, QColor(123, 75, 179));
    people(p);
}

void speechBubble(QPainter &p, const QRectF &body, const QColor &colour, bool tailLeft)
{
    QPainterPath bubble;
    bubble.addRoundedRect(body, 4, 4);
    const double x = tailLeft ? body.left() + 4 : body.right() - 4;
    const double toward = tailLeft ? -3 : 3;
    QPolygonF tail({QPointF(x - 2, body.bottom() - 1), QPointF(x + 3, body.bottom() - 1),
                    QPointF(x + toward, body.bottom() + 5)});
    QPainterPath tailPath;
    tailPath.addPolygon(tail);
    p.setPen(QPen(colour.darker(150), 1.2));
    p.setBrush(colour);
    p.drawPath(bubble.united(tailPath));
}

void drawIn(QPainter &p)
{
    disc(p, QColor(46, 157, 58));
    p.setPen(stroke(kWhite, 3.8));
    p.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 11)}));
}

void drawLunch(QPainter &p)
{
    disc(p, QColor(232, 137, 28));
    p.setPen(stroke(kWhite, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(17.5, 16), 6.5, 6.5);
    p.drawLine(QPointF(8.5, 8.5), QPointF(8.5, 23.5)); // fork
    p.drawLine(QPointF(6.5, 8.5), QPointF(6.5, 12.5));
    p.drawLine(QPointF(10.5, 8.5), QPointF(10.5, 12.5));
}

void drawHome(QPainter &p)
{
    disc(p, QColor(47, 111, 192));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygonF({QPointF(7, 16), QPointF(16, 7.5), QPointF(25, 16)}));
    p.drawRect(QRectF(10, 15, 12, 9));
    p.setBrush(QColor(47, 111, 192));
    p.drawRect(QRectF(14.5, 18, 3.5, 6));
}

void drawDoNotDisturb(QPainter &p)
{
    disc(p, QColor(163, 31, 31));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRoundedRect(QRectF(7.5, 13.5, 17, 5), 1.5, 1.5);
}

void drawSick(QPainter &p)
{
    disc(p, QColor(31, 143, 143));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRect(QRectF(13.5, 8, 5, 16));
    p.drawRect(QRectF(8, 13.5, 16, 5));
}

void drawCoffee(QPainter &p)
{
    disc(p, QColor(138, 90, 43));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    QPainterPath cup;
    cup.moveTo(8.5, 13);
    cup.lineTo(20.5, 13);
    cup.lineTo(19.5, 22);
    cup.quadTo(14.5, 25, 9.5, 22);
    cup.closeSubpath();
    p.drawPath(cup);
    p.setPen(stroke(kWhite, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(21.5, 16.5), 2.8, 2.8);
    p.drawLine(QPointF(12, 7.5), QPointF(12, 10.5));
    p.drawLine(QPointF(16, 7.5), QPointF(16, 10.5));
}

void drawVacation(QPainter &p)
{
    disc(p, QColor(55, 166, 222));
    const QColor sun(255, 213, 61);
    p.setPen(stroke(sun, 2));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(QPointF(16 + 7.5 * qCos(a), 16 + 7.5 * qSin(a)), QPointF(16 + 11 * qCos(a), 16 + 11 * qSin(a)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(16, 16), 5.5, 5.5);
}

Drawing meetingWith(const QColor &colour)
{
    return [colour](QPainter &p) {
        meeting(p);
        badge(p, colour);
    };
}

void drawMobile(QPainter &p)
{
    p.setPen(QPen(QColor(30, 32, 36), 1.2));
    p.setBrush(QColor(59, 63, 69));
    p.drawRoundedRect(QRectF(9.5, 2.5, 13, 27), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(159, 211, 245));
    p.drawRect(QRectF(11.5, 6, 9, 15));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QPointF(16, 25), 1.8, 1.8);
}

void drawJournal(QPainter &p)
{
    p.setPen(QPen(QColor(24, 44, 80), 1.2));
    p.setBrush(QColor(44, 74, 122));
    p.drawRoundedRect(QRectF(6.5, 3.5, 19, 25), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(22, 5, 2.5, 22));
    p.setPen(stroke(kWhite, 1.6));
    for (double y : {10.0, 14.0, 18.0})
        p.drawLine(QPointF(10, y), QPointF(19, y));
}

void drawPhoneMessage(QPainter &p)
{
    p.setPen(QPen(QColor(170, 140, 30), 1.2));
    p.setBrush(QColor(245, 213, 71));
    p.drawRect(QRectF(10.5, 3.5, 17, 21));
    p.setPen(stroke(QColor(140, 110, 20), 1.4));
    for (double y : {8.5, 12.5, 16.5})
        p.drawLine(QPointF(14, y), QPointF(24, y));
    // handset
    p.setPen(stroke(QColor(46, 157, 58), 4.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath handset;
    handset.moveTo(4, 19);
    handset.quadTo(4, 29, 14, 29);
    p.drawPath(handset);
}

void drawHelp(QPainter &p)
{
    disc(p, QColor(47, 111, 192));
    questionMark(p, kWhite);
}

Drawing arrowDisc(const QColor &colour, bool right)
{
    return [colour, right](QPainter &p) {
        disc(p, colour);
        arrow(p, right);
    };
}

void drawRefresh(QPainter &p)
{
    disc(p, QColor(31, 143, 143));
    p.setPen(stroke(kWhite, 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9, 9, 14, 14), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(QPolygonF({QPointF(18, 5.5), QPointF(24.5, 10), QPointF(17.5, 13.5)}));
}

void drawStop(QPainter &p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 8 + i * M_PI / 4;
        octagon << QPointF(16 + 14 * qCos(a), 16 + 14 * qSin(a));
    }
    p.setPen(QPen(QColor(140, 30, 25), 1.2));
    p.setBrush(QColor(208, 58, 47));
    p.drawPolygon(octagon);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRect(QRectF(10, 13.5, 12, 5));
}

void drawTray(QPainter &p)
{
    p.setPen(QPen(QColor(70, 70, 70), 1.2));
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(3.5, 3.5, 25, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(47, 111, 192));
    p.drawRect(QRectF(4, 4, 24, 4));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(3, 26, 26, 3.5));
    p.setBrush(QColor(46, 157, 58));
    p.drawPolygon(QPolygonF({QPointF(11, 14), QPointF(21, 14), QPointF(16, 24)}));
}

void drawBroadcast(QPainter &p)
{
    speechBubble(p, QRectF(3.5, 4.5, 25, 18), QColor(232, 137, 28), false);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRoundedRect(QRectF(14.3, 7.5, 3.4, 8.5), 1.5, 1.5);
    p.drawEllipse(QPointF(16, 19), 1.9, 1.9);
}

void drawChat(QPainter &p)
{
    speechBubble(p, QRectF(2.5, 3.5, 18, 13), QColor(47, 111, 192), true);
    speechBubble(p, QRectF(11.5, 12.5, 18, 12), QColor(46, 157, 58), false);
}

void drawProgram(QPainter &p)
{
    p.setPen(QPen(QColor(16, 30, 50), 1.2));
    p.setBrush(QColor(32, 58, 94));
    p.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 5, 5);
    const QColor dots[] = {QColor(76, 200, 90), QColor(235, 80, 65), QColor(245, 165, 40)};
    for (int row = 0; row < 3; ++row) {
        const double y = 9 + row * 7;
        p.setPen(Qt::NoPen);
        p.setBrush(dots[row]);
        p.drawEllipse(QPointF(9, y), 2.6, 2.6);
        p.setPen(stroke(kWhite, 2.2));
        p.drawLine(QPointF(14, y), QPointF(24, y));
    }
}

void drawOrbit(QPainter &p)
{
    disc(p, QColor(47, 111, 192));
    p.setPen(QPen(kWhite, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 6, 13);
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
}

void drawNotify(QPainter &p)
{
    const QColor gold(227, 178, 28);
    QPainterPath bell;
    bell.moveTo(6, 23);
    bell.quadTo(9, 20, 9, 14);
    bell.cubicTo(9, 5, 23, 5, 23, 14);
    bell.quadTo(23, 20, 26, 23);
    bell.closeSubpath();
    p.setPen(QPen(gold.darker(150), 1.2));
    p.setBrush(gold);
    p.drawPath(bell);
    p.drawEllipse(QPointF(16, 26), 2.8, 2.8);
    p.drawEllipse(QPointF(16, 5), 1.8, 1.8);
}

void drawSearch(QPainter &p)
{
    p.setPen(stroke(QColor(80, 60, 40), 5));
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.setBrush(QColor(200, 230, 250));
    p.drawEllipse(QPointF(13, 13), 9, 9);
}

void drawInfo(QPainter &p)
{
    disc(p, QColor(47, 111, 192));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(16, 9.5), 2.3, 2.3);
    p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1.2, 1.2);
}

void drawCopier(QPainter &p)
{
    const QColor body(120, 128, 138);
    p.setPen(QPen(body.darker(150), 1.2));
    p.setBrush(QColor(225, 228, 232));
    p.drawRect(QRectF(10.5, 2.5, 13, 8)); // the sheet going in
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3.5, 9.5, 25, 13), 2, 2);
    p.setBrush(QColor(62, 68, 76));
    p.drawRect(QRectF(5.5, 22.5, 21, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(76, 200, 90));
    p.drawEllipse(QPointF(24, 13.5), 1.6, 1.6);
    p.setBrush(kWhite);
    p.drawRect(QRectF(8, 24, 16, 2.5)); // the copy coming out
}

void drawFax(QPainter &p)
{
    const QColor body(70, 78, 90);
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.setBrush(kWhite);
    p.drawRect(QRectF(13.5, 2.5, 13, 12)); // the page
    p.setPen(stroke(QColor(150, 150, 150), 1.2));
    for (double y : {6.0, 9.0, 12.0})
        p.drawLine(QPointF(16, y), QPointF(24, y));
    p.setPen(QPen(body.darker(150), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2.5, 12.5, 27, 16), 2, 2);
    p.setBrush(QColor(32, 36, 42));
    p.drawRoundedRect(QRectF(4, 8.5, 7, 18), 3, 3); // the handset
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(159, 211, 245));
    p.drawRect(QRectF(14, 16, 12, 3.5));
    p.setBrush(kWhite);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(14 + col * 3.2, 21.5 + row * 3, 2, 1.8));
}

void drawPostalTruck(QPainter &p)
{
    const QColor paint(214, 170, 30);
    p.setPen(QPen(paint.darker(150), 1.2));
    p.setBrush(paint);
    p.drawRect(QRectF(1.5, 8.5, 19, 15)); // the load box
    QPainterPath cab;
    cab.moveTo(20.5, 12.5);
    cab.lineTo(26.5, 12.5);
    cab.lineTo(30.5, 18);
    cab.lineTo(30.5, 23.5);
    cab.lineTo(20.5, 23.5);
    cab.closeSubpath();
    p.drawPath(cab);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(159, 211, 245));
    p.drawPolygon(QPolygonF({QPointF(22, 14), QPointF(26, 14), QPointF(28.5, 17.5), QPointF(22, 17.5)}));
    p.setPen(stroke(QColor(47, 111, 192), 2)); // the post horn stripe
    p.drawLine(QPointF(4, 16), QPointF(18, 16));
    p.setPen(QPen(QColor(30, 30, 30), 1.2));
    p.setBrush(QColor(60, 60, 60));
    for (double x : {7.0, 25.0})
        p.drawEllipse(QPointF(x, 25), 3.5, 3.5);
}

void drawMissing(QPainter &p)
{
    p.setPen(QPen(QColor(130, 130, 130), 1.5, Qt::DashLine));
    p.setBrush(QColor(240, 240, 240));
    p.drawRect(QRectF(3.5, 3.5, 25, 25));
    questionMark(p, QColor(130, 130, 130));
}

const QHash<QString, Drawing> &drawings()
{
    static const QHash<QString, Drawing> all = {
        {QStringLiteral("in"), drawIn},
        {QStringLiteral("out"), arrowDisc(QColor(208, 58, 47), true)},
        {QStringLiteral("lunch"), drawLunch},
        {QStringLiteral("home"), drawHome},
        {QStringLiteral("meeting"), meeting},
        {QStringLiteral("do-not-disturb"), drawDoNotDisturb},
        {QStringLiteral("sick"), drawSick},
        {QStringLiteral("coffee"), drawCoffee},
        {QStringLiteral("vacation"), drawVacation},
        {QStringLiteral("meeting-available"), meetingWith(QColor(46, 157, 58))},
        {QStringLiteral("meeting-do-not-disturb"), meetingWith(QColor(208, 58, 47))},
        {QStringLiteral("meeting-out-of-office"), meetingWith(QColor(120, 120, 120))},
        {QStringLiteral("meeting-tentative"), meetingWith(QColor(245, 190, 40))},
        {QStringLiteral("MOB"), drawMobile},
        {QStringLiteral("JRN"), drawJournal},
        {QStringLiteral("PHR"), drawPhoneMessage},
        {QStringLiteral("HLP"), drawHelp},
        {QStringLiteral("BCK"), arrowDisc(QColor(46, 157, 58), false)},
        {QStringLiteral("FWD"), arrowDisc(QColor(46, 157, 58), true)},
        {QStringLiteral("REF"), drawRefresh},
        {QStringLiteral("STP"), drawStop},
        {QStringLiteral("TRY"), drawTray},
        {QStringLiteral("BIM"), drawBroadcast},
        {QStringLiteral("CHT"), drawChat},
        {QStringLiteral("Qel"), drawProgram},
        {QStringLiteral("ORBIT"), drawOrbit},
        {QStringLiteral("NTF"), drawNotify},
        {QStringLiteral("SRH"), drawSearch},
        {QStringLiteral("INF"), drawInfo},
        {QStringLiteral("ICO_MISSING"), drawMissing},
        {QStringLiteral("ICOcopier"), drawCopier},
        {QStringLiteral("ICOfax"), drawFax},
        {QStringLiteral("ICOpostaltruck"), drawPostalTruck},
    };
    return all;
}

// A built-in status is drawn by the picture its row names; any other key
// names its drawing itself.
const Drawing *drawingFor(const QString &key)
{
    const BuiltInStatus::Row *status = BuiltInStatus::find(key);
    const auto it = drawings().constFind(status ? QString(status->picture) : key);
    return it == drawings().constEnd() ? nullptr : &*it;
}

} // namespace

QStringList IconArt::iconFileKeys()
{
    return {QStringLiteral("ICOcopier"), QStringLiteral("ICOfax"), QStringLiteral("ICOpostaltruck")};
}

bool IconArt::hasPicture(const QString &key)
{
    return drawingFor(key) != nullptr;
}

QPixmap IconArt::picture(const QString &key, int size)
{
    const Drawing *drawing = drawingFor(key);
    if (!drawing || size <= 0)
        return QPixmap();
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    (*drawing)(p);
    p.end();
    return pixmap;
}

QPixmap IconArt::greyPicture(const QString &key, int size)
{
    return toGrey(picture(key, size));
}

QPixmap IconArt::toGrey(const QPixmap &picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Pressed a little towards the middle, so the button looks at rest.
            const int grey = qGray(line[x]) * 7 / 10 + 40;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(image);
}
