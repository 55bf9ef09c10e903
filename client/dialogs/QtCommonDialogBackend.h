#pragma once

#include "ICommonDialogBackend.h"

// The Qt dialogs, and a font dialog of our own: the Qt one can neither limit
// the sizes nor offer a colour.
class QtCommonDialogBackend : public ICommonDialogBackend
{
public:
    bool chooseFile(FileRequest &request, QWidget *owner, cCommonDialog *events) override;
    bool chooseColour(QColor &colour, std::array<QColor, 16> &customColours, QWidget *owner,
                      cCommonDialog *events) override;
    bool chooseFont(FontRequest &request, QWidget *owner, cCommonDialog *events) override;
    bool choosePrinter(PrintRequest &request, QWidget *owner, cCommonDialog *events) override;
};
