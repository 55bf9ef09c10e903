#pragma once

#include <QString>
#include <memory>

namespace QelWeb {

class WebObject;

// Makes an object of a public class by its ProgID ("QelWeb.CUserList"),
// ignoring case; nothing for an unknown name.
std::shared_ptr<WebObject> CreateWebObject(const QString &progId);

} // namespace QelWeb
