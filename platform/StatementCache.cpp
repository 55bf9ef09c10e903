#include "StatementCache.h"

#include <QSqlDatabase>
#include <QSqlError>

QSqlQuery *StatementCache::statement(const QSqlDatabase &db, const QString &sql, bool forwardOnly, QSqlError &error)
{
    const auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return found->second.get();
    auto query = std::make_unique<QSqlQuery>(db);
    query->setForwardOnly(forwardOnly);
    if (!query->prepare(sql)) {
        error = query->lastError();
        return nullptr;
    }
    if (m_statements.size() >= kMaxStatements)
        m_statements.clear();
    return m_statements.emplace(sql, std::move(query)).first->second.get();
}

void StatementCache::drop(const QString &sql)
{
    m_statements.erase(sql);
}

void StatementCache::clear()
{
    m_statements.clear();
}
