#include "StoredText.h"

#include "DateUtil.h"

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
    return u'\'' + DateUtil::fromDays(date).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\'';
}

QVariant StoredDay(double day)
{
    if (day == 0)
        return QVariant(QMetaType::fromType<double>());
    return DateUtil::numberText(day).toDouble();
}

QString HistoryDate(double day)
{
    const QString literal = FormatSQLDate(day);
    return literal.mid(1, literal.size() - 2);
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
