#pragma once

#include <QIcon>
#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>

class QFrame;
class QScrollBar;
class QToolButton;

// A strip of pictures, ten at a time with a scroll bar below, from which the
// user picks one by clicking it; the host reads the chosen picture's key.
class IconSelector : public QWidget
{
    Q_OBJECT
public:
    using Picture = QPair<QString, QIcon>; // key, picture

    explicit IconSelector(QWidget *parent = nullptr);

    // Loads the pictures in their order; a second call replaces them.
    void InitializeIcons(const QList<Picture> &pictures);
    // Selects the picture with exactly that key (case counts) and makes it
    // the first one shown; without a match the first picture. Raises no event.
    void SelectIconByKey(const QString &key);
    // Scrolls so that the selected picture is the first one shown.
    void EnsureVisible();
    // The selected picture's key; "" while the strip is empty.
    QString getSelectedIconKey() const;
    // Draws the strip and its pictures again.
    void Refresh();

    // Where picture i and the marker stand, in twips (for the host's tests).
    int pictureLeft(int i) const;
    int markerLeft() const { return m_markerLeft; }
    int selectedIndex() const { return m_selected; }

signals:
    void IconChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutPictures();
    void select(int index);
    void place(int index, int leftTwips);

    QFrame *Picture1;
    QFrame *Shape1;
    QScrollBar *HScroll1;
    QList<QToolButton *> Image1;
    QList<int> m_lefts;
    int m_selected = 0;
    int m_markerLeft = 0;
};
