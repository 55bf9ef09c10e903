#pragma once

class QLineEdit;
class QString;

// A text box shows a text set into it from the text's start. Qt leaves the
// cursor at the end of a text set or selected, and a box shows its cursor:
// a text longer than the box would open with its start cut off.
class BoxText
{
public:
    static void show(QLineEdit *box, const QString &text);
    // The whole text selected, the cursor at its start.
    static void selectFromStart(QLineEdit *box);
};
