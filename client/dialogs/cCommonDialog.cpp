#include "cCommonDialog.h"

#include "ICommonDialogBackend.h"
#include "foundation/Globals.h"
#include "foundation/IShell.h"
#include "platform/AppError.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

const QString kSource = QStringLiteral("tessaly.cCommonDialog");

// The flag bits the dialogs read.
constexpr quint32 kOverwritePrompt = 2;
constexpr quint32 kTemplate = 64;
constexpr quint32 kMultiSelect = 512;
constexpr quint32 kPathMustExist = 2048;
constexpr quint32 kFileMustExist = 4096;
constexpr quint32 kFontEffects = 256;
constexpr quint32 kScreenFonts = 1;
constexpr quint32 kPrinterFonts = 2;
constexpr quint32 kFontFromGiven = 64;
constexpr quint32 kLimitSize = 8192;
constexpr quint32 kFontUnused = 8 + 16 + 512;
constexpr quint32 kPageNumbers = 2;
constexpr quint32 kNoSelection = 4;
constexpr quint32 kCollate = 16;
constexpr quint32 kHidePrintToFile = 1048576;

// "Description|pattern|..." as pairs.
QList<QStringList> filterPairs(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QList<QStringList> pairs;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts[i], parts[i + 1]});
    return pairs;
}

QStringList nameFilters(const QString &filter)
{
    QStringList result;
    for (const QStringList &pair : filterPairs(filter))
        result << pair[0] + QStringLiteral(" (") + QString(pair[1]).replace(u';', u' ') + u')';
    return result;
}

// The folder and the names of a multiple selection, each ended by NUL, then
// a second NUL.
QString multipleSelection(const QStringList &files)
{
    QString text = QFileInfo(files.first()).absolutePath() + QChar(0);
    for (const QString &file : files)
        text += QFileInfo(file).fileName() + QChar(0);
    return text + QChar(0);
}

} // namespace

QColor cCommonDialog::CustomColor(int index) const
{
    return index >= 0 && index < 16 ? m_customColours[size_t(index)] : QColor();
}

void cCommonDialog::setCustomColor(int index, const QColor &colour)
{
    if (index >= 0 && index < 16)
        m_customColours[size_t(index)] = colour;
}

void cCommonDialog::cancelled() const
{
    if (cancelError)
        throw AppError(CancelError, kSource, QStringLiteral("User selected cancel."));
}

void cCommonDialog::ShowOpen()
{
    showFile(false);
}

void cCommonDialog::ShowSave()
{
    showFile(true);
}

void cCommonDialog::showFile(bool save)
{
    flags &= ~kTemplate; // no dialog templates here
    if (!save && FilterIndex == 0)
        FilterIndex = 1;
    ICommonDialogBackend::FileRequest request;
    request.save = save;
    request.fileName = Filename;
    request.initDir = InitDir;
    request.title = DialogTitle;
    request.defaultExt = DefaultExt;
    request.nameFilters = nameFilters(Filter);
    request.filterIndex = FilterIndex - 1;
    request.fileMustExist = !save && (flags & kFileMustExist);
    request.pathMustExist = flags & kPathMustExist;
    request.multiSelect = !save && (flags & kMultiSelect);
    request.overwritePrompt = save && (flags & kOverwritePrompt);
    if (g_commonDialogs && g_commonDialogs->chooseFile(request, hwnd, events())) {
        const QStringList files = request.fileNames.isEmpty() ? QStringList{request.fileName} : request.fileNames;
        Filename = files.size() > 1 ? multipleSelection(files) : files.first();
        FileTitle = QFileInfo(files.first()).fileName();
        FilterIndex = request.filterIndex + 1;
        const QList<QStringList> pairs = filterPairs(Filter);
        Filter = FilterIndex >= 1 && FilterIndex <= pairs.size() ? pairs[FilterIndex - 1].join(u'|') : QString();
        return;
    }
    Filename.clear();
    FileTitle.clear();
    Filter.clear();
    flags = 0;
    FilterIndex = save ? 0 : -1;
    cancelled();
}

