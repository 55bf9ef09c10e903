#include "StoredText.h"

#include "DateUtil.h"

#include <charconv>

QString FormatSQLNumber(QString &numberText)
{
    const int comma = numberText.indexOf(u',');
    if (comma >= 0)
        numberText[comma] = u'.';
    return numberText;
}

QString EncodeQuotes(const QString &text)
{
    QString result = text;
    result.replace(u'\'', QChar(8));
    return result;
}

QString DecodeQuotes(const QString &text)
{
    QString result = text;
    result.replace(QChar(8), u'\'');
    return result;
}

QString FormatSQLDate(double date)
{
    return u'\'' + HistoryDate(date) + u'\'';
}

QVariant StoredDay(double day)
{
    if (day == 0)
        return QVariant(QMetaType::fromType<double>());
    // Fifteen significant digits, as the text form of the number has them;
    // without the detour through a QString, which a status change would
    // otherwise spend more on than on its statements.
    char buffer[32];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, day, std::chars_format::general, 15);
    double rounded = day;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

QString HistoryDate(double day)
{
    const QDateTime at = DateUtil::fromDays(day);
    const QDate date = at.date();
    if (date.year() < 1000 || date.year() > 9999)
        return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    // Written out digit by digit: reading a format, even printf's, costs more
    // than the rest of a write.
    const QTime time = at.time();
    char text[] = "0000-00-00 00:00:00";
    const auto put = [&text](int first, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[first + i] = char('0' + value % 10);
    };
    put(0, date.year(), 4);
    put(5, date.month(), 2);
    put(8, date.day(), 2);
    put(11, time.hour(), 2);
    put(14, time.minute(), 2);
    put(17, time.second(), 2);
    return QString::fromLatin1(text, qsizetype(sizeof text - 1));
}

double DayFromColumn(const QVariant &value)
{
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return DateUtil::toDays(value.toDateTime());
    case QMetaType::QDate:
        return DateUtil::toDays(value.toDate());
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        bool isNumber = false;
        const double number = text.toDouble(&isNumber);
        if (isNumber)
            return number;
        QDateTime moment = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!moment.isValid())
            moment = QDateTime::fromString(text, Qt::ISODate);
        return DateUtil::toDays(moment);
    }
    default:
        return value.toDouble();
    }
}
