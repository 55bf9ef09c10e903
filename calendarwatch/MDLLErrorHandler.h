#pragma once

#include <QString>

// The watcher's error log, "zoroutlook-error.log" in the folder Tessaly keeps
// its logs in: one record per error, appended whole, never an error of its own.
namespace MDLLErrorHandler {
void setFolder(const QString &folder);
QString logPath();
// procedure: the procedure's name, a line break and the error's source.
void LogError(qint32 number, const QString &description, const QString &procedure);
} // namespace MDLLErrorHandler
