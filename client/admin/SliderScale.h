#pragma once

#include <QLabel>

class QSlider;

// The numbers under a slider, each drawn under the mark of the value it names.
// The text lists the numbers, first to last, for the slider's minimum to its
// maximum in even steps; spacing them with blanks would line up in one font
// only.
class SliderScale : public QLabel
{
    Q_OBJECT
public:
    SliderScale(const QString &numbers, QSlider *slider, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the slider draws the mark of a value, in this label's coordinates.
    int markPosition(int value) const;

    QSlider *m_slider;
};
