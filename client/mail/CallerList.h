#pragma once

#include <QStringList>

// The names of recent callers offered by the phone-message form, newest
// first, kept as one text of "#"-ended entries.
namespace CallerList {

constexpr int kUpperBound = 25; // 26 places

// Reads the stored list: 10000, or 10003 when the value is empty.
qint32 load(QStringList &list);
void save(const QStringList &list);

QStringList parse(const QString &stored, qint32 &result);
QString joined(const QStringList &list);
// The list after a call from this caller: he goes to the front, once.
QStringList withCaller(QStringList list, const QString &caller);

} // namespace CallerList
