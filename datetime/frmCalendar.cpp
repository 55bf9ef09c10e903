#include "frmCalendar.h"

#include "CalendarVB.h"
#include "DropDownKey.h"
#include "Twips.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton *pictureButton(QWidget *parent, const char *name, const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
} // namespace

frmCalendar::frmCalendar(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint),
      CalendarVB1(new CalendarVB(this)),
      Label1(new QLabel(this)),
      cmdDecrease(pictureButton(this, "cmdDecrease", QStringLiteral("Previous Month"))),
      cmdIncrease(pictureButton(this, "cmdIncrease", QStringLiteral("Next Month"))),
      Image1(pictureButton(this, "Image1", QStringLiteral("Cancel")))
{
    setModal(true);
    CalendarVB1->setObjectName(QStringLiteral("CalendarVB1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    buildCaptionRow();

    connect(CalendarVB1, &CalendarVB::DateChange, this, &frmCalendar::onDateChange);
    // The calendar reports a click after it has moved to the clicked day, so
    // the click accepts that day at once (also when it was already selected).
    connect(CalendarVB1, &CalendarVB::Click, this, [this] { finish(false); });
    connect(cmdDecrease, &QToolButton::clicked, this, [this] { stepMonths(-1); });
    connect(cmdIncrease, &QToolButton::clicked, this, [this] { stepMonths(1); });
    connect(Image1, &QToolButton::clicked, this, [this] { finish(true); });

    CalendarVB1->setValue(Clock::now().date());
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this); // the form sees the keys first
    CalendarVB1->setFocus();
    resize(sizeHint().expandedTo(QSize(Twips::toPixels(2085), Twips::toPixels(1980))));
}

QDate frmCalendar::selectedDate() const
{
    return CalendarVB1->value();
}

void frmCalendar::reject()
{
    finish(true);
}

void frmCalendar::buildCaptionRow()
{
    cmdDecrease->setArrowType(Qt::LeftArrow);
    cmdIncrease->setArrowType(Qt::RightArrow);
    Image1->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    Label1->setAlignment(Qt::AlignCenter);

    auto *captionRow = new QFrame(this);
    captionRow->setObjectName(QStringLiteral("captionRow"));
    captionRow->setStyleSheet(QStringLiteral(
        "#captionRow { border-style: solid; border-width: 1px;"
        " border-color: #E0E0E0 #808080 #808080 #E0E0E0; }"));
    auto *row = new QHBoxLayout(captionRow);
    row->setContentsMargins(1, 1, 1, 1);
    row->addWidget(cmdDecrease);
    row->addWidget(Label1, 1);
    row->addWidget(cmdIncrease);
    row->addWidget(Image1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(captionRow);
    layout->addWidget(CalendarVB1, 1);
}

void frmCalendar::onDateChange(const QDate &newDate)
{
    Label1->setText(QLocale::c().toString(newDate, QStringLiteral("MMMM yyyy")));
    m_dtDate = DateUtil::toDays(newDate);
}

void frmCalendar::stepMonths(int months)
{
    // A day missing from the target month falls back to that month's last day.
    CalendarVB1->setValue(CalendarVB1->value().addMonths(months));
}

bool frmCalendar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void frmCalendar::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event->key()))
        QDialog::keyPressEvent(event);
}

bool frmCalendar::handleKey(int key)
{
    const DropDownKey::Action action = DropDownKey::action(key);
    if (action == DropDownKey::None)
        return false;
    finish(action == DropDownKey::Dismiss);
    return true;
}

void frmCalendar::finish(bool cancel)
{
    m_cancel = cancel;
    hide();
}
