#include "SliderScale.h"

#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

SliderScale::SliderScale(const QString &numbers, QSlider *slider, QWidget *parent)
    : QLabel(numbers, parent), m_slider(slider)
{
}

int SliderScale::markPosition(int value) const
{
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = m_slider->orientation();
    option.minimum = m_slider->minimum();
    option.maximum = m_slider->maximum();
    option.upsideDown = m_slider->invertedAppearance();
    // The styles put the marks where the handle's middle stands at that value.
    const int handle = m_slider->style()->pixelMetric(QStyle::PM_SliderLength, &option, m_slider);
    const int available = m_slider->style()->pixelMetric(QStyle::PM_SliderSpaceAvailable, &option, m_slider);
    const int x = QStyle::sliderPositionFromValue(option.minimum, option.maximum, value, available, option.upsideDown)
                  + handle / 2;
    return mapFromGlobal(m_slider->mapToGlobal(QPoint(x, 0))).x();
}

void SliderScale::paintEvent(QPaintEvent *)
{
    const QStringList numbers = text().split(u' ', Qt::SkipEmptyParts);
    if (numbers.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int steps = std::max<qsizetype>(1, numbers.size() - 1);
    const int span = m_slider->maximum() - m_slider->minimum();
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const int centre = markPosition(m_slider->minimum() + int(span * i / steps));
        const int width = fontMetrics().horizontalAdvance(numbers[i]);
        painter.drawText(QRect(centre - width, 0, 2 * width, height()), Qt::AlignHCenter | Qt::AlignTop, numbers[i]);
    }
}
