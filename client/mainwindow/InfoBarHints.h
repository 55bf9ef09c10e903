#pragma once

#include <QObject>
#include <functional>

class ListViewPane;
class QAbstractItemView;

// The hints the info bar gives: over its close picture, on a press of its
// label, on a click in the user list, and for whatever the pointer moves
// over in the user list (the list's name over no row, a colleague's status
// line over his row).
class InfoBarHints : public QObject
{
    Q_OBJECT
public:
    InfoBarHints(QWidget *closePicture, QWidget *label, ListViewPane *userList, QObject *parent);

    // Wired by the window: shows a text in the info bar; the text of the
    // node whose view is shown (none yet: empty); whether the bar shows.
    std::function<void(const QString &)> show;
    std::function<QString()> shownNodeText;
    std::function<bool()> barVisible;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pointerOverList(QAbstractItemView *view, const QPoint &at);
    void say(const QString &text);

    QWidget *m_closePicture;
    QWidget *m_label;
    ListViewPane *m_list;
};
