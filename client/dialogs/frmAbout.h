#pragma once

#include <QDialog>

class QLabel;

// The about window: a picture, the version with the interface language, a
// few notice lines, and OK.
class frmAbout : public QDialog
{
public:
    explicit frmAbout(QWidget *owner = nullptr);

    // Opens the window modally over the owner; it goes when it is closed.
    static void display(QWidget *owner);

    QLabel *lblVersion;
};
