#include "cCommonDialog.h"

#include "AppError.h"
#include "Globals.h"
#include "ICommonDialogBackend.h"

bool cCommonDialog::ShowFont()
{
    QFont font = Font;
    QColor colour = FontColor;
    if (g_commonDialogs && g_commonDialogs->chooseFont(font, colour, Min, Max, flags, hwnd)) {
        Font = font;
        FontColor = colour;
        return true;
    }
    if (cancelError)
        throw AppError(CancelError, QStringLiteral("Tessaly.cCommonDialog"), QStringLiteral("Cancel was selected."));
    return false;
}
