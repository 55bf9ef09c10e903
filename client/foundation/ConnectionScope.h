#pragma once

#include "MADOFunctions.h"

// Holds a caller's connection argument for the length of one operation: an
// empty handle is opened for the operation and closed again when it ends, even
// by an error; a handle that was passed in open stays open.
class ConnectionScope
{
public:
    explicit ConnectionScope(DbHandle &connection);
    ~ConnectionScope();
    ConnectionScope(const ConnectionScope &) = delete;
    ConnectionScope &operator=(const ConnectionScope &) = delete;

    DbHandle &handle() { return m_connection; }
    DbConnection &connection();

private:
    DbHandle &m_connection;
    bool m_owned;
};
