#pragma once

#include <QtGlobal>

// CMake defines zordatetime_EXPORTS while it builds the shared library itself;
// the program and the tests that load the library import the same classes.
#if defined(zordatetime_EXPORTS)
#define ZORDATETIME_EXPORT Q_DECL_EXPORT
#else
#define ZORDATETIME_EXPORT Q_DECL_IMPORT
#endif
