#pragma once

#include "CMainImageLists.h"
#include "CSplitter.h"
#include "MainLayout.h"
#include "RecentNotes.h"
#include "admin/IUserOptionsHost.h"
#include "foundation/IMainWindow.h"
#include "foundation/IWebView.h"
#include "status/IUserListView.h"
#include "admin/IconSelector.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class KeyedTreeWidget;
class ListViewPane;
class MainMenus;
class MainToolbars;
class PopupCommands;
class PopupMenus;
class QAbstractItemModel;
class QAction;
class QFrame;
class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;
class SplitterBar;
class WebPane;

// The board: the navigation tree on the left, the user list (or the
// reservations under it, or a web page) on the right, the band of tool bars
// on top with the info bar under it, and the status bar at the bottom. The
// menus and the band build themselves; the window puts the parts together
// and acts on their events. Its controls carry their names as object names.
class frmMain : public QMainWindow, public IMainWindow, public IUserOptionsHost, public IUserListView
{
    Q_OBJECT
    // Reads and writes the window's look between runs.
    friend class CClientSettings;

public:
    frmMain();
    ~frmMain() override;

    // The window proper.
    void showWindow() override;
    void hideWindow() override;
    bool isWindowVisible() const override;
    int windowStateCode() const override;
    void setWindowStateCode(int state) override;
    QString caption() const override;
    void setCaption(const QString &caption) override;

    // Services for the rest of the program.
    void populateMenuStrings() override;
    void loadCustomStatusToolbarMenus() override;
    void ResizeNow() override;
    void DisableAdminMenu() override;
    void refreshEnableChat() override;
    void treeViewClick(const QString &nodeKey, bool force) override;
    void setStatusText(const QString &text) override;
    void clearStatusText();
    void setCurrentViewMsg() override;
    void hideWebPage() override;
    void displayWebPage(const QString &url) override;
    void displayWebText(const QString &text) override;
    void SetSelectUserFunctions(bool enable) override;
    void DisplaySearch(bool show) override;
    void DisplayInfoBar(bool show) override;
    void DisplayToolbar() override;
    void ChangeView(int mode) override;
    void selectUserItem(const QString &key) override;
    QString treeNodeTag(const QString &nodeKey) const override;
    bool selectedListItem(CEntity &item) const override;
    void bringToFront() override;
    bool isUserListVisible() const override;
    bool setUserItemText(const QString &key, int subItem, const QString &text) override;
    void setProgressValue(int value) override;
    void setProgressVisible(bool visible) override;
    void loadNavigationTree(const NavigationTree &tree) override;
    bool hasTreeImage(const QString &imageKey) const override;
    // Selects without opening the node's view (both interfaces ask for it).
    bool selectTreeNode(const QString &nodeKey) override;
    void hidePopupMenu() override;
    void setPopupItemEnabled(int index, bool enabled) override;
    void setToolbarButtonVisible(const QString &key, bool visible) override;

    // The user list's side of the poll.
    void setProgress(int percent) override;
    void showUserColumns(const QList<UserListColumns::Column> &columns) override;
    void showListView(QAbstractItemModel *upper, QAbstractItemModel *lower) override;
    void setResourceCaption(const QString &text) override;
    void saveColumnSettings() override;
    void scrollToSelection() override;

    // The lists show models that the status engine and the resource views fill.
    void setUserListModel(QAbstractItemModel *model) override;
    void setReservationsModel(QAbstractItemModel *model) override;

    // What the options dialog asks of the window.
    QString selectedListItemKey() const override;
    void setAdminMenuEnabled(bool enabled) override;
    void setListIconSize(int pixels) override;
    QIcon smallImage(const QString &imageKey) const override;
    // The pictures an icon strip offers (frmAddGroup, frmCustomStatus), in the image list's order.
    QList<IconSelector::Picture> iconPictures() const;

    // Platform services, replaced by tests.
    std::function<void()> showHelp;                  // F1, Help Contents and the help button
    std::function<bool()> systemTrayAvailable;       // a tray icon to come back from
    std::function<void(const QPoint &)> setCursorPos; // global position

