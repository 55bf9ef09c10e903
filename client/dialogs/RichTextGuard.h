#pragma once

#include <QObject>

// The net under OutsideText: no label of the program, tooltips included,
// lays out rich text that could name a file. Rich text reads every picture
// and style sheet it names, from a local file or device, and Qt gives no hook
// before that read: a document opens a file: address or a bare path itself
// whenever its parent (for a label, Qt's text control) has no answer, and
// asks a resource provider only afterwards. So the guard acts on the label:
// a label makes its rich-text document when it is first given rich text, and
// at that moment (the document's owner joining the label) the guard turns
// the label to plain text, unless the text is a tooltip OutsideText escaped.
// The program shows no rich text of its own on a label. A label looked at
// once is not looked at again: a tooltip's label that made its document for
// an escaped tooltip and is then given another keeps it, so OutsideText stays
// the first road.
class RichTextGuard : public QObject
{
public:
    // Watches every label of the application from now on; once is enough.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
