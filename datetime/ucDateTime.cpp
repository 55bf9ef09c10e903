#include "ucDateTime.h"

#include "CombinedValue.h"
#include "DateTimeLayout.h"
#include "DateTimeText.h"
#include "DropDownPlacement.h"
#include "frmCalendar.h"
#include "frmTimeList.h"
#include "PropertyBag.h"
#include "TimeListEntries.h"
#include "Twips.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace {
QToolButton *dropDownButton(QWidget *parent, const char *name, int leftTwips)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(Qt::DownArrow);
    button->setGeometry(Twips::toPixels(leftTwips), Twips::toPixels(DateTimeLayout::ButtonTop),
                        Twips::toPixels(DateTimeLayout::ButtonWidth), Twips::toPixels(DateTimeLayout::ButtonHeight));
    return button;
}

QLineEdit *box(QWidget *parent, const char *name, int leftTwips)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(Twips::toPixels(leftTwips), 0, Twips::toPixels(DateTimeLayout::BoxWidth),
                      Twips::toPixels(DateTimeLayout::BoxHeight));
    return edit;
}

QColor defaultBackColor()
{
    return QGuiApplication::palette().color(QPalette::Button);
}

QColor defaultForeColor()
{
    return QGuiApplication::palette().color(QPalette::Text);
}

AppError notSupported(qint32 dispId)
{
    return AppError(ucDateTime::ErrNotSupported, QStringLiteral("ZorDateTime.ucDateTime"),
                    QStringLiteral("Object doesn't support this property or method (%1)")
                        .arg(QString::number(quint32(dispId), 16)));
}
} // namespace

ucDateTime::ucDateTime(QWidget *parent)
    : QWidget(parent),
      Text1(box(this, "Text1", 0)),
      Command1(dropDownButton(this, "Command1", 1470)),
      Text2(box(this, "Text2", 1770)),
      Command2(dropDownButton(this, "Command2", 3270)),
      m_backColor(defaultBackColor()),
      m_runPopup([](QDialog &dialog) { dialog.exec(); })
{
    resize(Twips::toPixels(DateTimeLayout::DesignWidth), Twips::toPixels(DateTimeLayout::DesignHeight));
    connect(Text1, &QLineEdit::textChanged, this, &ucDateTime::onDateTextChanged);
    connect(Text2, &QLineEdit::textChanged, this, &ucDateTime::onTimeTextChanged);
    connect(Command1, &QToolButton::clicked, this, &ucDateTime::dropDownCalendar);
    connect(Command2, &QToolButton::clicked, this, &ucDateTime::dropDownTimeList);
}

ucDateTime::~ucDateTime() = default;

void ucDateTime::clear()
{
    Text1->clear();
    Text2->clear();
    m_value = 0; // also when both boxes were empty already
}

double ucDateTime::DateValue() const
{
    return DateTimeText::value(Text1->text());
}

double ucDateTime::TimeValue() const
{
    return DateTimeText::value(Text2->text());
}

void ucDateTime::setDateValue(double value)
{
    Text1->setText(DateTimeText::formatDate(value));
}

void ucDateTime::setTimeValue(double value)
{
    Text2->setText(DateTimeText::formatTime(value));
}

QString ucDateTime::checkEntry(const QString &name, bool required)
{
    const DateTimeLayout layout = DateTimeLayout::forStyle(m_style);
    const struct
    {
        QLineEdit *box;
        bool shown;
        const char *kind;
    } boxes[] = {{Text1, layout.dateShown, "date"}, {Text2, layout.timeShown, "time"}};
    for (const auto &[box, shown, kind] : boxes) {
        const QString text = box->text().trimmed();
        if (!shown || DateTimeText::isValid(text) || (text.isEmpty() && !required))
            continue;
        box->setFocus();
        box->selectAll();
        if (text.isEmpty())
            return QStringLiteral("%1: please enter a %2.").arg(name, QLatin1String(kind));
        return QStringLiteral("%1: \"%2\" is not a valid %3.").arg(name, text, QLatin1String(kind));
    }
    return {};
}

void ucDateTime::setTopPosition(qint32 value)
{
    checkDesignTime("TopPosition");
    m_topPosition = value;
    changed("TopPosition");
}

void ucDateTime::setLeftPosition(qint32 value)
{
    checkDesignTime("LeftPosition");
    m_leftPosition = value;
    changed("LeftPosition");
}

void ucDateTime::setStyle(quint8 value)
{
    m_style = value;
    changed("Style");
}

void ucDateTime::setBackColor(const QColor &value)
{
    m_backColor = value;
    update();
    changed("BackColor");
}

QColor ucDateTime::ForeColor() const
{
    return Text1->palette().color(QPalette::Text);
}

