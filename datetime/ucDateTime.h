#pragma once

#include "ZorDateTimeExport.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>

class PropertyBag;
class QDialog;
class QLineEdit;
class QToolButton;

// A date box and a time box, each with a drop-down button (a month calendar
// and a list of times). The control keeps one combined date-and-time value
// as the boxes change and reports every accepted date or time through
// DateChange and TimeChange. The event comes before the combined value is
// worked out again, so a handler still reads the value from before the change.
// Dates are day numbers (see DateUtil); 0 means none.
//
// Enabled, Font and Style are the control's own properties and deliberately
// hide QWidget's functions of the same name: Enabled and Font apply to the
// boxes (and buttons), Style picks which boxes show.
class ZORDATETIME_EXPORT ucDateTime : public QWidget
{
    Q_OBJECT
public:
    // The program binds to the control by these numbers; they never change.
    enum class DispId : qint32 {
        DateTimeValue = 0x6803001F,
        Clear = 0x60030020,
        DateValue = 0x6803001E,
        TimeValue = 0x6803001D,
        RelativeTimeValue = 0x6803001C,
        TopPosition = 0x6803001B,
        LeftPosition = 0x6803001A,
        Style = 0x68030019,
        BackColor = 0x68030018,
        ForeColor = 0x68030017,
        Enabled = 0x68030016,
        Font = 0x68030015,
        BackStyle = 0x68030014,
        BorderStyle = 0x68030013,
        Refresh = 0x60030029,
        ToolTipText = 0x68030012,
        TimeStyle = 0x68030011,
    };
    enum class EventId : qint32 { TimeChange = 1, DateChange = 2 };

    // Error numbers raised to callers.
    static constexpr qint32 ErrSetNotSupportedAtRunTime = 382;
    static constexpr qint32 ErrNotSupported = 438;

    // Shows a drop-down modally and returns once it has hidden itself.
    using PopupRunner = std::function<void(QDialog &)>;

    explicit ucDateTime(QWidget *parent = nullptr);
    ~ucDateTime() override;

    double DateTimeValue() const { return m_value; }
    void setDateTimeValue(double value) { m_value = value; } // touches neither box nor event
    void clear();
    double DateValue() const;
    double TimeValue() const;
    void setDateValue(double value);
    void setTimeValue(double value);
    void setRelativeTimeValue(double value) { m_relativeTimeValue = value; }
    // Asked before a container takes the value: text typed into a shown box
    // that reads as no date or time (and an empty box, when a value is
    // required) would otherwise count as 0 or midnight. Returns a message
    // that names the box by the caller's name for the control, and puts the
    // focus in that box; "" when every shown box can be read.
    QString checkEntry(const QString &name, bool required);

    // Offsets of the drop-downs from the form's corner, in twips, kept and
    // stored for the containers; the drop-downs themselves open below their
    // box. They can be set only at design time: at run time the setters raise
    // error 382.
    qint32 TopPosition() const { return m_topPosition; }
    void setTopPosition(qint32 value);
    qint32 LeftPosition() const { return m_leftPosition; }
    void setLeftPosition(qint32 value);

    quint8 Style() const { return m_style; }
    void setStyle(quint8 value); // the layout follows at the next resize
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &value);
    QColor ForeColor() const;
    void setForeColor(const QColor &value);
    bool Enabled() const;
    void setEnabled(bool value);
    QFont Font() const;
    void setFont(const QFont &value);
    qint16 BackStyle() const { return m_backStyle; } // 0 transparent, 1 opaque
    void setBackStyle(qint16 value);
    qint16 BorderStyle() const { return m_borderStyle; } // 0 none, 1 single line
    void setBorderStyle(qint16 value);
    void Refresh() { update(); }
    QString ToolTipText() const;
    void setToolTipText(const QString &value);
    QString TimeStyle() const { return m_timeStyle; }
    void setTimeStyle(const QString &value);

    // Access by dispatch number; an unknown number or a get of the write-only
    // RelativeTimeValue raises error 438.
    QVariant propertyById(qint32 dispId) const;
    void setPropertyById(qint32 dispId, const QVariant &value);

    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    // True while the program runs (the default); false while its form is designed.
    void setAmbientUserMode(bool userMode) { m_userMode = userMode; }
    void setPopupRunner(PopupRunner runner) { m_runPopup = std::move(runner); }

    QSize sizeHint() const override;

signals:
    void TimeChange(double NewTime);
    void DateChange(double newDate);
    void PropertyChanged(const QString &name);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void onDateTextChanged();
    void onTimeTextChanged();
    void dropDownCalendar();
    void dropDownTimeList();
    QPoint dropDownPosition(const QLineEdit *box, const QSize &size) const;
    void applyLayout();
    void checkDesignTime(const char *property) const;
    void changed(const char *property) { emit PropertyChanged(QLatin1String(property)); }
    void enableParts(bool enabled);
    QFont ambientFont() const;

    QLineEdit *Text1;
    QToolButton *Command1;
    QLineEdit *Text2;
    QToolButton *Command2;

    double m_value = 0;
    double m_relativeTimeValue = 0;
    qint32 m_topPosition = 0;
    qint32 m_leftPosition = 0;
    quint8 m_style = 0;
    QString m_timeStyle = QStringLiteral("0");
    QColor m_backColor;
    qint16 m_backStyle = 1;
    qint16 m_borderStyle = 0;
    bool m_userMode = true;
    PopupRunner m_runPopup;
};
