#pragma once

#include "IShell.h"

// The desktop's own opener.
class QtShell : public IShell
{
public:
    bool openUrl(const QUrl &url) override;
};
