#include "CoolBar.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

CoolBar::CoolBar(QWidget *parent) : QWidget(parent), m_rows(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("CoolBar1"));
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(1);
}

QHBoxLayout *CoolBar::rowLayout(int row)
{
    while (m_rowLayouts.size() <= row) {
        auto *rowWidget = new QWidget(this);
        auto *layout = new QHBoxLayout(rowWidget);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);
        layout->addStretch(1);
        m_rows->addWidget(rowWidget);
        m_rowWidgets.append(rowWidget);
        m_rowLayouts.append(layout);
    }
    return m_rowLayouts.at(row);
}

int CoolBar::addBand(int row, QWidget *band)
{
    QHBoxLayout *layout = rowLayout(row);
    layout->insertWidget(layout->count() - 1, band);
    m_bands.append({band, row, true});
    return int(m_bands.size());
}

QWidget *CoolBar::band(int index) const
{
    return index >= 1 && index <= bandCount() ? m_bands.at(index - 1).widget : nullptr;
}

bool CoolBar::isBandVisible(int index) const
{
    return index >= 1 && index <= bandCount() && m_bands.at(index - 1).visible;
}

void CoolBar::setBandVisible(int index, bool visible)
{
    if (index < 1 || index > bandCount() || m_bands.at(index - 1).visible == visible)
        return;
    m_bands[index - 1].visible = visible;
    m_bands.at(index - 1).widget->setVisible(visible);
    updateRows();
    Q_EMIT heightChanged();
}

bool CoolBar::anyBandVisible() const
{
    for (const Band &band : m_bands) {
        if (band.visible)
            return true;
    }
    return false;
}

void CoolBar::updateRows()
{
    for (int row = 0; row < m_rowWidgets.size(); ++row) {
        bool shown = false;
        for (const Band &band : m_bands)
            shown = shown || (band.row == row && band.visible);
        m_rowWidgets.at(row)->setVisible(shown);
    }
}

int CoolBar::bandsHeight() const
{
    int height = 0;
    int rowsShown = 0;
    for (int row = 0; row < m_rowWidgets.size(); ++row) {
        int rowHeight = 0;
        for (const Band &band : m_bands) {
            if (band.row == row && band.visible)
                rowHeight = std::max(rowHeight, band.widget->sizeHint().height());
        }
        if (rowHeight > 0) {
            height += rowHeight;
            ++rowsShown;
        }
    }
    return height + std::max(0, rowsShown - 1) * m_rows->spacing();
}
