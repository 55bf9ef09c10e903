#pragma once

#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>
#include <functional>

// The slots of the notices on the screen. A new notice takes the free slot
// nearest the corner; when every slot that fits is taken, the oldest notice
// is dropped at once and the new one takes its place. A slot frees itself
// when its notice is deleted.
class NoticeStack
{
public:
    // The program's one stack.
    static NoticeStack &instance();

    // The screen's work area, and the tray icon's place (invalid when
    // unknown); tests pin them.
    std::function<QRect()> availableGeometry;
    std::function<QRect()> trayIconGeometry;

    // The slot for a new notice of the given height.
    int take(QWidget *notice);
    // The notices shown, by slot (null where a slot is free).
    QVector<QWidget *> shown() const;

private:
    NoticeStack();
    struct Slot { QPointer<QWidget> notice; quint64 age = 0; };
    QVector<Slot> m_slots;
    quint64 m_age = 0;
};
