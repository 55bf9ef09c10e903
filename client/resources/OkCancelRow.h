#pragma once

class QHBoxLayout;
class QPushButton;

// The OK and Cancel buttons of the two dialogs, right-aligned in that order.
// Plain buttons, not a button box: a box hands Tab on to its default button,
// so a control placed after its buttons in the Tab order could never be left.
class OkCancelRow
{
public:
    // OK is the default button (Enter).
    static QHBoxLayout *make(QPushButton *&ok, QPushButton *&cancel);
};
