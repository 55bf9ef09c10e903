#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The common-dialog object: set its properties, call a Show method, read the
// choice back. The dialogs themselves come from g_commonDialogs.
class cCommonDialog
{
public:
    // Raised by a cancelled dialog when cancelError is set.
    static constexpr qint32 CancelError = 20001;

    QFont Font;
    QColor FontColor = Qt::black;
    bool cancelError = false;
    quint32 flags = 0;
    QWidget *hwnd = nullptr; // owner window
    qint32 Min = 0;          // smallest and largest font size offered
    qint32 Max = 0;

    // The font dialog. On OK Font and FontColor hold the choice and the
    // result is true; on Cancel they stay, and the result is false, or
    // AppError CancelError is raised when cancelError is set.
    bool ShowFont();
};
