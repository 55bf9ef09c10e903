#include "cCommonDialog.h"

#include "ICommonDialogBackend.h"
#include "foundation/Globals.h"
#include "platform/AppError.h"

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
