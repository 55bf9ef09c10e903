#pragma once

#include <QList>
#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;

// The band of tool bars across the top of the main window: bands numbered
// from 1, laid out in rows. A hidden band gives its room to the others, and
// a row with no band shown takes no height.
class CoolBar : public QWidget
{
    Q_OBJECT
public:
    explicit CoolBar(QWidget *parent = nullptr);

    // Adds a band at the end of a row (rows count from 0); gives its number.
    int addBand(int row, QWidget *band);
    int bandCount() const { return int(m_bands.size()); }
    QWidget *band(int index) const;
    bool isBandVisible(int index) const;
    void setBandVisible(int index, bool visible);
    bool anyBandVisible() const;
    // The height the bands shown need, in pixels.
    int bandsHeight() const;

signals:
    void heightChanged();

private:
    struct Band
    {
        QWidget *widget;
        int row;
        bool visible;
    };
    QHBoxLayout *rowLayout(int row);
    void updateRows();

    QVBoxLayout *m_rows;
    QList<QHBoxLayout *> m_rowLayouts;
    QList<QWidget *> m_rowWidgets;
    QList<Band> m_bands;
};
