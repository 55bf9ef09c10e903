#pragma once

// Short cuts for tests of status changes: users written straight into the
// database, a query's rows as text, a change made without a dialog, and a
// copy of the test program started as another running copy.

#include "foundation/MADOFunctions.h"
#include "status/CClientHnd.h"

#include <QCoreApplication>
#include <QProcess>
#include <memory>

// Users 1..count, "User <id>", In and active, each with the change counter id + counterFrom.
inline void addStaff(qint32 count, qint64 counterFrom = 0)
{
    DbHandle connection;
    for (qint32 id = 1; id <= count; ++id)
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) "
                              "VALUES (?, ?, 'INN', ?, 1)"),
               connection, {id, QStringLiteral("User %1").arg(id), id + counterFrom});
}

// Every row of a query, its fields joined by "|" (null as "null").
inline QStringList queryRows(const QString &sql, const QVariantList &params = {})
{
    DbHandle connection;
    QStringList result;
    for (RecordSet rs = OpenADORecordSet(connection, sql, true, params); !rs.eof(); rs.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs.columns().size(); ++i)
            fields << (rs.value(i).isNull() ? QStringLiteral("null") : rs.value(i).toString());
        result << fields.join(u'|');
    }
    return result;
}

// A change as a running copy makes it when told by another: the default
// times, no calendar, nobody asked.
inline qint32 changeStatus(CClientHnd &engine, qint32 userId, const QString &status, const QString &note)
{
    double outAt = 0, dueBack = 0;
    return engine.UpdateStatus(userId, status, note, outAt, dueBack, false, false);
}

// This test program started again with arguments, its errors on ours.
inline std::unique_ptr<QProcess> startCopy(const QStringList &arguments)
{
    auto copy = std::make_unique<QProcess>();
    copy->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy->start(QCoreApplication::applicationFilePath(), arguments);
    return copy;
}