void ucDateTime::setForeColor(const QColor &value)
{
    for (QLineEdit *edit : {Text1, Text2}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, value);
        edit->setPalette(palette);
    }
    changed("ForeColor");
}

bool ucDateTime::Enabled() const
{
    return Text1->isEnabledTo(this);
}

void ucDateTime::setEnabled(bool value)
{
    enableParts(value);
    changed("Enabled");
}

QFont ucDateTime::Font() const
{
    return Text1->font();
}

void ucDateTime::setFont(const QFont &value)
{
    Text1->setFont(value);
    Text2->setFont(value);
    changed("Font");
}

void ucDateTime::setBackStyle(qint16 value)
{
    m_backStyle = value;
    update();
    changed("BackStyle");
}

void ucDateTime::setBorderStyle(qint16 value)
{
    m_borderStyle = value;
    update();
    changed("BorderStyle");
}

QString ucDateTime::ToolTipText() const
{
    return Text1->toolTip();
}

void ucDateTime::setToolTipText(const QString &value)
{
    Text1->setToolTip(value);
    Text2->setToolTip(value);
    changed("ToolTipText");
}

void ucDateTime::setTimeStyle(const QString &value)
{
    m_timeStyle = value;
    changed("TimeStyle");
}

QVariant ucDateTime::propertyById(qint32 dispId) const
{
    switch (DispId(dispId)) {
    case DispId::DateTimeValue: return m_value;
    case DispId::DateValue: return DateValue();
    case DispId::TimeValue: return TimeValue();
    case DispId::TopPosition: return m_topPosition;
    case DispId::LeftPosition: return m_leftPosition;
    case DispId::Style: return int(m_style);
    case DispId::BackColor: return m_backColor;
    case DispId::ForeColor: return ForeColor();
    case DispId::Enabled: return Enabled();
    case DispId::Font: return Font();
    case DispId::BackStyle: return int(m_backStyle);
    case DispId::BorderStyle: return int(m_borderStyle);
    case DispId::ToolTipText: return ToolTipText();
    case DispId::TimeStyle: return m_timeStyle;
    default: throw notSupported(dispId);
    }
}

void ucDateTime::setPropertyById(qint32 dispId, const QVariant &value)
{
    switch (DispId(dispId)) {
    case DispId::DateTimeValue: setDateTimeValue(value.toDouble()); break;
    case DispId::DateValue: setDateValue(value.toDouble()); break;
    case DispId::TimeValue: setTimeValue(value.toDouble()); break;
    case DispId::RelativeTimeValue: setRelativeTimeValue(value.toDouble()); break;
    case DispId::TopPosition: setTopPosition(value.toInt()); break;
    case DispId::LeftPosition: setLeftPosition(value.toInt()); break;
    case DispId::Style: setStyle(quint8(value.toUInt())); break;
    case DispId::BackColor: setBackColor(value.value<QColor>()); break;
    case DispId::ForeColor: setForeColor(value.value<QColor>()); break;
    case DispId::Enabled: setEnabled(value.toBool()); break;
    case DispId::Font: setFont(value.value<QFont>()); break;
    case DispId::BackStyle: setBackStyle(qint16(value.toInt())); break;
    case DispId::BorderStyle: setBorderStyle(qint16(value.toInt())); break;
    case DispId::ToolTipText: setToolTipText(value.toString()); break;
    case DispId::TimeStyle: setTimeStyle(value.toString()); break;
    default: throw notSupported(dispId);
    }
}

void ucDateTime::readProperties(const PropertyBag &bag)
{
    m_backColor = bag.readProperty(QStringLiteral("BackColor"), defaultBackColor()).value<QColor>();
    // Colour, font and tip go to the date box; the time box keeps its own
    // until they are set at run time.
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Text, bag.readProperty(QStringLiteral("ForeColor"), defaultForeColor()).value<QColor>());
    Text1->setPalette(palette);
    enableParts(bag.readProperty(QStringLiteral("Enabled"), true).toBool()); // the whole control
    Text1->setFont(bag.readProperty(QStringLiteral("Font"), ambientFont()).value<QFont>());
    m_backStyle = qint16(bag.readProperty(QStringLiteral("BackStyle"), 1).toInt());
    m_borderStyle = qint16(bag.readProperty(QStringLiteral("BorderStyle"), 0).toInt());
    Text1->setToolTip(bag.readProperty(QStringLiteral("ToolTipText"), QString()).toString());
    m_timeStyle = bag.readProperty(QStringLiteral("TimeStyle"), QStringLiteral("0")).toString();
    m_topPosition = bag.readProperty(QStringLiteral("TopPosition"), 0).toInt();
    m_leftPosition = bag.readProperty(QStringLiteral("LeftPosition"), 0).toInt();
    m_style = quint8(bag.readProperty(QStringLiteral("Style"), 0).toUInt());
    update();
}

