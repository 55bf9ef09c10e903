#pragma once

#include <QString>

// Small routines shared by the whole program.

// The number after a key's three-letter kind ("USR42" gives 42); -1 for a key
// shorter than four characters, 0 when the rest is not a number.
qint32 KeyToId(const QString &key);
