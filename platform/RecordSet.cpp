#include "RecordSet.h"

RecordSet::RecordSet(QStringList columns, QVector<QVector<QVariant>> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows))
{
}

int RecordSet::indexOf(const QString &field) const
{
    for (const auto &[name, index] : m_found)
        if (name.constData() == field.constData() || name == field)
            return index;
    int index = -1;
    for (int i = 0; i < m_columns.size() && index < 0; ++i)
        if (m_columns[i].compare(field, Qt::CaseInsensitive) == 0)
            index = i;
    m_found.append({field, index});
    return index;
}

QVariant RecordSet::value(const QString &field) const
{
    return value(indexOf(field));
}

QVariant RecordSet::value(int column) const
{
    if (eof() || column < 0 || column >= m_rows[m_position].size())
        return QVariant();
    return m_rows[m_position][column];
}

QString RecordSet::text(const QString &field, const QString &whenNull) const
{
    const QVariant v = value(field);
    return v.isNull() ? whenNull : v.toString();
}

qint64 RecordSet::integer(const QString &field, qint64 whenNull) const
{
    return toInteger(value(field), whenNull);
}

qint64 RecordSet::toInteger(const QVariant &v, qint64 whenNull)
{
    if (v.isNull())
        return whenNull;
    // The drivers' own types first: the general conversion costs more than
    // the rest of reading a row.
    if (v.typeId() == QMetaType::LongLong)
        return *static_cast<const qlonglong *>(v.constData());
    if (v.typeId() == QMetaType::Int)
        return *static_cast<const int *>(v.constData());
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    const double d = v.toDouble(&ok);
    return ok ? qint64(d) : whenNull;
}

double RecordSet::number(const QString &field, double whenNull) const
{
    return toNumber(value(field), whenNull);
}

double RecordSet::toNumber(const QVariant &v, double whenNull)
{
    if (v.isNull())
        return whenNull;
    if (v.typeId() == QMetaType::Double)
        return *static_cast<const double *>(v.constData());
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : whenNull;
}

bool RecordSet::flag(const QString &field, bool whenNull) const
{
    return toFlag(value(field), whenNull);
}

bool RecordSet::toFlag(const QVariant &v, bool whenNull)
{
    if (v.isNull())
        return whenNull;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return v.toDouble() != 0;
    default:
        break;
    }
    const QString s = v.toString().trimmed();
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s == QLatin1String("t"))
        return true;
    bool ok = false;
    const double d = s.toDouble(&ok);
    return ok && d != 0;
}
