#pragma once

#include <QTreeView>
#include <optional>

// A tree view whose rows all take the height of the first, as uniform row
// heights make them, without measuring the first row again on every change
// to it. Qt lays out the text of each of its cells to find that height,
// which costs more than the rest of a status change's redraw; yet a cell of
// one line of text keeps the height it had. So the first row is measured
// again only when what decides its height may have changed: which cells are
// shown and have a picture or a font of their own, a text with a line break
// or a character the view's font may not draw (a taller font could supply
// it), or the view's font, style or picture size.
class UniformRowsTreeView : public QTreeView
{
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void changeEvent(QEvent *event) override;

private:
    // Two bits a column (hidden, picture) of what decides the first row's
    // height; none when a text may change it or there are too many columns.
    std::optional<quint64> heightKey() const;
    void forgetMeasure() { m_measured.reset(); }

    std::optional<quint64> m_measured; // the key when the first row was last measured
    int m_measuredHeight = -1;
    QSize m_measuredIconSize;
};
