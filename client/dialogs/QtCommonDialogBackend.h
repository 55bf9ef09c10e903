#pragma once

#include "ICommonDialogBackend.h"

// The Qt dialogs. The Qt font dialog has no colour choice, so the colour
// comes back as it went in.
class QtCommonDialogBackend : public ICommonDialogBackend
{
public:
    bool chooseFont(QFont &font, QColor &colour, int minSize, int maxSize, quint32 flags, QWidget *owner) override;
};
