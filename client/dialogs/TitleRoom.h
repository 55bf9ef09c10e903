#pragma once

#include <QObject>

class QFont;
class QSpacerItem;
class QWidget;

// Keeps a window wide enough for the window manager to draw its whole title.
// The manager draws it in its own bold font between the window's icon and
// its buttons, and cuts off what does not fit, so a dialog sized to its
// controls alone may lose the end of a long caption (or of a translation).
// The room is a spacer in the window's layout, since a message box sizes
// itself from its layout and ignores a minimum width set on it.
class TitleRoom : public QObject
{
public:
    // The width a title needs in a window frame, by the window's font.
    static int widthFor(const QString &title, const QFont &font);
    // Call once the window's layout is complete; the room follows later titles.
    static void keep(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TitleRoom(QWidget *window, QSpacerItem *room);
    void fit();

    QWidget *m_window;
    QSpacerItem *m_room;
};
