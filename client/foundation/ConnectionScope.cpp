#include "ConnectionScope.h"

ConnectionScope::ConnectionScope(DbHandle &connection)
    : m_connection(connection), m_owned(!connection)
{
}

ConnectionScope::~ConnectionScope()
{
    if (m_owned)
        CloseADOConnection(m_connection);
}

DbConnection &ConnectionScope::connection()
{
    if (!m_connection)
        m_connection = OpenADOConnection();
    return *m_connection;
}
