#include "qelweb.h"

#include "ClassCatalog.h"
#include "ErrorHandling.h"
#include "ObjectTable.h"
#include "WebErrors.h"
#include "WebObject.h"
#include "platform/AppError.h"
#include "platform/DataSourceRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace QelWeb;

namespace {

char *copyOut(const QJsonObject &object)
{
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    char *copy = static_cast<char *>(std::malloc(size_t(text.size()) + 1));
    if (copy)
        std::memcpy(copy, text.constData(), size_t(text.size()) + 1);
    return copy;
}

// A string half of a surrogate pair is no character: SQLite would store it as
// another one and drop the next, PostgreSQL refuses it mid-write.
bool isWholeText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return false;
    }
    return true;
}

bool isWholeText(const QJsonValue &value)
{
    if (value.isString())
        return isWholeText(value.toString());
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(), [](const QJsonValue &v) { return isWholeText(v); });
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!isWholeText(it.key()) || !isWholeText(it.value()))
                return false;
    }
    return true;
}

QJsonArray parseArguments(const char *jsonArguments)
{
    if (!jsonArguments || !*jsonArguments)
        return {};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(jsonArguments), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        throw AppError(WebErr::BadArguments, QStringLiteral("QelWeb"),
                       QStringLiteral("The arguments are not a JSON array: ") + error.errorString());
    if (!isWholeText(QJsonValue(document.array())))
        throw AppError(WebErr::BadArguments, QStringLiteral("QelWeb"),
                       QStringLiteral("The arguments hold a text that is not valid Unicode (half of a surrogate pair)."));
    return document.array();
}

QJsonObject errorResult(const QString &member, const AppError &e)
{
    if (!dynamic_cast<const LoggedError *>(&e))
        WriteErrorEvent(QStringLiteral("Call of ") + member.left(80) + QStringLiteral(" failed."), e);
    return {{QStringLiteral("error"),
             QJsonObject{{QStringLiteral("number"), e.number()},
                         {QStringLiteral("source"), DataSourceRegistry::masked(e.source())},
                         {QStringLiteral("description"), DataSourceRegistry::masked(e.description())}}}};
}

QJsonObject callMember(long long handle, const QString &member, const char *jsonArguments)
{
    const std::shared_ptr<WebObject> object = ObjectTable::find(handle);
    if (!object)
        throw AppError(WebErr::BadHandle, QStringLiteral("QelWeb"),
                       QStringLiteral("No object has the handle %1: it was never made, or was released.").arg(handle));
    return {{QStringLiteral("result"), object->call(member, parseArguments(jsonArguments))}};
}

} // namespace

extern "C" {

long long qelweb_create(const char *progId)
{
    try {
        const QString name = QString::fromUtf8(progId ? progId : "");
        if (std::shared_ptr<WebObject> object = CreateWebObject(name))
            return ObjectTable::add(std::move(object));
        WriteErrorEvent(QStringLiteral("No object made."),
                        AppError(WebErr::UnknownName, QStringLiteral("QelWeb"),
                                 QStringLiteral("No class is called ") + name.left(80)));
    } catch (...) {
    }
    return 0;
}

char *qelweb_call(long long handle, const char *member, const char *jsonArguments)
{
    const QString name = QString::fromUtf8(member ? member : "");
    try {
        return copyOut(callMember(handle, name, jsonArguments));
    } catch (const AppError &e) {
        return copyOut(errorResult(name, e));
    } catch (const std::exception &e) {
        return copyOut(errorResult(name, AppError(WebErr::Failed, QStringLiteral("QelWeb"),
                                                  QString::fromLocal8Bit(e.what()))));
    } catch (...) {
        return copyOut(errorResult(name, AppError(WebErr::Failed, QStringLiteral("QelWeb"),
                                                  QStringLiteral("Unexpected failure."))));
    }
}

int qelweb_release(long long handle)
{
    try {
        return ObjectTable::remove(handle) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

void qelweb_free(char *text)
{
    std::free(text);
}

} // extern "C"
