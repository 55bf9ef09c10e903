#pragma once

#include "foundation/IPrompt.h"

// The real message boxes.
class QtPrompt : public IPrompt
{
public:
    int message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;
};
