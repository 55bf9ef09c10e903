#include "QtCommonDialogBackend.h"

#include "cCommonDialog.h"
#include "FileChoiceDialog.h"
#include "FontChoiceDialog.h"

#include <QColorDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <algorithm>

namespace {

// Runs a dialog modally; with an events object it says when the dialog is up
// and when it has gone.
bool run(QDialog &dialog, cCommonDialog *events)
{
    if (events)
        QTimer::singleShot(0, &dialog, [&dialog, events] { emit events->InitDialog(&dialog); });
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (events)
        emit events->DialogClose();
    return ok;
}

} // namespace

bool QtCommonDialogBackend::chooseFile(FileRequest &request, QWidget *owner, cCommonDialog *events)
{
    FileChoiceDialog dialog(owner, request.pathMustExist, events);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.multiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setWindowTitle(request.title);
    dialog.setDefaultSuffix(request.defaultExt);
    dialog.setNameFilters(request.nameFilters);
    if (request.filterIndex >= 0 && request.filterIndex < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters[request.filterIndex]);
    const QFileInfo proposed(request.fileName);
    if (!request.initDir.isEmpty())
        dialog.setDirectory(request.initDir);
    else if (!request.fileName.isEmpty())
        dialog.setDirectory(proposed.absolutePath());
    if (!request.fileName.isEmpty())
        dialog.selectFile(proposed.fileName());
    if (!run(dialog, events))
        return false;
    request.fileNames = dialog.selectedFiles();
    request.fileName = request.fileNames.value(0);
    request.filterIndex = int(request.nameFilters.indexOf(dialog.selectedNameFilter()));
    return true;
}

bool QtCommonDialogBackend::chooseColour(QColor &colour, std::array<QColor, 16> &customColours, QWidget *owner,
                                         cCommonDialog *events)
{
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, customColours[size_t(i)]);
    QColorDialog dialog(colour.isValid() ? colour : QColor(Qt::white), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog, events != nullptr);
    const bool ok = run(dialog, events);
    for (int i = 0; i < 16; ++i)
        customColours[size_t(i)] = QColorDialog::customColor(i);
    if (ok)
        colour = dialog.selectedColor();
    return ok;
}

bool QtCommonDialogBackend::chooseFont(FontRequest &request, QWidget *owner, cCommonDialog *events)
{
    FontChoiceDialog dialog(request, owner);
    if (!run(dialog, events))
        return false;
    request = dialog.choice();
    return true;
}

bool QtCommonDialogBackend::choosePrinter(PrintRequest &request, QWidget *owner, cCommonDialog *events)
{
    QPrinter ownPrinter;
    QPrinter *printer = request.printer ? request.printer : &ownPrinter;
    printer->setCopyCount(std::max(1, request.copies));
    printer->setCollateCopies(request.collate);
    if (request.fromPage > 0 && request.toPage >= request.fromPage)
        printer->setFromTo(request.fromPage, request.toPage);
    QPrintDialog dialog(printer, owner);
    dialog.setMinMax(1, 65535);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, request.pageNumbers);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, request.selection);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, request.printToFileShown);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (!run(dialog, events))
        return false;
    request.copies = printer->copyCount();
    request.collate = printer->collateCopies();
    request.fromPage = printer->fromPage();
    request.toPage = printer->toPage();
    return true;
}
