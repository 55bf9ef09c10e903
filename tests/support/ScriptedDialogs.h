#pragma once

#include "dialogs/cCommonDialog.h"
#include "dialogs/ICommonDialogBackend.h"


// Answers the common dialogs from a script (OK unless told otherwise) and
// keeps the last request of each kind as it came in.
class ScriptedDialogs : public ICommonDialogBackend
{
public:
    bool chooseFile(FileRequest &request, QWidget *, cCommonDialog *) override
    {
        fileAsked = request;
        if (!ok)
            return false;
        request.fileNames = files;
        request.fileName = files.value(0);
        request.filterIndex = filterIndex;
        return true;
    }
    bool chooseColour(QColor &c, std::array<QColor, 16> &, QWidget *, cCommonDialog *) override
    {
        colourAsked = c;
        if (ok)
            c = colour;
        return ok;
    }
    bool chooseFont(FontRequest &request, QWidget *, cCommonDialog *) override
    {
        fontAsked = request;
        if (ok)
            request = {font, colour, request.minSize, request.maxSize, request.effects};
        return ok;
    }
    bool choosePrinter(PrintRequest &request, QWidget *, cCommonDialog *) override
    {
        printAsked = request;
        if (ok)
            request.copies = copies;
        return ok;
    }

    bool ok = true;
    QStringList files;
    int filterIndex = 0;
    QColor colour = Qt::darkBlue;
    QFont font;
    int copies = 1;

    FileRequest fileAsked;
    QColor colourAsked;
    FontRequest fontAsked;
    PrintRequest printAsked;
};