void ucDateTime::writeProperties(PropertyBag &bag) const
{
    bag.writeProperty(QStringLiteral("BackColor"), m_backColor, defaultBackColor());
    bag.writeProperty(QStringLiteral("ForeColor"), ForeColor(), defaultForeColor());
    bag.writeProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.writeProperty(QStringLiteral("Font"), Font(), ambientFont());
    bag.writeProperty(QStringLiteral("BackStyle"), int(m_backStyle), 1);
    bag.writeProperty(QStringLiteral("BorderStyle"), int(m_borderStyle), 0);
    bag.writeProperty(QStringLiteral("ToolTipText"), ToolTipText(), QString());
    bag.writeProperty(QStringLiteral("TimeStyle"), m_timeStyle, QStringLiteral("0"));
    bag.writeProperty(QStringLiteral("TopPosition"), m_topPosition, 0);
    bag.writeProperty(QStringLiteral("LeftPosition"), m_leftPosition, 0);
    bag.writeProperty(QStringLiteral("Style"), int(m_style), 0);
}

QSize ucDateTime::sizeHint() const
{
    return {Twips::toPixels(DateTimeLayout::forStyle(m_style).width), Twips::toPixels(DateTimeLayout::DesignHeight)};
}

void ucDateTime::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void ucDateTime::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_backStyle == 1)
        painter.fillRect(rect(), m_backColor);
    if (m_borderStyle == 1) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ucDateTime::onDateTextChanged()
{
    if (const auto date = DateTimeText::parse(Text1->text()))
        emit DateChange(*date);
    m_value = CombinedValue::afterDateBoxChange(Text1->text(), Text2->text());
}

void ucDateTime::onTimeTextChanged()
{
    if (const auto time = DateTimeText::parse(Text2->text()))
        emit TimeChange(*time);
    m_value = CombinedValue::afterTimeBoxChange(Text1->text(), Text2->text(), Clock::nowDays());
}

void ucDateTime::dropDownCalendar()
{
    frmCalendar form(this);
    form.move(dropDownPosition(Text1, form.size()));
    m_runPopup(form);
    if (form.Cancel())
        return;
    Text1->setText(DateTimeText::formatDate(DateUtil::toDays(form.selectedDate())));
    emit DateChange(DateValue());
}

void ucDateTime::dropDownTimeList()
{
    frmTimeList form(this);
    form.addEntries(TimeListEntries::build(m_timeStyle, m_relativeTimeValue, Clock::now().time()));
    form.move(dropDownPosition(Text2, form.size()));
    m_runPopup(form);
    if (form.Cancel())
        return;
    Text2->setText(DateTimeText::formatTime(form.dtTime()));
    emit TimeChange(form.dtTime());
}

// The drop-down goes by where the box is on the screen, not by offsets from
// the form's corner: a form's layout moves the control about (a tool-bar band,
// a page of a dialog), and fixed offsets then open the list over the box.
QPoint ucDateTime::dropDownPosition(const QLineEdit *box, const QSize &size) const
{
    const QScreen *screen = this->screen();
    return DropDownPlacement::place(QRect(box->mapToGlobal(QPoint(0, 0)), box->size()), size,
                                    screen ? screen->availableGeometry() : QRect());
}

void ucDateTime::applyLayout()
{
    const DateTimeLayout layout = DateTimeLayout::forStyle(m_style);
    // A pair that is not shown is hidden, so it takes no keyboard focus.
    Text1->setVisible(layout.dateShown);
    Command1->setVisible(layout.dateShown);
    Text2->setVisible(layout.timeShown);
    Command2->setVisible(layout.timeShown);
    const int buttonTop = Twips::toPixels(DateTimeLayout::ButtonTop);
    if (layout.dateShown) {
        Text1->move(Twips::toPixels(layout.dateBoxLeft), 0);
        Command1->move(Twips::toPixels(layout.calendarButtonLeft), buttonTop);
    }
    if (layout.timeShown) {
        Text2->move(Twips::toPixels(layout.timeBoxLeft), 0);
        Command2->move(Twips::toPixels(layout.timeButtonLeft), buttonTop);
    }
    setFixedWidth(Twips::toPixels(layout.width));
}

void ucDateTime::checkDesignTime(const char *property) const
{
    if (m_userMode)
        throw AppError(ErrSetNotSupportedAtRunTime,
                       QStringLiteral("ZorDateTime.ucDateTime.") + QLatin1String(property),
                       QStringLiteral("Set not supported at run time"));
}

void ucDateTime::enableParts(bool enabled)
{
    for (QWidget *part : std::initializer_list<QWidget *>{Text1, Text2, Command1, Command2})
        part->setEnabled(enabled);
}

QFont ucDateTime::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}