    // Outer size in twips, as the layout rules count it.
    int outerWidth() const;
    int outerHeight() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Window commands.
    void mnuFileClose_Click();
    void mnuFileExit_Click();
    void mnuHelpSub_Click(int index);
    void refreshCurrentView();
    // The tool bars' buttons and the status buttons' drop-down items.
    void Toolbar1_ButtonClick(const QString &key);
    void Toolbar1_ButtonMenuClick(const QString &key);
    void Toolbar2_ButtonClick(const QString &key);
    // A command to the web pane's view; none before the first page.
    void webView(void (IWebView::*command)());
    // Asks the window to close as the program would; gives true when it stays.
    bool QueryUnload(int unloadMode);
    void setInfoBar(const QString &text);
    void clearInfoBar();
    // The shown view's text in the info bar, and the name of its node.
    void showViewInfo();
    QString shownNodeText() const;
    // A menu item by its control name ("mnuFileExit", "mnuViewSub(4)").
    QAction *menuItem(const QString &name) const;
    // A status-bar panel by key: "TIME", "VIEW" or "MSG".
    QLabel *statusPanel(const QString &key) const;

    void connectMenus();
    void connectToolbars();
    void createPanes();
    void createInfoBar();
    void createStatusBar();
    void Form_Load();
    void loadImageList();
    void bindPictures();
    void Form_Resize();
    void updateMinimumSize();
    void arrangeControls();
    void arrangeTreePane();
    void applyPaneGeometry();
    void arrangeFrame();
    MainLayout::Heights currentHeights() const;
    int menuBarHeight() const;
    void Form_MouseMove(float x);
    void Form_MouseUp(float x);
    void m_oVerticalSplit_DoSplit(bool &allow);
    void m_oVerticalSplit_SplitComplete();
    void imgRightArrow_Click();
    void unloadWindow();
    void cmdSearch_Click();
    void connectInfoBarHints();
    void lvwUserList_ItemClick(int row);
    void createPopupMenus();
    void editStatusOfRow(int row);
    void showCustomStatusWindow();
    void refreshClock();
    static void openHelp();
    void attachUserList();
    void addResource();
    void applyColumnWidths(ListViewPane *list);
    void applyViewSettings();
    void viewItemTriggered(int index);
    void ShowListFont();
    void setListFont(const QFont &font);
    void saveColumns(const ListViewPane *list);
    void trvUserlist_NodeReleased(Qt::MouseButton button);
    void trvUserlist_KeyEnter(bool alt);
    void trvUserlist_NodeEntered(const QString &key);
    void SetStatusFromToolbar(const QString &statusCode);
    void sendPhoneMessage();
    void openChatRoom();
    void loadRecentNotes();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void saveRecentNote();
    void showRecentNotes();

    // The image lists and the splitter.
    CMainImageLists images;
    CSplitter m_oVerticalSplit;
    bool m_fSplitting = false;

    QWidget *m_client = nullptr;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<PopupMenus> m_popupMenus;
    std::unique_ptr<PopupCommands> m_popupCommands;
    MainToolbars *m_band = nullptr;
    KeyedTreeWidget *trvUserlist = nullptr;
    SplitterBar *picVerticalSplit = nullptr;
    QToolButton *imgRightArrow = nullptr;
    ListViewPane *lvwUserList = nullptr;
    ListViewPane *lvwReservations = nullptr;
    QFrame *shpResourceBar = nullptr;
    QLabel *lblResource = nullptr;
    QWidget *oWebPicture = nullptr;
    WebPane *m_web = nullptr;
    QFrame *ShapeBar = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *ImageInfoBar = nullptr;
    QToolButton *ImageCloseInfoBar = nullptr;
    QProgressBar *prgBar = nullptr;
    QHash<QString, QLabel *> m_panels;
    QTimer *m_clock = nullptr;
    RecentNotes m_vRecentNotes;
    MainLayout::Vertical m_vertical;
    MainLayout::Horizontal m_horizontal;
    // Where the user put the splitter bar, in twips. A window too narrow for
    // it draws the bar further left but keeps this, so the tree gets its
    // width back when the window widens again.
    int m_barLeftChosen = 0;
    // The node whose view is shown: the status bar and the info bar name it.
    QString m_shownNodeKey;
    QString m_caption;
    bool m_exitRequested = false;
    bool m_restorePending = false;
    bool m_resizing = false;
};
