#include "TitleRoom.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <QWidget>

namespace {

// The window's icon and three buttons, with the frame's margins.
constexpr int FrameControls = 140;
// Window managers' title fonts run a little larger than the dialog's own.
constexpr double TitleFontScale = 1.15;

} // namespace

int TitleRoom::widthFor(const QString &title, const QFont &font)
{
    QFont titleFont(font);
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * TitleFontScale);
    else
        titleFont.setPixelSize(qRound(titleFont.pixelSize() * TitleFontScale));
    return QFontMetrics(titleFont).horizontalAdvance(title) + FrameControls;
}

void TitleRoom::keep(QWidget *window)
{
    QLayout *layout = window->layout();
    if (!layout)
        return;
    auto *room = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    if (auto *grid = qobject_cast<QGridLayout *>(layout))
        grid->addItem(room, grid->rowCount(), 0, 1, grid->columnCount());
    else
        layout->addItem(room);
    auto *keeper = new TitleRoom(window, room);
    window->installEventFilter(keeper);
    keeper->fit();
}

TitleRoom::TitleRoom(QWidget *window, QSpacerItem *room) : QObject(window), m_window(window), m_room(room) {}

bool TitleRoom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowTitleChange)
        fit();
    return false;
}

void TitleRoom::fit()
{
    m_room->changeSize(widthFor(m_window->windowTitle(), m_window->font()), 0, QSizePolicy::Minimum,
                       QSizePolicy::Fixed);
    if (QLayout *layout = m_window->layout())
        layout->invalidate();
}
