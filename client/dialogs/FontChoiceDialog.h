#pragma once

#include "ICommonDialogBackend.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QPushButton;

// The font dialog: family, a size within the request's limits, bold and
// italic, and with effects underline, strikeout and a colour.
class FontChoiceDialog : public QDialog
{
public:
    FontChoiceDialog(const ICommonDialogBackend::FontRequest &request, QWidget *owner);

    // What the user has chosen so far.
    ICommonDialogBackend::FontRequest choice() const;

    // A size brought within the limits; 0 for either limit leaves that side open.
    static int clampedSize(int size, int minSize, int maxSize);

private:
    // The size box keeps to the limits as the user types.
    void clampTypedSize(const QString &typed);
    void clampFinishedSize();
    void showSample();
    void pickColour();

    ICommonDialogBackend::FontRequest m_request;
    QFontComboBox *m_family;
    QComboBox *m_size;
    QCheckBox *m_bold;
    QCheckBox *m_italic;
    QCheckBox *m_underline;
    QCheckBox *m_strikeout;
    QPushButton *m_colour;
    QLabel *m_sample;
};
