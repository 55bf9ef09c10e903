#include "IconSelector.h"

#include "status/IconStrip.h"
#include "dialogs/OutsideText.h"

#include <QFrame>
#include <QScrollBar>
#include <QToolButton>

namespace {

int px(int twips)
{
    return IconStrip::pixels(twips);
}

} // namespace

IconSelector::IconSelector(QWidget *parent)
    : QWidget(parent), Picture1(new QFrame(this)), Shape1(new QFrame(Picture1)),
      HScroll1(new QScrollBar(Qt::Horizontal, Picture1))
{
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setGeometry(0, 0, px(IconStrip::cellLeft(IconStrip::kCells)), px(885));
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(2);
    Shape1->setGeometry(px(660), px(30), px(585), px(555));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setGeometry(0, px(600), px(3465), px(225));
    HScroll1->setRange(0, 0);
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { layoutPictures(); });
    // Wide enough for the ten cells the layout fills, so none is cut off.
    const int width = IconStrip::cellLeft(IconStrip::kCells) + 45;
    setMinimumSize(px(width), px(930));
    resize(px(width), px(930));
}

void IconSelector::InitializeIcons(const QList<Picture> &pictures)
{
    qDeleteAll(Image1);
    Image1.clear();
    m_lefts.clear();
    m_selected = 0;
    for (int i = 0; i < pictures.size(); ++i) {
        auto *image = new QToolButton(Picture1);
        image->setObjectName(QStringLiteral("Image1_%1").arg(i));
        image->setAutoRaise(true);
        image->setIcon(pictures[i].second);
        image->setIconSize(QSize(32, 32));
        image->setProperty("Tag", pictures[i].first);
        image->setToolTip(OutsideText::toolTip(pictures[i].first));
        connect(image, &QToolButton::clicked, this, [this, i] {
            select(i);
            emit IconChanged(i);
        });
        Image1.append(image);
        m_lefts.append(IconStrip::kParked);
        place(i, IconStrip::kParked);
        image->show();
    }
    Shape1->raise();
    const QSignalBlocker quiet(HScroll1);
    HScroll1->setRange(0, qMax(0, int(Image1.size()) - 1));
    HScroll1->setValue(0);
}

void IconSelector::SelectIconByKey(const QString &key)
{
    for (int i = 0; i < Image1.size(); ++i) {
        if (Image1[i]->property("Tag").toString() == key) {
            place(i, IconStrip::kFirstLeft);
            select(i);
            EnsureVisible();
            return;
        }
    }
    select(0);
    EnsureVisible();
}

void IconSelector::EnsureVisible()
{
    if (HScroll1->value() == m_selected)
        layoutPictures();
    else
        HScroll1->setValue(m_selected);
}

QString IconSelector::getSelectedIconKey() const
{
    if (m_selected < 0 || m_selected >= Image1.size())
        return QString();
    return Image1[m_selected]->property("Tag").toString();
}

int IconSelector::pictureLeft(int i) const
{
    return i >= 0 && i < m_lefts.size() ? m_lefts[i] : IconStrip::kParked;
}

void IconSelector::layoutPictures()
{
    const QList<int> lefts = IconStrip::layout(int(Image1.size()), HScroll1->value());
    for (int i = 0; i < lefts.size(); ++i)
        place(i, lefts[i]);
    select(m_selected);
}

void IconSelector::select(int index)
{
    m_selected = index;
    m_markerLeft = IconStrip::markerLeft(pictureLeft(index));
    Shape1->move(px(m_markerLeft), Shape1->y());
}

void IconSelector::place(int index, int leftTwips)
{
    m_lefts[index] = leftTwips;
    Image1[index]->setGeometry(px(leftTwips), px(60), px(525), px(525));
}

void IconSelector::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Picture1->resize(width(), Picture1->height());
    HScroll1->resize(qMax(0, Picture1->width() - px(80)), HScroll1->height());
}

void IconSelector::Refresh()
{
    update();
    for (QWidget *part : findChildren<QWidget *>())
        part->update();
}
