#pragma once

#include "MADOFunctions.h"

#include <optional>

class AppError;

// Brings the shared database up to the schema version this program needs,
// once at start-up. A new, empty database gets the oldest tables and then
// every step without a question; an older one is asked about first where the
// upgrade needs every other copy stopped. Each step runs in a transaction and
// only does what is still missing, so a step that failed can run again.
class CUpdateDatabase
{
public:
    static constexpr int CurrentVersion = 46;

    // Upgrades the database on the connection. A No to the question ends the
    // program before any change; a failed step is rolled back, reported, and
    // the program ends.
    void checkDatabaseVersion(DbHandle &connection);

    // The start-up's check, on a connection of its own.
    static void checkAtStartUp();

    // For tests: leave once this version is reached (3 leaves a new database
    // with the oldest tables only), and fail inside the step to a version,
    // after its statements, so that its roll-back shows.
    void setStopAtVersion(int version) { m_stopAt = version; }
    void setFailInStep(int version) { m_failInStep = version; }

    static QString upgradeQuestion();      // the question before the steps to 40 and 41
    static QString upgradeFrom40Question(); // the question before the step to 42

private:
    using Step = void (CUpdateDatabase::*)(DbHandle &);

    std::optional<QString> readVersion(DbHandle &connection);
    void runNextStep(DbHandle &connection, double version);
    void runStep(DbHandle &connection, int version, Step step);
    static void completeIndexes(DbConnection &connection);
    void ask(const QString &text);
    [[noreturn]] void failed(DbHandle &connection, const AppError &error);

    void CreateOldestTables(DbHandle &connection);
    void AddVersion4Columns(DbHandle &connection);
    void CreateVersion4Tables(DbHandle &connection);
    void addFirstMemberships(DbHandle &connection);
    void UpgradeToVersion41(DbHandle &connection);
    void UpgradeToVersion42(DbHandle &connection);
    void UpgradeToVersion44(DbHandle &connection);
    void UpgradeToVersion45(DbHandle &connection);
    void UpgradeToVersion46(DbHandle &connection);

    void insertProperty(DbHandle &connection, const QString &key, const QString &value);
    void setVersion(DbHandle &connection, const QString &version);

    QString m_versionRead = QStringLiteral("3");
    int m_step = CurrentVersion;  // the version the step under way leads to
    bool m_answered = false;      // the question before the steps to 40 was answered Yes
    int m_stopAt = CurrentVersion;
    int m_failInStep = 0;
};
