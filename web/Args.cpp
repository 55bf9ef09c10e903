#include "Args.h"

#include "WebErrors.h"
#include "platform/AppError.h"

#include <cmath>
#include <limits>

namespace QelWeb {

namespace {

[[noreturn]] void mismatch(int i, const QString &wanted)
{
    throw AppError(WebErr::TypeMismatch, QStringLiteral("QelWeb"),
                   QStringLiteral("Type mismatch: argument %1 must be %2").arg(i + 1).arg(wanted));
}

} // namespace

void Args::requireCount(int min, int max) const
{
    if (size() < min || size() > max)
        throw AppError(WebErr::BadParamCount, QStringLiteral("QelWeb"),
                       QStringLiteral("Wrong number of arguments: %1 given, %2 to %3 taken").arg(size()).arg(min).arg(max));
}

QJsonValue Args::at(int i) const
{
    return i < size() ? m_values.at(i) : QJsonValue(QJsonValue::Undefined);
}

qint32 Args::int32(int i) const
{
    const double value = at(i).toDouble(std::nan(""));
    if (!at(i).isDouble() || value != std::trunc(value) || value < std::numeric_limits<qint32>::min()
        || value > std::numeric_limits<qint32>::max())
        mismatch(i, QStringLiteral("a whole 32-bit number"));
    return qint32(value);
}

QString Args::text(int i) const
{
    if (!at(i).isString())
        mismatch(i, QStringLiteral("a string"));
    return at(i).toString();
}

double Args::number(int i) const
{
    if (!at(i).isDouble())
        mismatch(i, QStringLiteral("a number (a date as a day number)"));
    return at(i).toDouble();
}

QVariant Args::any(int i) const
{
    return at(i).toVariant();
}

QJsonArray Args::array(int i) const
{
    if (!at(i).isArray())
        mismatch(i, QStringLiteral("an array"));
    return at(i).toArray();
}

qint64 Args::handle(int i) const
{
    const double value = at(i).toDouble();
    if (!at(i).isDouble() || value != std::trunc(value) || value < 1 || value > 9e15)
        mismatch(i, QStringLiteral("an object's handle"));
    return qint64(value);
}

} // namespace QelWeb
