#include "QtCommonDialogBackend.h"

#include <QFontDialog>

bool QtCommonDialogBackend::chooseFont(QFont &font, QColor &colour, int minSize, int maxSize, quint32 flags,
                                       QWidget *owner)
{
    // The Qt dialog offers every size and no colour.
    Q_UNUSED(colour)
    Q_UNUSED(minSize)
    Q_UNUSED(maxSize)
    Q_UNUSED(flags)
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, owner);
    if (ok)
        font = chosen;
    return ok;
}
