#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The desktop's own dialogs behind cCommonDialog. The program shows the Qt
// dialogs; tests answer in their place.
class ICommonDialogBackend
{
public:
    virtual ~ICommonDialogBackend() = default;

    // Shows the font dialog starting from font and colour, offering sizes
    // from minSize to maxSize (0 for no limit). True on OK, with the choice
    // written back; false on Cancel, leaving both as they were.
    virtual bool chooseFont(QFont &font, QColor &colour, int minSize, int maxSize, quint32 flags,
                            QWidget *owner) = 0;
};
