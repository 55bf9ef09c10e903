#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>
#include <array>

class QPrinter;
class QWidget;

// The common-dialog object: set its properties, call a Show method, read the
// choice back from the same properties. The dialogs themselves come from
// g_commonDialogs. With HookDialog set, the dialog raises the object's
// signals while it is up.
class cCommonDialog : public QObject
{
    Q_OBJECT
public:
    // Raised by a cancelled dialog when cancelError is set.
    static constexpr qint32 CancelError = 20001;
    // Raised by ShowHelp for the help commands it cannot carry out.
    static constexpr qint32 InvalidHelpCommand = 13705;

    bool cancelError = false;
    QString Filename;        // after a multiple selection: folder, then names, each ended by NUL, then NUL
    QString Filter;          // "Description|pattern|..."; after OK the chosen pair only
    qint32 FilterIndex = 1;  // 1-based
    QColor Color;
    qint32 Copies = 0;
    QString DefaultExt;
    QString DialogTitle;
    quint32 flags = 0;
    QFont Font;
    QColor FontColor = Qt::black;
    qint32 FromPage = 0;
    QWidget *hwnd = nullptr; // owner window
    qint32 HelpCommand = 0;
    QString HelpContext;     // stored only
    QString HelpFile;
    QString HelpKey;         // stored only
    QString InitDir;
    qint32 Max = 0;          // largest and smallest font size offered
    qint32 MaxFileSize = 0;  // stored only: no buffer limits a name
    qint32 Min = 0;
    QPrinter *Object = nullptr; // the printer ShowPrinter hands the choice to
    bool PrinterDefault = false; // stored only
    qint32 ToPage = 0;
    QString FileTitle;
    bool HookDialog = false;

    // The 16 custom colours of the colour dialog; an index outside 0 to 15
    // reads an invalid colour and a write there is ignored.
    QColor CustomColor(int index) const;
    void setCustomColor(int index, const QColor &colour);

    // The parts of Font, read and written through it.
    bool FontBold() const { return Font.bold(); }
    void setFontBold(bool bold) { Font.setBold(bold); }
    bool FontItalic() const { return Font.italic(); }
    void setFontItalic(bool italic) { Font.setItalic(italic); }
    QString FontName() const { return Font.family(); }
    void setFontName(const QString &name) { Font.setFamily(name); }
    qint32 FontSize() const { return qRound(Font.pointSizeF()); } // whole points
    void setFontSize(qint32 points) { Font.setPointSize(points); }
    bool FontStrikethru() const { return Font.strikeOut(); }
    void setFontStrikethru(bool struck) { Font.setStrikeOut(struck); }
    bool FontUnderline() const { return Font.underline(); }
    void setFontUnderline(bool underlined) { Font.setUnderline(underlined); }

    // Each shows its dialog. A cancel leaves the properties as the dialog
    // leaves them and, with cancelError set, raises CancelError; the printer
    // dialog never raises.
    void ShowOpen();
    void ShowSave();
    void ShowColor();
    // Sets flags to those the font dialog runs with first, so they are there
    // after OK: screen fonts (1) unless printer fonts (2) were asked for,
    // effects (256) for a colour other than black, limited sizes (8192) with
    // Min or Max, the start from Font (64); bits 8, 16 and 512 cleared.
    void ShowFont();
    void ShowPrinter();
    // Opens HelpFile; the multi-key and window-position commands raise
    // InvalidHelpCommand.
    void ShowHelp();

    // Centres the dialog over the owner, or over the desktop's work area.
    static void CentreDialog(QWidget *dialog, const QWidget *owner);
    static QRect GetDialogSize(const QWidget *dialog);
    // Splits Filename into its folder and names.
    void ParseMultiFileName(QString &folder, QStringList &names, int &count) const;

    // Asks the DialogOK handlers; false when one refused the OK.
    bool ConfirmOK();

signals:
    void InitDialog(QWidget *dialog);
    void FileChange(QWidget *dialog);
    void FolderChange(QWidget *dialog);
    void DialogOK(bool &cancel);
    void TypeChange(QWidget *dialog);
    void DialogClose();

private:
    void showFile(bool save);
    cCommonDialog *events() { return HookDialog ? this : nullptr; }
    void cancelled() const;

    std::array<QColor, 16> m_customColours = [] {
        std::array<QColor, 16> colours;
        colours.fill(Qt::white);
        return colours;
    }();
};
