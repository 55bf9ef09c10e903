#pragma once

#include <QString>

// The throw-away PostgreSQL cluster that the test command starts. Its admin
// connection string comes in TESSALY_PG_CONNINFO. When the variable is not set
// the PostgreSQL tests skip, unless TESSALY_REQUIRE_PG says they must run.
class PgServer
{
public:
    static bool available();
    static bool required();
    static QString adminConnInfo();

    // Creates a fresh database and gives its connection string; dropped by
    // dropDatabase (or left for the cluster's removal).
    static QString createDatabase(const QString &name);
    static void dropDatabase(const QString &name);
};

// In a test function: skips when no server is available (fails if required).
#define REQUIRE_PG()                                                              \
    do {                                                                          \
        if (!PgServer::available()) {                                             \
            if (PgServer::required())                                             \
                QFAIL("TESSALY_REQUIRE_PG is set but TESSALY_PG_CONNINFO is not"); \
            QSKIP("no PostgreSQL test server (TESSALY_PG_CONNINFO not set)");     \
        }                                                                         \
    } while (0)
