#pragma once

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <QVector>

// The rows of one query, read whole when it is opened (a static client-side
// cursor), so no lock on the database is held while a caller walks them.
// Fields are found by name ignoring case; on a join the first match wins.
class RecordSet
{
public:
    RecordSet() = default;
    RecordSet(QStringList columns, QVector<QVector<QVariant>> rows);

    bool eof() const { return m_position >= m_rows.size(); }
    void moveNext() { if (m_position < m_rows.size()) ++m_position; }
    void moveFirst() { m_position = 0; }
    int position() const { return m_position; }
    int recordCount() const { return int(m_rows.size()); }
    const QStringList &columns() const { return m_columns; }

    // The value of a field of the current row; null when the field is null,
    // missing, or the record set is at its end.
    QVariant value(const QString &field) const;
    QVariant value(int column) const;
    bool isNull(const QString &field) const { return value(field).isNull(); }
    bool hasField(const QString &field) const { return indexOf(field) >= 0; }
    int indexOf(const QString &field) const;

    // Convenience readers that give a default for a null field.
    QString text(const QString &field, const QString &whenNull = QString()) const;
    qint64 integer(const QString &field, qint64 whenNull = 0) const;
    double number(const QString &field, double whenNull = 0) const;
    bool flag(const QString &field, bool whenNull = false) const;

    const QVector<QVariant> &row(int index) const { return m_rows.at(index); }

    // The readers above for a value read some other way.
    static qint64 toInteger(const QVariant &v, qint64 whenNull = 0);
    static double toNumber(const QVariant &v, double whenNull = 0);
    static bool toFlag(const QVariant &v, bool whenNull = false);

private:
    QStringList m_columns;
    // Fields as callers name them, found once: a reader asks for the same
    // few names on every one of thousands of rows (a plain list: it is
    // short, and comparing names costs less than hashing them).
    mutable QList<QPair<QString, int>> m_found;
    QVector<QVector<QVariant>> m_rows;
    int m_position = 0;
};
