#pragma once

#include <QString>
#include <exception>

// The error numbers the program raises and tests. Database failures are mapped
// onto them so that the retry rules of the error handler apply: a locked or
// busy database is "busy", a bad statement is not.
namespace ErrNo {
constexpr qint32 Success = 10000;          // result of every routine that worked
constexpr qint32 LoginInUse = 10004;       // a log-in name another active user has: the user's to change
constexpr qint32 AdoUnusable = 10010;      // the database layer cannot be used at all
constexpr qint32 DatabaseBusy = 10011;     // the database stayed busy
constexpr qint32 Busy = qint32(0x80004005);        // locked or busy database, or a general failure
constexpr qint32 Raised = qint32(0x80042711);      // a routine gave up; carries the whole chain
constexpr qint32 Timeout = qint32(0x80040E23);     // a statement waited too long
constexpr qint32 BadStatement = qint32(0x80040E14); // syntax error, missing table or column
constexpr qint32 ConnectFailed = qint32(0x80040E4D); // the database could not be reached
constexpr qint32 ConstraintFailed = qint32(0x80040E2F); // a key or constraint refused the row
} // namespace ErrNo

// One trapped error: number, source and description, as handed from a routine
// to its caller and on to the error handlers.
class AppError : public std::exception
{
public:
    AppError(qint32 number, QString source, QString description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_what(QStringLiteral("[%1] %2: %3").arg(number).arg(m_source, m_description).toUtf8())
    {
    }

    qint32 number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};
