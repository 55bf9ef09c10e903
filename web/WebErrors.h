#pragma once

#include <QtGlobal>

namespace QelWeb {

// The numbers of the errors a page gets back for a call it made wrongly,
// those an automation client gets for the same faults.
namespace WebErr {
constexpr qint32 TypeMismatch = qint32(0x80020005);  // an argument of the wrong type, or an id that is no whole number
constexpr qint32 UnknownName = qint32(0x80020006);   // no such class, method or property
constexpr qint32 BadParamCount = qint32(0x8002000E); // too few or too many arguments
constexpr qint32 BadHandle = qint32(0x80004003);     // no object has this handle
constexpr qint32 BadArguments = qint32(0x80070057);  // the arguments are not a JSON array, or a value no row may hold
constexpr qint32 Failed = qint32(0x80004005);        // anything else that went wrong
constexpr qint32 DuplicateKey = 457;                 // a key already taken in a collection
} // namespace WebErr

} // namespace QelWeb
