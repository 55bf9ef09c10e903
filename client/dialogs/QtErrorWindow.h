#pragma once

#include "foundation/IErrorWindow.h"

// The real error window.
class QtErrorWindow : public IErrorWindow
{
public:
    int showError(const QString &userMessage, const QString &details) override;
};
