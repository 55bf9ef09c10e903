#pragma once

#include "PgServer.h"
#include "TestSupport.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/MADOFunctions.h"

#include <QtTest>
#include <memory>

// A private test world with a fresh database at the current schema (or empty
// when not upgraded): a SQLite file, or a new database on the PostgreSQL test
// server (dropped afterwards).
class TestDatabase
{
public:
    TestDatabase(bool postgres, const QString &name, bool upgraded = true)
        : m_postgres(postgres), m_name(name)
    {
        if (postgres)
            env.usePostgresDatabase(PgServer::createDatabase(name));
        else
            env.useSqliteDatabase();
        if (upgraded)
            CUpdateDatabase::checkAtStartUp();
    }
    ~TestDatabase()
    {
        if (m_postgres)
            PgServer::dropDatabase(m_name);
    }

    // Runs a statement with bound values on a connection of its own.
    void exec(const QString &sql, const QVariantList &params = {})
    {
        DbHandle none;
        Update(sql, none, params);
    }
    // The first field of the first row, or null.
    QVariant value(const QString &sql, const QVariantList &params = {})
    {
        DbHandle connection;
        const RecordSet rs = OpenADORecordSet(connection, sql, true, params);
        return rs.eof() ? QVariant() : rs.value(0);
    }
    // Each row's fields, trimmed and joined by "|".
    QStringList rows(const QString &sql)
    {
        DbHandle connection;
        QStringList result;
        for (RecordSet rs = OpenADORecordSet(connection, sql); !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.columns().size(); ++i)
                fields << rs.value(i).toString().trimmed();
            result << fields.join(u'|');
        }
        return result;
    }

    TestEnvironment env;

private:
    bool m_postgres;
    QString m_name;
};

// Data rows "sqlite" and "postgres" for tests that run on both engines.
inline void addEngineRows()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgres") << true;
}

// In a data-driven test function: the row's engine in `postgres`, the row
// skipped where the PostgreSQL server is wanted but missing.
#define FETCH_ENGINE()      \
    QFETCH(bool, postgres); \
    if (postgres)           \
        REQUIRE_PG()

// In a data-driven test function: a fresh database on the row's engine.
#define OPEN_TEST_DATABASE(db, name) \
    FETCH_ENGINE();                  \
    TestDatabase db(postgres, QString::fromLatin1(name) + QTest::currentTestFunction())
