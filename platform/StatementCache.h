#pragma once

#include <QSqlQuery>
#include <QString>
#include <memory>
#include <unordered_map>

class QSqlDatabase;

// The statements with bound values that a connection has prepared, kept for
// the next run of the same SQL text: on PostgreSQL each is prepared on the
// server once per connection, not parsed and planned again every time.
class StatementCache
{
public:
    // The statement for the text, prepared on first use (forward-only as
    // asked); none when it could not be prepared (the error tells why), and
    // then it is not kept.
    QSqlQuery *statement(const QSqlDatabase &db, const QString &sql, bool forwardOnly, QSqlError &error);
    // Forgets a statement the server no longer accepts (a table it reads
    // was changed, say), so the next use prepares it again.
    void drop(const QString &sql);
    void clear();

private:
    // Statements built from a varying number of values would otherwise
    // pile up without end.
    static constexpr std::size_t kMaxStatements = 64;

    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_statements;
};
