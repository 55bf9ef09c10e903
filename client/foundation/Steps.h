#pragma once

#include "MErrorHandler.h"
#include "platform/AppError.h"

#include <QString>
#include <exception>

// Runs a step of a sequence whose failure must not stop the steps after it.
// Each gives true when the step ran to its end; the name says what a failure
// leaves behind.
namespace Steps {

// Nothing: the step is optional and its failure says nothing worth keeping.
template <typename Step>
bool skip(Step &&step)
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// A line in the debug log naming where the step belonged.
template <typename Step>
bool logAndSkip(const QString &where, Step &&step)
{
    try {
        step();
        return true;
    } catch (const std::exception &e) {
        WriteDebugLog(where + QStringLiteral(": step skipped: ") + QString::fromUtf8(e.what()));
        return false;
    }
}

// The error dialog, with the step's description followed by context and its
// source after sourcePrefix. Errors other than the program's own are logged.
template <typename Step>
bool reportAndSkip(const QString &sourcePrefix, const QString &context, Step &&step)
{
    try {
        step();
        return true;
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description() + context, sourcePrefix + e.source());
        return false;
    } catch (const std::exception &e) {
        WriteDebugLog(sourcePrefix + QStringLiteral("step skipped: ") + QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace Steps
