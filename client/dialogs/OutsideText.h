#pragma once

#include <QString>

class QLabel;
class QWidget;

// Text from outside the program's own string table (the database, datagrams,
// files, pages, commands, the user) as a window shows it: exactly as it
// stands. A label or a tooltip would lay out a text that looks like markup as
// rich text, and rich text reads the pictures and style sheets it names from
// any local file or device, on the window's thread: a name of a FIFO holds
// the window for good, /dev/zero fills the memory.
class OutsideText
{
public:
    // A label that shows whatever text it is given as plain text.
    static QLabel *label(const QString &text = QString(), QWidget *parent = nullptr);
    // Shows the text on a label made elsewhere, as plain text.
    static void show(QLabel *label, const QString &text);
    // A tooltip that shows the text as it stands. A tooltip has no text
    // format of its own: Qt lays it out as rich text when it looks like
    // markup, so such a text goes as one paragraph of escaped letters.
    static QString toolTip(const QString &text);
    // True for a tooltip toolTip() made of a text that looks like markup:
    // rich text that names nothing.
    static bool isEscapedToolTip(const QString &text);
    // A window title that shows the text as it stands: Qt would take "[*]"
    // for its mark of unsaved changes and hide it.
    static QString title(const QString &text);
};
