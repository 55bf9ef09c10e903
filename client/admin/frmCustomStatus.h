#pragma once

#include "IconSelector.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The administrator's window for custom statuses: the active ones, and a new
// one made of a description, a type (In, Out or Meeting) and an icon.
class frmCustomStatus : public QDialog
{
    Q_OBJECT
public:
    // The pictures the icon strip offers, in the main window's order.
    explicit frmCustomStatus(const QList<IconSelector::Picture> &pictures, QWidget *parent = nullptr);

    void populateStrings();

    static QString limitMessage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString chosenType() const;
    void typeClicked();
    void addClicked();
    void removeClicked();
    void addListItem(const QString &code, const QString &text, const QString &icon);
    void refreshStatusMenus();

    QList<IconSelector::Picture> m_pictures;
    QListWidget *lvwStatus;
    QLineEdit *txtNewStatus;
    IconSelector *IconSelector1;
    QRadioButton *optType[3];
    QPushButton *cmdAdd;
    QPushButton *cmdRemove;
    QPushButton *cmdCancel;
    QLabel *lblStatusName;
    QGroupBox *fraType;
    // Set once the user picked an icon himself; until then it follows the type.
    bool m_iconChosen = false;
};