void cCommonDialog::ShowColor()
{
    QColor colour = Color;
    if (g_commonDialogs && g_commonDialogs->chooseColour(colour, m_customColours, hwnd, events())) {
        Color = colour;
        return;
    }
    cancelled();
}

void cCommonDialog::ShowFont()
{
    if (!(flags & kPrinterFonts))
        flags |= kScreenFonts;
    if ((FontColor.rgb() & 0xFFFFFF) != 0)
        flags |= kFontEffects;
    if (Min != 0 || Max != 0)
        flags |= kLimitSize;
    flags = (flags & ~kFontUnused) | kFontFromGiven;
    ICommonDialogBackend::FontRequest request{Font, FontColor, Min, Max, (flags & kFontEffects) != 0};
    if (g_commonDialogs && g_commonDialogs->chooseFont(request, hwnd, events())) {
        Font = request.font;
        FontColor = request.colour;
        return;
    }
    cancelled();
}

void cCommonDialog::ShowPrinter()
{
    ICommonDialogBackend::PrintRequest request;
    request.printer = Object;
    request.copies = Copies;
    request.fromPage = FromPage;
    request.toPage = ToPage;
    request.collate = flags & kCollate;
    request.pageNumbers = flags & kPageNumbers;
    request.selection = !(flags & kNoSelection);
    request.printToFileShown = !(flags & kHidePrintToFile);
    if (g_commonDialogs && g_commonDialogs->choosePrinter(request, hwnd, events())) {
        Copies = request.copies;
        FromPage = request.fromPage;
        ToPage = request.toPage;
    }
}

void cCommonDialog::ShowHelp()
{
    if (HelpCommand == 513 || HelpCommand == 515)
        throw AppError(InvalidHelpCommand, kSource, QStringLiteral("Invalid WinHelp Command Passed to ShowHelp function."));
    if (!g_shell || !g_shell->openUrl(QUrl::fromUserInput(HelpFile, QString(), QUrl::AssumeLocalFile)))
        throw AppError(2, kSource, QStringLiteral("The help file could not be opened: ") + HelpFile);
}

void cCommonDialog::CentreDialog(QWidget *dialog, const QWidget *owner)
{
    QRect reference;
    if (owner)
        reference = owner->frameGeometry();
    else if (const QScreen *screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen())
        reference = screen->availableGeometry();
    if (reference.right() <= 0 || reference.bottom() <= 0)
        return;
    const QRect own = dialog->frameGeometry();
    dialog->move(reference.left() + (reference.width() - own.width()) / 2,
                 reference.top() + (reference.height() - own.height()) / 2);
}

QRect cCommonDialog::GetDialogSize(const QWidget *dialog)
{
    return dialog->frameGeometry();
}

void cCommonDialog::ParseMultiFileName(QString &folder, QStringList &names, int &count) const
{
    const QChar nul(0);
    names.clear();
    const int end = Filename.indexOf(QString(2, nul));
    if (end >= 0) {
        const QStringList pieces = Filename.left(end).split(nul);
        for (int i = 0; i + 1 < pieces.size(); ++i) {
            if (folder.isEmpty())
                folder = pieces[i];
            else
                names << pieces[i];
        }
        names << pieces.last();
        count = int(names.size());
        return;
    }
    // A single file: its folder is everything before the last "/", unless
    // that is the leading one.
    count = 1;
    const int slash = Filename.lastIndexOf(u'/');
    if (slash >= 1) {
        folder = Filename.left(slash);
        names = {Filename.mid(slash + 1)};
    } else {
        folder.clear();
        names = {Filename};
    }
}

bool cCommonDialog::ConfirmOK()
{
    bool cancel = false;
    emit DialogOK(cancel);
    return !cancel;
}
