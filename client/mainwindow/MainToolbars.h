#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class CMainImageLists;
class CStatus;
class CoolBar;
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QWidget;
class ucDateTime;

// The band of tool bars across the top of the main window: the status
// buttons, under them the due-back box and the note box, the navigation
// buttons and the search box. It says which button was clicked; the window
// acts on it.
class MainToolbars : public QObject
{
    Q_OBJECT
public:
    // The band goes into parent, the window's client area.
    explicit MainToolbars(QWidget *parent);

    // The band's controls, for the window that lays them out and reads them.
    CoolBar *CoolBar1 = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QWidget *frStatus = nullptr;
    ucDateTime *dtETA = nullptr;
    QComboBox *cboNote = nullptr;
    QToolBar *Toolbar2 = nullptr;
    QWidget *Picture1 = nullptr;
    QLineEdit *txtSearchFor = nullptr;
    QPushButton *cmdSearch = nullptr;

    // A status tool-bar button by key ("INN", "SEP1", ...), and its drop-down.
    QAction *toolbarButton(const QString &key) const;
    QMenu *toolbarMenu(const QString &key) const;
    // Back, Forward and Stop are there while a web page is shown.
    void setBrowsingButtonsVisible(bool visible);
    void bindPictures(const CMainImageLists &images);
    // The custom statuses under In, Out and Meeting.
    void loadCustomStatusMenus(const QList<CStatus> &statuses);

signals:
    void Toolbar1ButtonClick(const QString &key);
    void Toolbar1ButtonMenuClick(const QString &key);
    void Toolbar2ButtonClick(const QString &key);

private:
    void createToolbar1();
    void createToolbar2();
    void createStatusBand();
    void createSearchBand();

    QHash<QString, QAction *> m_toolbar1;
    QHash<QString, QMenu *> m_toolbar1Menus;
    QHash<QString, QAction *> m_toolbar2;
};
