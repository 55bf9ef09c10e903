#pragma once

#include "Args.h"
#include "ObjectTable.h"
#include "WebErrors.h"
#include "platform/AppError.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <chrono>
#include <memory>
#include <mutex>

namespace QelWeb {

// An object a page made through the C entry, called by member name. One call
// at a time runs on an object; calls on different objects run side by side.
class WebObject
{
public:
    virtual ~WebObject() = default;

    // Runs a method, or reads (no argument) or sets (one argument) a
    // property, by its name ignoring case. Raises AppError for an unknown
    // name, a wrong number or type of arguments, and what the member raises.
    QJsonValue call(const QString &member, const QJsonArray &arguments);

    std::timed_mutex &mutex() { return m_mutex; }

protected:
    virtual QJsonValue invoke(const QString &member, Args &args) = 0;

private:
    std::timed_mutex m_mutex;
};

// One member of a class as pages reach it: its name, how many arguments it
// takes, and what it does with them.
template <typename T>
struct Member
{
    const char *name;
    int minArgs;
    int maxArgs;
    QJsonValue (*run)(T &object, Args &args);
};

template <typename T>
class WebObjectOf : public WebObject
{
public:
    WebObjectOf(const QString &className, const QList<Member<T>> &members)
        : m_className(className), m_members(members)
    {
    }

    T object;

protected:
    QJsonValue invoke(const QString &member, Args &args) override
    {
        for (const Member<T> &m : m_members) {
            if (member.compare(QLatin1String(m.name), Qt::CaseInsensitive) != 0)
                continue;
            args.requireCount(m.minArgs, m.maxArgs);
            return m.run(object, args);
        }
        throw AppError(WebErr::UnknownName, m_className,
                       QStringLiteral("Object doesn't support this property or method: ") + member.left(80));
    }

private:
    QString m_className;
    const QList<Member<T>> &m_members;
};

// A copy of the object that argument i names by its handle, as an object
// handed to a member goes in by value here.
template <typename T>
T objectArgument(const Args &args, int i)
{
    const std::shared_ptr<WebObject> other = ObjectTable::find(args.handle(i));
    auto *typed = dynamic_cast<WebObjectOf<T> *>(other.get());
    if (!typed)
        throw AppError(WebErr::TypeMismatch, QStringLiteral("QelWeb"),
                       QStringLiteral("Type mismatch: argument %1 must be the handle of an object of the class the "
                                      "member takes").arg(i + 1));
    if (typed == args.self())
        return typed->object; // this call already holds its lock
    // Two objects handed to each other at once must not wait on each other for ever.
    const std::unique_lock<std::timed_mutex> lock(typed->mutex(), std::chrono::seconds(5));
    if (!lock.owns_lock())
        throw AppError(WebErr::Failed, QStringLiteral("QelWeb"), QStringLiteral("The object handed in stayed busy."));
    return typed->object;
}

} // namespace QelWeb
