#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>
#include <array>

class QPrinter;
class QWidget;
class cCommonDialog;

// The desktop's own dialogs behind cCommonDialog. The program shows the Qt
// dialogs; tests answer in their place. Each call is true on OK, with the
// choice written back into its request, and false on Cancel, leaving the
// request as it was. With events set, the dialog raises that object's events
// while it is up.
class ICommonDialogBackend
{
public:
    struct FileRequest
    {
        bool save = false;
        QString fileName;        // proposed; on OK the first file chosen
        QStringList fileNames;   // on OK every file chosen, with its folder
        QString initDir;
        QString title;
        QString defaultExt;
        QStringList nameFilters; // "Description (patterns)"
        int filterIndex = 0;     // 0-based; on OK the filter in use
        bool fileMustExist = false;
        bool pathMustExist = false;
        bool multiSelect = false;
        bool overwritePrompt = false;
    };

    struct FontRequest
    {
        QFont font;
        QColor colour;
        int minSize = 0;         // 0 for no limit
        int maxSize = 0;
        bool effects = false;    // underline, strikeout and colour offered
    };

    struct PrintRequest
    {
        QPrinter *printer = nullptr; // the printer the choice is handed to
        int copies = 1;
        int fromPage = 0;
        int toPage = 0;
        bool collate = false;
        bool pageNumbers = true;     // a page range may be given
        bool selection = true;       // "selection" may be chosen
        bool printToFileShown = true;
    };

    virtual ~ICommonDialogBackend() = default;

    virtual bool chooseFile(FileRequest &request, QWidget *owner, cCommonDialog *events) = 0;
    virtual bool chooseColour(QColor &colour, std::array<QColor, 16> &customColours, QWidget *owner,
                              cCommonDialog *events) = 0;
    virtual bool chooseFont(FontRequest &request, QWidget *owner, cCommonDialog *events) = 0;
    virtual bool choosePrinter(PrintRequest &request, QWidget *owner, cCommonDialog *events) = 0;
};
