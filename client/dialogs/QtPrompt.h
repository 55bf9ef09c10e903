#pragma once

#include "foundation/IPrompt.h"

class QMessageBox;

// The real message boxes.
class QtPrompt : public IPrompt
{
public:
    int message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;

    // The box's title, text and icon; its width has room for the whole title.
    static void prepare(QMessageBox &box, const QString &text, Icon icon, const QString &title);
};
