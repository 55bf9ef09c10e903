#pragma once

#include <QUrl>

// Opens documents and addresses with the desktop's chosen program. Tests
// replace it so that nothing is really opened.
class IShell
{
public:
    virtual ~IShell() = default;
    virtual bool openUrl(const QUrl &url) = 0;
};
