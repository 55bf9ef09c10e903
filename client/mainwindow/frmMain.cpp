#include "frmMain.h"

#include "CoolBar.h"
#include "InfoBarHints.h"
#include "KeyedTreeWidget.h"
#include "ListViewPane.h"
#include "MainMenus.h"
#include "MainToolbars.h"
#include "MenuCaptions.h"
#include "PopupCommands.h"
#include "PopupMenus.h"
#include "QueryUnload.h"
#include "SplitterBar.h"
#include "StatusToolbar.h"
#include "TreeNavigation.h"
#include "UserListClicks.h"
#include "ViewSettings.h"
#include "WebPane.h"
#include "admin/CClientAdmin.h"
#include "admin/frmCustomStatus.h"
#include "datetime/ucDateTime.h"
#include "dialogs/cCommonDialog.h"
#include "dialogs/OutsideText.h"
#include "dialogs/frmAbout.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/CEntity.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/IApplication.h"
#include "foundation/IPrompt.h"
#include "foundation/IResourceLists.h"
#include "foundation/ITrayWindow.h"
#include "foundation/IUserEditor.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/NavigationTree.h"
#include "foundation/Steps.h"
#include "messaging/IChatWindow.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SettingsKeys.h"
#include "resources/frmResource.h"
#include "status/CClientHnd.h"
#include "status/CClientNote.h"
#include "status/MNodeView.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"
#include "status/UserSearch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {

// Where a skipped step is said to belong in the debug log.
const QString kLog = QStringLiteral("frmMain");

const QString kFeedbackUrl = QStringLiteral("https://tessaly.example/feedback");
constexpr int kInfoBarHeight = 390;
constexpr int kInitialBarLeft = 3000;

QRect pixels(int left, int top, int width, int height)
{
    return QRect(MainLayout::toPixels(left), MainLayout::toPixels(top), std::max(0, MainLayout::toPixels(width)),
                 std::max(0, MainLayout::toPixels(height)));
}

} // namespace

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    showHelp = &frmMain::openHelp;
    systemTrayAvailable = [] { return g_frmSysTray && g_frmSysTray->hasTrayIcon(); };
    setCursorPos = [](const QPoint &position) { QCursor::setPos(position); };

    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_menus = std::make_unique<MainMenus>(menuBar());
    connectMenus();
    m_band = new MainToolbars(m_client);
    // A band shown or hidden changes the room the band needs across as well.
    connect(m_band->CoolBar1, &CoolBar::heightChanged, this, [this] {
        Steps::logAndSkip(kLog, [this] { updateMinimumSize(); });
        Steps::logAndSkip(kLog, [this] { arrangeControls(); });
    });
    createPanes();
    createPopupMenus();
    createInfoBar();
    createStatusBar();
    connectInfoBarHints();
    Form_Load();
    populateMenuStrings();
    // Another copy may hand out a custom status added after this one read
    // them; the lookup reads them again. Nothing of the window is kept, as
    // the copy goes on without it while it sits in the tray.
    SetCustomStatusReader([] {
        DbHandle connection;
        CClientAdmin().LoadCustomStatus(connection);
    });
    resize(800, 600);
    ResizeNow();
}

frmMain::~frmMain()
{
    // Unload: the splitter lets go of its bar before the bar goes, and the
    // user list, which outlives the window, lets go of its pictures.
    m_oVerticalSplit.DoSplit = nullptr;
    m_oVerticalSplit.SplitComplete = nullptr;
    if (g_oClientHnd)
        g_oClientHnd->userList().model().setIconProvider(nullptr);
    lvwUserList->setModel(nullptr);
    // The image lists are members and go before the child widgets that show
    // them, which may still ask for a picture while they are hidden.
    lvwUserList->setImageLists(nullptr, nullptr);
    lvwReservations->setImageLists(nullptr, nullptr);
    trvUserlist->setImageList(nullptr);
}

// ---------------------------------------------------------------- building

void frmMain::connectMenus()
{
    const auto onClick = [this](const QString &name, auto handler) {
        connect(menuItem(name), &QAction::triggered, this, handler);
    };
    onClick(QStringLiteral("mnuFileClose"), &frmMain::mnuFileClose_Click);
    onClick(QStringLiteral("mnuFileExit"), &frmMain::mnuFileExit_Click);
    for (int i : {0, 2, 3, 4, 6, 8, 9, 10, 11})
        onClick(QStringLiteral("mnuViewSub(%1)").arg(i), [this, i] { viewItemTriggered(i); });
    onClick(QStringLiteral("mnuViewSub(13)"), &frmMain::refreshCurrentView);
    onClick(QStringLiteral("mnuAdminUserOptions"), [] {
        Steps::logAndSkip(kLog, [] { g_userEditor->EditUserProperties(false, g_oCurrentUser.LoginName, g_oCurrentUser.Admin, true, false, false); });
    });
    onClick(QStringLiteral("mnuAdminCustomStatus"), &frmMain::showCustomStatusWindow);
    onClick(QStringLiteral("mnuAdminOptions"), [] {
        try {
            CClientAdmin().EditAdminOptions();
        } catch (const AppError &e) {
            ErrorDialog(e.number(), e.description(), QStringLiteral("frmMain.mnuAdminOptions_Click\r\n") + e.source());
        }
    });
    onClick(QStringLiteral("mnuAdminAddUser"), [] {
        Steps::logAndSkip(kLog, [] { g_userEditor->EditUserProperties(true, QString(), true, false, false, true); });
    });
    onClick(QStringLiteral("mnuAdminAddResource"), [this] { Steps::logAndSkip(kLog, [this] { addResource(); }); });
    for (int i : {0, 3, 5})
        onClick(QStringLiteral("mnuHelpSub(%1)").arg(i), [this, i] { mnuHelpSub_Click(i); });
}

void frmMain::createPanes()
{
    trvUserlist = new KeyedTreeWidget(m_client);
    connect(trvUserlist, &KeyedTreeWidget::nodeReleased, this, &frmMain::trvUserlist_NodeReleased);
    connect(trvUserlist, &KeyedTreeWidget::enterPressed, this, &frmMain::trvUserlist_KeyEnter);
    connect(trvUserlist, &KeyedTreeWidget::nodeEntered, this, &frmMain::trvUserlist_NodeEntered);
    picVerticalSplit = new SplitterBar(m_client);
    picVerticalSplit->setBarLeft(kInitialBarLeft);
    m_barLeftChosen = kInitialBarLeft;
    imgRightArrow = new QToolButton(m_client);
    imgRightArrow->setObjectName(QStringLiteral("imgRightArrow"));
    imgRightArrow->setArrowType(Qt::RightArrow);
    imgRightArrow->setAutoRaise(true);
    imgRightArrow->setToolTip(QStringLiteral("Show Treeview"));
    imgRightArrow->setFixedSize(12, 24);
    imgRightArrow->hide();
    connect(imgRightArrow, &QToolButton::clicked, this, &frmMain::imgRightArrow_Click);

    lvwUserList = new ListViewPane(QStringLiteral("lvwUserList"), m_client);
    lvwReservations = new ListViewPane(QStringLiteral("lvwReservations"), m_client);
    lvwReservations->hide();
    connect(lvwUserList, &ListViewPane::itemClicked, this, [this](int row) { lvwUserList_ItemClick(row); });
    connect(lvwUserList, &ListViewPane::statusIconClicked, this, [this](int row) {
        if (UserListClicks::mayEditStatus(lvwUserList->rowKey(row), g_fCanChangeStatus))
            editStatusOfRow(row);
    });

    shpResourceBar = new QFrame(m_client);
    shpResourceBar->setObjectName(QStringLiteral("shpResourceBar"));
    shpResourceBar->setAutoFillBackground(true);
    shpResourceBar->setBackgroundRole(QPalette::Mid);
    shpResourceBar->hide();
    lblResource = OutsideText::label(QStringLiteral("Resource Details"), m_client);
    lblResource->setObjectName(QStringLiteral("lblResource"));
    lblResource->hide();

    m_web = new WebPane(m_client);
    oWebPicture = m_web->picture();
}

void frmMain::createPopupMenus()
{
    m_popupMenus = std::make_unique<PopupMenus>(*m_menus, trvUserlist, lvwUserList, lvwReservations);
    m_popupCommands = std::make_unique<PopupCommands>(*m_popupMenus, trvUserlist, lvwUserList, lvwReservations, this);
    m_popupCommands->refreshCurrentView = [this] { refreshCurrentView(); };
    m_popupCommands->userListItemClick = [this](int row) { lvwUserList_ItemClick(row); };
    m_popupCommands->editStatusOfRow = [this](int row) { editStatusOfRow(row); };
    m_popupCommands->largePicture = [this](const QString &key) { return images.imghot.picture(key); };
    m_popupCommands->iconPictures = [this] { return iconPictures(); };
    m_popupCommands->connectTo(*m_menus, this);
    m_popupMenus->connectControls(this);
}

void frmMain::createInfoBar()
{
    ShapeBar = new QFrame(m_client);
    ShapeBar->setObjectName(QStringLiteral("ShapeBar"));
    ShapeBar->setFrameShape(QFrame::StyledPanel);
    ShapeBar->setAutoFillBackground(true);
    ShapeBar->setBackgroundRole(QPalette::ToolTipBase);
    ShapeBar->setFixedHeight(MainLayout::toPixels(kInfoBarHeight));
    lblStatus = OutsideText::label(TreeNavigation::welcomeText(), m_client);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setForegroundRole(QPalette::ToolTipText);
    ImageInfoBar = new QLabel(m_client);
    ImageInfoBar->setObjectName(QStringLiteral("ImageInfoBar"));
    ImageInfoBar->setFixedSize(16, 16);
    ImageCloseInfoBar = new QToolButton(m_client);
    ImageCloseInfoBar->setObjectName(QStringLiteral("ImageCloseInfoBar"));
    ImageCloseInfoBar->setAutoRaise(true);
    ImageCloseInfoBar->setFixedSize(16, 16);
    ImageCloseInfoBar->setIconSize(QSize(12, 12));
    ImageCloseInfoBar->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    connect(ImageCloseInfoBar, &QToolButton::clicked, this, [this] { DisplayInfoBar(false); });
}

void frmMain::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("oStatusBar"));
    bar->setSizeGripEnabled(true);
    for (const auto &[key, width] : {std::pair{QStringLiteral("TIME"), 80}, std::pair{QStringLiteral("VIEW"), 200},
                                     std::pair{QStringLiteral("MSG"), 0}}) {
        QLabel *panel = OutsideText::label(QString(), bar);
        panel->setObjectName(key);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (width)
            panel->setFixedWidth(width);
        bar->addWidget(panel, width ? 0 : 1);
        m_panels.insert(key, panel);
    }
    prgBar = new QProgressBar(this);
    prgBar->setObjectName(QStringLiteral("prgBar"));
    prgBar->setRange(0, 100);
    prgBar->setTextVisible(false);
    prgBar->hide();
}

// ---------------------------------------------------------------- loading

void frmMain::Form_Load()
{
    Steps::logAndSkip(kLog, [this] {
        m_clock = new QTimer(this);
        m_clock->setInterval(1000);
        connect(m_clock, &QTimer::timeout, this, &frmMain::refreshClock);
        m_clock->start();
        refreshClock();
    });
    m_exitRequested = false;
    m_fSplitting = false;
    m_restorePending = false;
    Steps::logAndSkip(kLog, [this] {
        m_oVerticalSplit.DoSplit = [this](bool &allow) { m_oVerticalSplit_DoSplit(allow); };
        m_oVerticalSplit.SplitComplete = [this] { m_oVerticalSplit_SplitComplete(); };
        m_oVerticalSplit.Initialise(picVerticalSplit);
        connect(picVerticalSplit, &SplitterBar::pressed, this, [this](float x) { m_oVerticalSplit.MouseDown(x); });
        connect(picVerticalSplit, &SplitterBar::moved, this, &frmMain::Form_MouseMove);
        connect(picVerticalSplit, &SplitterBar::released, this, &frmMain::Form_MouseUp);
    });
    Steps::logAndSkip(kLog, [this] { loadRecentNotes(); });
    // The list is read again whenever the note box takes the focus: the
    // user's other sessions may have sent notes since.
    Steps::logAndSkip(kLog, [this] { m_band->cboNote->installEventFilter(this); });
    Steps::logAndSkip(kLog, [this] { loadImageList(); });
    Steps::logAndSkip(kLog, [this] { setWindowIcon(images.imghot.picture(QStringLiteral("Qel"))); });
    Steps::logAndSkip(kLog, [this] { ImageInfoBar->setPixmap(images.img16.pixmap(QStringLiteral("INF"))); });
    // F1 and F5 work wherever the focus is in the window.
    Steps::logAndSkip(kLog, [this] {
        connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, [this] {
            Steps::logAndSkip(kLog, [this] { if (showHelp) showHelp(); });
        });
        connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
                &frmMain::refreshCurrentView);
    });
    connect(m_band, &MainToolbars::Toolbar1ButtonClick, this, &frmMain::Toolbar1_ButtonClick);
    connect(m_band, &MainToolbars::Toolbar1ButtonMenuClick, this, &frmMain::Toolbar1_ButtonMenuClick);
    connect(m_band, &MainToolbars::Toolbar2ButtonClick, this, &frmMain::Toolbar2_ButtonClick);
    connect(m_band->cmdSearch, &QPushButton::clicked, this, &frmMain::cmdSearch_Click);
    Steps::logAndSkip(kLog, [this] { attachUserList(); });
}

void frmMain::attachUserList()
{
    if (!g_oClientHnd)
        return;
    UserListModel &model = g_oClientHnd->userList().model();
    model.setIconProvider([this](const QString &key) { return images.img16.picture(key); });
    setUserListModel(&model);
}

void frmMain::loadImageList()
{
    QString folder;
    try {
        folder = CMainImageLists::iconFolder(GetSystemProperty(QStringLiteral("icon_home")),
                                             QCoreApplication::applicationDirPath());
    } catch (const AppError &e) {
        // Without the setting no folder is guessed; the built-in pictures still load.
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmMain.loadImageList\r\n") + e.source());
    }
    images.load(folder);
    bindPictures();
}

void frmMain::bindPictures()
{
    m_band->bindPictures(images);
    lvwUserList->setImageLists(&images.img16, &images.imghot);
    lvwReservations->setImageLists(&images.img16, &images.imghot);
    trvUserlist->setImageList(&images.img16);
}

void frmMain::refreshClock()
{
    const QDateTime now = Clock::now();
    QLabel *time = m_panels.value(QStringLiteral("TIME"));
    time->setText(DateUtil::shortTime(now));
    time->setToolTip(QLocale::c().toString(now.date(), QStringLiteral("dddd, d MMMM yyyy")) + QStringLiteral(", ")
                     + QLocale::c().toString(now.time(), QStringLiteral("h:mm ap")).toLower());
}

// ---------------------------------------------------------------- layout

int frmMain::menuBarHeight() const
{
    return menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
}

int frmMain::outerWidth() const
{
    return MainLayout::toTwips(width()) + MainLayout::FrameWidth;
}

int frmMain::outerHeight() const
{
    return MainLayout::toTwips(height() - menuBarHeight()) + MainLayout::FrameHeight;
}

MainLayout::Heights frmMain::currentHeights() const
{
    MainLayout::Heights in;
    in.window = outerHeight();
    in.statusBar = MainLayout::toTwips(statusBar()->isVisible() ? statusBar()->height()
                                                                 : statusBar()->sizeHint().height());
    in.coolBarVisible = !m_band->CoolBar1->isHidden();
    in.coolBar = MainLayout::toTwips(m_band->CoolBar1->bandsHeight());
    in.infoBarVisible = !ShapeBar->isHidden();
    in.infoBar = MainLayout::toTwips(ShapeBar->height());
    in.viewKind = g_sViewType;
    return in;
}

void frmMain::updateMinimumSize()
{
    MainLayout::Heights in = currentHeights();
    in.window = 0; // the smallest height the panes need
    const int minHeight = std::max(MainLayout::MinimumHeight, MainLayout::arrangeControls(in).window);
    // No control of the band is squeezed under another.
    const int bandWidth = MainLayout::toTwips(m_band->CoolBar1->isHidden() ? 0 : m_band->CoolBar1->minimumSizeHint().width());
    const int minWidth = MainLayout::minimumWidth(!trvUserlist->isHidden(), m_horizontal.treeWidth, bandWidth);
    const auto ceilPixels = [](int twips) { return (twips + MainLayout::TwipsPerPixel - 1) / MainLayout::TwipsPerPixel; };
    setMinimumSize(ceilPixels(minWidth - MainLayout::FrameWidth),
                   ceilPixels(minHeight - MainLayout::FrameHeight) + menuBarHeight());
}

void frmMain::ResizeNow()
{
    Steps::logAndSkip(kLog, [this] { arrangeTreePane(); });
    Steps::logAndSkip(kLog, [this] { arrangeControls(); });
}

void frmMain::arrangeControls()
{
    const MainLayout::Heights in = currentHeights();
    m_vertical = MainLayout::arrangeControls(in);
    if (m_vertical.window > in.window)
        updateMinimumSize();
    CoolBar *coolBar = m_band->CoolBar1;
    coolBar->setGeometry(coolBar->x(), 0, coolBar->width(), coolBar->bandsHeight());
    applyPaneGeometry();
}

void frmMain::arrangeTreePane()
{
    m_horizontal = MainLayout::arrangeTreePane(outerWidth(), m_barLeftChosen);
    picVerticalSplit->setBarLeft(m_horizontal.barLeft);
    trvUserlist->setVisible(!m_horizontal.collapsed);
    imgRightArrow->setVisible(m_horizontal.collapsed);
    applyPaneGeometry();
}

void frmMain::applyPaneGeometry()
{
    const MainLayout::Vertical &v = m_vertical;
    const MainLayout::Horizontal &h = m_horizontal;
    trvUserlist->setGeometry(pixels(h.treeLeft, v.treeTop, h.treeWidth, v.treeHeight));
    imgRightArrow->move(MainLayout::toPixels(h.arrowLeft), MainLayout::toPixels(v.arrowTop));
    lvwUserList->setGeometry(pixels(h.userListLeft, v.userListTop, h.userListWidth, v.userListHeight));
    oWebPicture->setGeometry(pixels(h.webLeft, v.webTop, h.webWidth, v.webHeight));
    m_web->setViewGeometry(pixels(h.browserLeft, v.browserTop, h.browserWidth, v.browserHeight));
    picVerticalSplit->placeBar(picVerticalSplit->barLeft(), v.splitterTop, v.splitterHeight);
    lvwReservations->setGeometry(pixels(h.reservationsLeft, v.reservationsTop, h.reservationsWidth,
                                        v.reservationsHeight));
    shpResourceBar->setGeometry(pixels(h.resourceBarLeft, v.resourceBarTop, h.resourceBarWidth, 330));
    lblResource->move(MainLayout::toPixels(h.resourceLabelLeft), MainLayout::toPixels(v.resourceLabelTop));
    ShapeBar->move(ShapeBar->x(), MainLayout::toPixels(v.shapeBarTop));
    lblStatus->move(lblStatus->x(), MainLayout::toPixels(v.statusLabelTop));
    ImageCloseInfoBar->move(ImageCloseInfoBar->x(), MainLayout::toPixels(v.closeImageTop));
    ImageInfoBar->move(ImageInfoBar->x(), MainLayout::toPixels(v.infoImageTop));
    for (QWidget *info : {static_cast<QWidget *>(lblStatus), static_cast<QWidget *>(ImageInfoBar),
                          static_cast<QWidget *>(ImageCloseInfoBar)})
        info->raise();
}

void frmMain::arrangeFrame()
{
    const MainLayout::Frame f = MainLayout::arrangeFrame(
        outerWidth(), outerHeight(), MainLayout::toTwips(m_panels.value(QStringLiteral("TIME"))->width()),
        MainLayout::toTwips(m_panels.value(QStringLiteral("VIEW"))->width()));
    m_band->CoolBar1->setGeometry(MainLayout::toPixels(f.coolBar.left), 0,
                                  std::max(0, MainLayout::toPixels(f.coolBar.width)), m_band->CoolBar1->bandsHeight());
    ShapeBar->setGeometry(MainLayout::toPixels(f.shapeBar.left), ShapeBar->y(),
                          std::max(0, MainLayout::toPixels(f.shapeBar.width)), ShapeBar->height());
    lblStatus->setGeometry(MainLayout::toPixels(f.statusLabel.left), lblStatus->y(),
                           std::max(0, MainLayout::toPixels(f.statusLabel.width)), lblStatus->sizeHint().height());
    ImageCloseInfoBar->move(MainLayout::toPixels(f.closeImageLeft), ImageCloseInfoBar->y());
    ImageInfoBar->move(MainLayout::toPixels(f.infoImageLeft), ImageInfoBar->y());
    prgBar->setGeometry(MainLayout::toPixels(f.progressBar.left),
                        MainLayout::toPixels(f.progressBar.top) + menuBarHeight(),
                        std::max(0, MainLayout::toPixels(f.progressBar.width)), std::max(0, statusBar()->height() - 6));
    prgBar->raise();
}

void frmMain::Form_Resize()
{
    if (isMinimized()) {
        m_restorePending = true;
        return;
    }
    if (m_resizing)
        return;
    m_resizing = true;
    Steps::logAndSkip(kLog, [this] { updateMinimumSize(); });
    ResizeNow();
    Steps::logAndSkip(kLog, [this] { arrangeFrame(); });
    // The minimum follows the tree's new width.
    Steps::logAndSkip(kLog, [this] { updateMinimumSize(); });
    m_resizing = false;
    if (m_restorePending) {
        m_restorePending = false;
        Steps::logAndSkip(kLog, [this] { treeViewClick(g_sCurrentNodeKey, false); });
    }
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

// ---------------------------------------------------------------- splitter

void frmMain::m_oVerticalSplit_DoSplit(bool &allow)
{
    Q_UNUSED(allow)
    m_fSplitting = true;
}

void frmMain::m_oVerticalSplit_SplitComplete()
{
    m_fSplitting = false;
    m_barLeftChosen = int(picVerticalSplit->barLeft());
    Steps::logAndSkip(kLog, [this] { arrangeTreePane(); });
    // A drag beyond what the window allows ends where the bar was drawn.
    m_barLeftChosen = m_horizontal.barLeft;
    Steps::logAndSkip(kLog, [this] { updateMinimumSize(); });
}

void frmMain::Form_MouseMove(float x)
{
    if (!m_fSplitting)
        return;
    Steps::logAndSkip(kLog, [this, x] {
        if (m_oVerticalSplit.MouseMove(x) != x) {
            // A drag towards the left edge snaps the pointer to it, so the
            // pane collapses on release.
            const QPoint here = QCursor::pos();
            setCursorPos(QPoint(frameGeometry().left() + 10, here.y()));
        }
    });
}

void frmMain::Form_MouseUp(float x)
{
    m_oVerticalSplit.MouseUp(x);
}

void frmMain::imgRightArrow_Click()
{
    m_barLeftChosen = kInitialBarLeft;
    arrangeTreePane();
    Steps::logAndSkip(kLog, [this] { updateMinimumSize(); });
}

// ---------------------------------------------------------------- closing

bool frmMain::QueryUnload(int unloadMode)
{
    Steps::logAndSkip(kLog, [&] { WriteDebugLog(QueryUnload::logLine(unloadMode, m_fClosingDown, objectName())); });
    switch (QueryUnload::decide(unloadMode, m_fClosingDown, m_exitRequested)) {
    case QueryUnload::Action::Unload:
        return false;
    case QueryUnload::Action::RaiseDoExit: {
        int mode = unloadMode;
        if (onDoExit)
            onDoExit(mode);
        return true;
    }
    case QueryUnload::Action::CloseDown:
        if (g_application)
            g_application->closeDownApplication(unloadMode);
        return true;
    case QueryUnload::Action::UnloadToTray:
        g_vUserList.clear();
        return false;
    case QueryUnload::Action::HideAndCloseLink:
        hide();
        Steps::logAndSkip(kLog, [unloadMode] {
            if (g_oClientHnd)
                g_oClientHnd->CloseDownOutlook(unloadMode);
        });
        return false;
    }
    return true;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The close box, the window menu, or the desktop closing all windows.
    if (QueryUnload(0))
        event->ignore();
    else
        event->accept();
}

void frmMain::unloadWindow()
{
    if (QueryUnload(1))
        return;
    hide();
    // The program holds the window in g_frmMain; letting go of it is the
    // unload. The window is deleted once the event that got here is done.
    if (g_frmMain.get() == this) {
        g_frmMain.release();
        deleteLater();
    }
}

void frmMain::mnuFileClose_Click()
{
    // Without a tray icon there would be no way back to a hidden window.
    if (!systemTrayAvailable || !systemTrayAvailable()) {
        showMinimized();
        return;
    }
    g_fInTray = windowStateCode();
    hide();
    unloadWindow();
}

void frmMain::mnuFileExit_Click()
{
    Steps::logAndSkip(kLog, [this] { hide(); });
    m_exitRequested = true;
    unloadWindow();
}

void frmMain::mnuHelpSub_Click(int index)
{
    switch (index) {
    case 0:
        if (showHelp)
            showHelp();
        break;
    case 3:
        ShellOpen(kFeedbackUrl);
        break;
    case 5:
        frmAbout::display(this);
        break;
    default:
        break;
    }
}

void frmMain::openHelp()
{
    try {
        if (g_oClientHnd)
            g_oClientHnd->ShowHelp();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmMain.ShowHelp\r\n") + e.source());
    }
}

void frmMain::refreshCurrentView()
{
    g_lLastUpdated = -1;
    if (g_sCurrentNodeKey.isEmpty())
        return;
    if (g_sViewType == QLatin1String("RSG")) {
        // The selected resource's bookings follow the refresh by themselves.
        Steps::logAndSkip(kLog, [] {
            if (g_oClientHnd)
                g_oClientHnd->refreshResourceList(g_sCurrentNodeKey);
        });
        return;
    }
    Steps::logAndSkip(kLog, [this] { treeViewClick(g_sCurrentNodeKey, true); });
}

void frmMain::cmdSearch_Click()
{
    const QString typed = m_band->txtSearchFor->text().trimmed();
    Steps::logAndSkip(kLog, [this] {
        selectTreeNode(QStringLiteral("SRH0"));
        setCurrentViewMsg();
    });
    // The list sets up its columns for the view it leaves, so the view kind
    // changes once the rows are in.
    Steps::logAndSkip(kLog, [&] {
        if (g_oClientHnd)
            UserSearch::fill(g_oClientHnd->userList(), typed);
    });
    g_sViewType = QStringLiteral("SRH");
    Steps::logAndSkip(kLog, [this] { arrangeControls(); });
    if (lvwUserList->model() && lvwUserList->model()->rowCount() > 0) {
        SetSelectUserFunctions(true);
        return;
    }
    // The search ignores case, so the box leaves out the note that it does not.
    g_prompt->message(GetResString(142) + u' ' + typed + u'.', IPrompt::Ok, IPrompt::Exclamation, GetResString(144));
}

void frmMain::connectInfoBarHints()
{
    auto *hints = new InfoBarHints(ImageCloseInfoBar, lblStatus, lvwUserList, this);
    hints->show = [this](const QString &text) { setInfoBar(text); };
    hints->shownNodeText = [this] { return shownNodeText(); };
    hints->barVisible = [this] { return !ShapeBar->isHidden(); };
}

void frmMain::lvwUserList_ItemClick(int row)
{
    const QString key = lvwUserList->rowKey(row);
    if (key.left(3).compare(QLatin1String("RES"), Qt::CaseInsensitive) == 0)
        g_resourceLists->refreshReservationDetails(lvwUserList->rowText(row), key, 0);
}

void frmMain::editStatusOfRow(int row)
{
    CEntity user;
    user.setKey(lvwUserList->rowKey(row));
    user.Name = lvwUserList->rowText(row);
    try {
        if (g_oClientHnd)
            g_oClientHnd->EditUserStatus({user}, false);
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmMain.lvwUserList_DblClick\r\n") + e.source());
    }
}

QList<IconSelector::Picture> frmMain::iconPictures() const
{
    QList<IconSelector::Picture> pictures;
    const QStringList keys = images.imghot.keys();
    for (const QString &key : keys)
        pictures.append({key, images.imghot.picture(key)});
    return pictures;
}

void frmMain::showCustomStatusWindow()
{
    frmCustomStatus window(iconPictures(), this);
    window.exec();
}

// From the administration menu the group is the user's choice; a resource
// added to the group shown appears in its list at once.
void frmMain::addResource()
{
    frmResource dialog(this, m_popupCommands->largePicture);
    dialog.newResource(-1);
    dialog.exec();
    if (!dialog.Cancel && g_sViewType == QLatin1String("RSG") && g_oClientHnd)
        g_oClientHnd->refreshResourceList(g_sCurrentNodeKey);
}

// ---------------------------------------------------------------- services

void frmMain::showWindow()
{
    show();
    raise();
}

void frmMain::hideWindow()
{
    hide();
}

bool frmMain::isWindowVisible() const
{
    return isVisible();
}

int frmMain::windowStateCode() const
{
    if (windowState() & Qt::WindowMinimized)
        return Minimised;
    if (windowState() & Qt::WindowMaximized)
        return Maximised;
    return Normal;
}

void frmMain::setWindowStateCode(int state)
{
    switch (state) {
    case Minimised: showMinimized(); break;
    case Maximised: showMaximized(); break;
    default: setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)); break;
    }
}

QString frmMain::caption() const
{
    return m_caption;
}

void frmMain::setCaption(const QString &caption)
{
    m_caption = caption;
    setWindowTitle(OutsideText::title(caption));
}

void frmMain::populateMenuStrings()
{
    Steps::logAndSkip(kLog, [this] { setCaption(GetResString(MenuCaptions::WindowCaption)); });
    for (const MenuCaptions::Caption &row : MenuCaptions::captions()) {
        Steps::logAndSkip(kLog, [&] {
            if (QAction *item = menuItem(row.control))
                item->setText(GetResString(row.checkedId && item->isChecked() ? row.checkedId : row.id));
        });
    }
    for (const MenuCaptions::ToolTip &row : MenuCaptions::toolTips()) {
        Steps::logAndSkip(kLog, [&] {
            if (QAction *button = m_band->toolbarButton(row.key))
                button->setToolTip(GetResString(row.id));
        });
    }
    Steps::logAndSkip(kLog, [this] { m_band->cmdSearch->setText(GetResString(MenuCaptions::FindButton)); });
}

void frmMain::loadCustomStatusToolbarMenus()
{
    m_band->loadCustomStatusMenus(g_colCustomStatus);
}

void frmMain::DisableAdminMenu()
{
    setAdminMenuEnabled(false);
}

void frmMain::setAdminMenuEnabled(bool enabled)
{
    Steps::logAndSkip(kLog, [this, enabled] { menuItem(QStringLiteral("mnuPopupAdminSub(1)"))->setEnabled(enabled); });
}

QString frmMain::selectedListItemKey() const
{
    return lvwUserList->rowKey(lvwUserList->selectedRow());
}

void frmMain::setListIconSize(int pixels)
{
    // The 32-pixel pictures stand in for the small ones when the user asks
    // for large icons, in the lists and in the tree.
    const CImageList *small = pixels >= 32 ? &images.imghot : &images.img16;
    lvwUserList->setImageLists(small, &images.imghot);
    lvwReservations->setImageLists(small, &images.imghot);
    trvUserlist->setImageList(small);
}

QIcon frmMain::smallImage(const QString &imageKey) const
{
    return images.img16.picture(imageKey);
}

void frmMain::refreshEnableChat()
{
    m_band->toolbarButton(QStringLiteral("CHT"))->setVisible(g_fEnableChat);
}

void frmMain::treeViewClick(const QString &nodeKey, bool force)
{
    using Action = TreeNavigation::Action;
    const QString kind = TreeNavigation::kindOf(trvUserlist->nodeTag(nodeKey));
    const Action action = TreeNavigation::actionFor(nodeKey, kind, force, g_sCurrentNodeKey);
    if (action == Action::Unchanged)
        return;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    Steps::logAndSkip(kLog, [&] {
        trvUserlist->selectNode(nodeKey);
        const QTreeWidgetItem *node = trvUserlist->node(nodeKey);
        switch (action) {
        case Action::OpenGroupView: OpenNodeView(nodeKey, true); break;
        case Action::OpenView: OpenNodeView(nodeKey); break;
        case Action::WelcomePage: displayWebText(node ? node->text(0) : GetResString(140)); break;
        case Action::RefreshPage: webView(&IWebView::reload); break;
        default: break;
        }
    });
    g_sCurrentNodeKey = nodeKey;
    g_sViewType = kind;
    if (action != Action::RecordOnly)
        setCurrentViewMsg();
    Steps::logAndSkip(kLog, [this] { arrangeControls(); });
    QApplication::restoreOverrideCursor();
}

void frmMain::setStatusText(const QString &text)
{
    Steps::logAndSkip(kLog, [&] { statusPanel(QStringLiteral("MSG"))->setText(text); });
}

void frmMain::clearStatusText()
{
    setStatusText(QString());
}

// Called once the selected node's view is shown. A node that opens no view
// leaves the one shown, and so its name in the status bar and the info bar.
void frmMain::setCurrentViewMsg()
{
    Steps::logAndSkip(kLog, [this] {
        const QString key = trvUserlist->selectedKey();
        if (key.isEmpty() || !TreeNavigation::opensView(TreeNavigation::kindOf(trvUserlist->nodeTag(key))))
            return;
        m_shownNodeKey = key;
        statusPanel(QStringLiteral("VIEW"))->setText(GetResString(327) + QStringLiteral(": ") + shownNodeText());
        showViewInfo();
    });
}

QString frmMain::shownNodeText() const
{
    const QTreeWidgetItem *node = trvUserlist->node(m_shownNodeKey);
    return node ? node->text(0) : QString();
}

void frmMain::showViewInfo()
{
    // Written while the bar is hidden too: it shows this text when it opens.
    lblStatus->setText(TreeNavigation::infoText(TreeNavigation::kindOf(trvUserlist->nodeTag(m_shownNodeKey)),
                                                shownNodeText()));
    ImageInfoBar->setVisible(!ShapeBar->isHidden());
}

void frmMain::hideWebPage()
{
    if (oWebPicture->isHidden())
        return;
    m_web->hide();
    m_band->setBrowsingButtonsVisible(false);
}

void frmMain::displayWebPage(const QString &url)
{
    m_band->setBrowsingButtonsVisible(true);
    m_web->showAddress(url);
}

void frmMain::displayWebText(const QString &text)
{
    QString heading = text;
    m_web->showText(heading);
}

void frmMain::webView(void (IWebView::*command)())
{
    if (IWebView *view = m_web->view())
        (view->*command)();
}

void frmMain::SetSelectUserFunctions(bool enable)
{
    m_band->toolbarButton(QStringLiteral("PHR"))->setEnabled(enable);
}

void frmMain::DisplaySearch(bool show)
{
    Steps::logAndSkip(kLog, [&] {
        QAction *item = menuItem(QStringLiteral("mnuViewSub(0)"));
        item->setChecked(show);
        m_band->CoolBar1->setBandVisible(4, show);
        item->setText(GetResString(show ? 114 : 113));
    });
    Steps::logAndSkip(kLog, [this] { DisplayToolbar(); });
}

void frmMain::DisplayInfoBar(bool show)
{
    Steps::logAndSkip(kLog, [&] {
        QAction *item = menuItem(QStringLiteral("mnuViewSub(4)"));
        item->setChecked(show);
        item->setText(GetResString(show ? 118 : 119));
        for (QWidget *part : {static_cast<QWidget *>(ShapeBar), static_cast<QWidget *>(lblStatus),
                              static_cast<QWidget *>(ImageInfoBar), static_cast<QWidget *>(ImageCloseInfoBar)})
            part->setVisible(show);
        // Opened again, it names the view, not the last hint it gave (the
        // close picture's, as it was closed).
        if (show && !m_shownNodeKey.isEmpty())
            showViewInfo();
    });
    Form_Resize();
}

void frmMain::DisplayToolbar()
{
    Steps::logAndSkip(kLog, [this] {
        const bool status = menuItem(QStringLiteral("mnuViewSub(2)"))->isChecked();
        const bool navigation = menuItem(QStringLiteral("mnuViewSub(3)"))->isChecked();
        m_band->CoolBar1->setBandVisible(1, status);
        m_band->CoolBar1->setBandVisible(2, status);
        m_band->CoolBar1->setBandVisible(3, navigation);
        if (!m_band->CoolBar1->anyBandVisible()) {
            m_band->CoolBar1->hide();
            arrangeControls();
        } else if (m_band->CoolBar1->isHidden()) {
            m_band->CoolBar1->show();
            arrangeControls();
        }
        menuItem(QStringLiteral("mnuViewSub(3)"))
            ->setText(navigation ? QStringLiteral("Hide Refresh/Nav Toolbar") : QStringLiteral("Show Refresh/Nav Toolbar"));
        menuItem(QStringLiteral("mnuViewSub(2)"))
            ->setText(status ? QStringLiteral("Hide Status Toolbar") : QStringLiteral("Show Status Toolbar"));
    });
}

void frmMain::ChangeView(int mode)
{
    Steps::logAndSkip(kLog, [&] {
        for (int i = 8; i <= 11; ++i)
            menuItem(QStringLiteral("mnuViewSub(%1)").arg(i))->setChecked(i == mode + 8);
        SettingsKeys::ListView.write(mode);
        lvwUserList->setViewMode(mode);
    });
}

void frmMain::selectUserItem(const QString &key)
{
    lvwUserList->selectKey(key);
}

QString frmMain::treeNodeTag(const QString &nodeKey) const
{
    return trvUserlist->nodeTag(nodeKey);
}

void frmMain::setUserListModel(QAbstractItemModel *model)
{
    lvwUserList->setModel(model);
}

void frmMain::setReservationsModel(QAbstractItemModel *model)
{
    lvwReservations->setModel(model);
}

QAction *frmMain::menuItem(const QString &name) const
{
    return m_menus->item(name);
}

QLabel *frmMain::statusPanel(const QString &key) const
{
    return m_panels.value(key);
}

// ---------------------------------------------------------------- tree

void frmMain::loadNavigationTree(const NavigationTree &tree)
{
    trvUserlist->clearNodes();
    for (const NavigationTree::Item &item : tree.items())
        trvUserlist->addNode(item.parentKey, item.key, item.text, item.image, item.tag);
    for (const NavigationTree::Item &item : tree.items()) {
        QTreeWidgetItem *node = trvUserlist->node(item.key);
        if (!node)
            continue;
        if (item.sortChildren)
            node->sortChildren(0, Qt::AscendingOrder);
        for (QTreeWidgetItem *parent = node->parent(); item.ensureVisible && parent; parent = parent->parent())
            parent->setExpanded(true);
    }
    trvUserlist->selectNode(tree.selectedKey);
}

bool frmMain::hasTreeImage(const QString &imageKey) const
{
    return images.img16.contains(imageKey);
}

bool frmMain::selectTreeNode(const QString &nodeKey)
{
    return trvUserlist->selectNode(nodeKey);
}

void frmMain::trvUserlist_NodeReleased(Qt::MouseButton button)
{
    const QString key = trvUserlist->selectedKey();
    try {
        // The view opened names itself in the status bar.
        if (button != Qt::RightButton)
            m_popupMenus->BuildTreePopupMenu(key, PopupMenus::Refresh);
        treeViewClick(key, false);
        if (button == Qt::RightButton) {
            QCoreApplication::processEvents();
            m_popupMenus->BuildTreePopupMenu(key, PopupMenus::AtPointer);
        }
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmMain.trvUserlist_MouseUp\r\n") + e.source());
    }
}

void frmMain::trvUserlist_KeyEnter(bool alt)
{
    Steps::logAndSkip(kLog, [this, alt] {
        if (alt)
            m_popupMenus->BuildTreePopupMenu(trvUserlist->selectedKey(), PopupMenus::FromKeyboard);
        else
            treeViewClick(trvUserlist->selectedKey(), false);
    });
}

void frmMain::trvUserlist_NodeEntered(const QString &key)
{
    Steps::logAndSkip(kLog, [&] {
        const CTreeNode *node = KeyToId(key) >= 1 ? FindTreeNode(key) : nullptr;
        const QString tip = node ? node->ToolTip.trimmed() : QString();
        if (tip.isEmpty())
            clearInfoBar();
        else
            setInfoBar(tip);
    });
}

void frmMain::hidePopupMenu()
{
    menuItem(QStringLiteral("mnuPopup"))->setVisible(false);
}

void frmMain::setPopupItemEnabled(int index, bool enabled)
{
    if (QAction *item = menuItem(QStringLiteral("mnuPopupSub(%1)").arg(index)))
        item->setEnabled(enabled);
}

void frmMain::setToolbarButtonVisible(const QString &key, bool visible)
{
    if (QAction *button = m_band->toolbarButton(key))
        button->setVisible(visible);
}

void frmMain::setInfoBar(const QString &text)
{
    if (ShapeBar->isHidden())
        return;
    lblStatus->setText(text);
    ImageInfoBar->show();
}

// An empty bar would be a blank strip over the view: it goes back to the
// view's own text instead.
void frmMain::clearInfoBar()
{
    showViewInfo();
}

// ---------------------------------------------------------------- user list

bool frmMain::selectedListItem(CEntity &item) const
{
    const int row = lvwUserList->selectedRow();
    const QString key = lvwUserList->rowKey(row);
    if (key.isEmpty())
        return false;
    item.setKey(key);
    item.Name = lvwUserList->rowText(row);
    return true;
}

void frmMain::bringToFront()
{
    show();
    raise();
    activateWindow();
}

bool frmMain::isUserListVisible() const
{
    return lvwUserList->isVisibleTo(this);
}

bool frmMain::setUserItemText(const QString &key, int subItem, const QString &text)
{
    QAbstractItemModel *model = lvwUserList->model();
    const int row = lvwUserList->rowOfKey(key);
    if (!model || row < 0 || subItem < 0 || subItem >= model->columnCount())
        return false;
    return model->setData(model->index(row, subItem), text, Qt::EditRole);
}

void frmMain::setProgressValue(int value)
{
    // A progress bar paints itself at once on every new value, which during
    // a load of thousands of rows costs more than the rows; it is painted
    // with the window's next update instead (re-enabling asks for one).
    prgBar->setUpdatesEnabled(false);
    prgBar->setValue(value);
    prgBar->setUpdatesEnabled(true);
}

void frmMain::setProgressVisible(bool visible)
{
    prgBar->setVisible(visible);
}

void frmMain::setProgress(int percent)
{
    // Shown once there is progress to show: a read of a few rows is done
    // before anyone could see the bar, and showing it costs a layout.
    setProgressVisible(percent > 0);
    if (percent >= 0)
        setProgressValue(percent);
}

void frmMain::showUserColumns(const QList<UserListColumns::Column> &columns)
{
    // Another view may have shown its own rows in the upper list.
    attachUserList();
    for (int i = 0; i < columns.size(); ++i)
        lvwUserList->setColumnWidth(i, columns.at(i).width);
    lvwReservations->hide();
    shpResourceBar->hide();
    lblResource->hide();
    lvwUserList->show();
    Steps::logAndSkip(kLog, [this] { arrangeControls(); });
}

void frmMain::showListView(QAbstractItemModel *upper, QAbstractItemModel *lower)
{
    saveColumnSettings();
    lvwUserList->setModel(upper);
    applyColumnWidths(lvwUserList);
    lvwUserList->show();
    if (lower) {
        lvwReservations->setModel(lower);
        applyColumnWidths(lvwReservations);
    }
    lvwReservations->setVisible(lower);
    shpResourceBar->setVisible(lower);
    lblResource->setVisible(lower);
    Steps::logAndSkip(kLog, [this] { arrangeControls(); });
}

void frmMain::applyColumnWidths(ListViewPane *list)
{
    const QAbstractItemModel *model = list->model();
    for (int column = 0; model && column < model->columnCount(); ++column) {
        const QVariant start = model->headerData(column, Qt::Horizontal, UserListColumns::StartWidthRole);
        list->setColumnWidth(column, UserListColumns::GetColumnWidth(
                                         model->headerData(column, Qt::Horizontal, Qt::UserRole).toString(),
                                         start.isValid() ? start.toInt() : UserListColumns::DefaultWidth));
    }
}

void frmMain::setResourceCaption(const QString &text)
{
    OutsideText::show(lblResource, text);
    lblResource->adjustSize();
}

void frmMain::saveColumnSettings()
{
    saveColumns(lvwUserList);
    saveColumns(lvwReservations);
}

void frmMain::saveColumns(const ListViewPane *list)
{
    const QAbstractItemModel *model = list->model();
    for (int column = 0; model && column < model->columnCount(); ++column) {
        const QString key = model->headerData(column, Qt::Horizontal, Qt::UserRole).toString();
        if (key.isEmpty())
            continue;
        const int width = list->columnWidth(column);
        UserListColumns::setHidden(key, width == 0);
        if (width != 0)
            SettingsKeys::ColumnWidth.write(width, key);
    }
}

void frmMain::scrollToSelection()
{
    lvwUserList->scrollToSelection();
}

// ---------------------------------------------------------------- view menu

void frmMain::viewItemTriggered(int index)
{
    // The click has already moved the entry's check mark.
    const QAction *item = menuItem(QStringLiteral("mnuViewSub(%1)").arg(index));
    try {
        switch (index) {
        case 0:
            DisplaySearch(item->isChecked());
            DisplayToolbar();
            ViewSettings::writeFlag(SettingsKeys::Search, item->isChecked());
            break;
        case 2:
        case 3:
            DisplayToolbar();
            ViewSettings::writeFlag(index == 2 ? SettingsKeys::StatusToolbar : SettingsKeys::NavToolbar,
                                    item->isChecked());
            break;
        case 4:
            DisplayInfoBar(item->isChecked());
            ViewSettings::writeFlag(SettingsKeys::InfoBar, item->isChecked());
            break;
        case 6: ShowListFont(); break;
        default: ChangeView(index - 8); break;
        }
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmMain.mnuViewSub_Click\r\n") + e.source());
    }
}

void frmMain::applyViewSettings()
{
    const ViewSettings stored = ViewSettings::read();
    if (stored.statusToolbar)
        menuItem(QStringLiteral("mnuViewSub(2)"))->setChecked(*stored.statusToolbar);
    if (stored.navToolbar)
        menuItem(QStringLiteral("mnuViewSub(3)"))->setChecked(*stored.navToolbar);
    if (stored.search)
        DisplaySearch(*stored.search);
    if (stored.infoBar)
        DisplayInfoBar(*stored.infoBar);
    DisplayToolbar();
    if (stored.font)
        setListFont(*stored.font);
    if (stored.listView)
        ChangeView(*stored.listView);
}

void frmMain::ShowListFont()
{
    cCommonDialog dialog;
    dialog.Font = trvUserlist->font();
    dialog.FontColor = lvwUserList->textColour();
    dialog.cancelError = true;
    dialog.flags = 257; // screen fonts, with effects
    dialog.hwnd = this;
    dialog.Min = 8;
    dialog.Max = 24;
    try {
        dialog.ShowFont();
    } catch (const AppError &e) {
        if (e.number() == cCommonDialog::CancelError)
            return;
        throw;
    }
    setListFont(dialog.Font);
    lvwUserList->setTextColour(dialog.FontColor);
    lvwReservations->setTextColour(dialog.FontColor);
    ViewSettings::writeFont(dialog.Font);
}

void frmMain::setListFont(const QFont &font)
{
    trvUserlist->setFont(font);
    lvwUserList->setFont(font);
    lvwReservations->setFont(font);
}

// ---------------------------------------------------------------- tool bars

void frmMain::Toolbar1_ButtonClick(const QString &key)
{
    using Command = StatusToolbar::Command;
    try {
        switch (StatusToolbar::commandFor(key)) {
        case Command::Mobile:
            // The flag changes once the database has taken it.
            if (g_oClientHnd)
                g_oClientHnd->UpdatePhone(!g_oCurrentUser.MobileOn);
            break;
        case Command::Journal:
            if (g_oClientHnd)
                g_oClientHnd->PhHistory();
            break;
        case Command::PhoneMessage: sendPhoneMessage(); break;
        case Command::Help:
            if (showHelp)
                showHelp();
            break;
        case Command::Tray: mnuFileClose_Click(); break;
        case Command::Broadcast:
            if (g_uiFactory.instantMessage)
                g_uiFactory.instantMessage(QStringLiteral("*"));
            break;
        case Command::Chat: openChatRoom(); break;
        case Command::Separator: break;
        case Command::Status: SetStatusFromToolbar(key); break;
        }
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmMain.Toolbar1_ButtonClick\r\n") + e.source());
    }
}

void frmMain::Toolbar1_ButtonMenuClick(const QString &key)
{
    try {
        SetStatusFromToolbar(key);
    } catch (const std::exception &) {
    }
}

void frmMain::Toolbar2_ButtonClick(const QString &key)
{
    Steps::logAndSkip(kLog, [&] {
        const QString tool = key.toUpper();
        if (tool == QLatin1String("BCK"))
            webView(&IWebView::back);
        else if (tool == QLatin1String("FWD"))
            webView(&IWebView::forward);
        else if (tool == QLatin1String("REF"))
            refreshCurrentView();
        else if (tool == QLatin1String("STP"))
            webView(&IWebView::stop);
    });
}

void frmMain::SetStatusFromToolbar(const QString &statusCode)
{
    // An empty due-back box leaves the due-back to the status; unreadable
    // text would silently do the same, so the user is told and nothing changes.
    const QString problem = m_band->dtETA->checkEntry(GetResString(159), false);
    if (!problem.isEmpty()) {
        g_prompt->message(problem, IPrompt::Ok, IPrompt::Exclamation, GetResString(128));
        return;
    }
    try {
        const StatusToolbar::Note note = StatusToolbar::noteFor(statusCode, m_band->cboNote->currentText());
        if (note.typed) {
            saveRecentNote();
            lvwUserList->setFocus();
        }
        const QString parsed = CClientNote().ParseNote(note.text, g_oUserProperties);
        double outAt = Clock::nowDays();
        double dueBack = StatusToolbar::dueBackFrom(m_band->dtETA->DateTimeValue(), outAt);
        if (g_oClientHnd) {
            g_oClientHnd->UpdateStatus(g_lUserID, statusCode, parsed, outAt, dueBack, false, true);
            g_oClientHnd->SetFrameCaption();
        }
        m_band->cboNote->setEditText(QString());
        m_band->dtETA->clear();
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmMain.SetStatusFromToolbar\r\n") + e.source());
    }
}

void frmMain::sendPhoneMessage()
{
    const int row = lvwUserList->selectedRow();
    const QString key = lvwUserList->rowKey(row);
    if (!StatusToolbar::canSendPhoneMessage(key, isUserListVisible(), lvwReservations->isVisibleTo(this))) {
        g_prompt->message(QStringLiteral("Please select a person from a staff status list to send the phone message to..."),
                          IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Select Person First"));
        return;
    }
    if (g_uiFactory.phoneMessage)
        g_uiFactory.phoneMessage(KeyToId(key), lvwUserList->rowText(row));
}

void frmMain::openChatRoom()
{
    IChatWindow *chat = g_uiFactory.chatWindow ? g_uiFactory.chatWindow() : nullptr;
    if (!chat || chat->isVisible())
        return;
    chat->openRoom(StatusToolbar::chatRoomId(g_oCurrentUser.RealName, Clock::nowDays()));
}

// ---------------------------------------------------------------- recent notes

void frmMain::loadRecentNotes()
{
    m_vRecentNotes.load();
    showRecentNotes();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Not when the focus only comes back from the box's own drop-down.
    if (watched == m_band->cboNote && event->type() == QEvent::FocusIn
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        Steps::logAndSkip(kLog, [this] { loadRecentNotes(); });
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::saveRecentNote()
{
    m_vRecentNotes.save(m_band->cboNote->currentText());
    showRecentNotes();
}

void frmMain::showRecentNotes()
{
    // Refilling the list must not replace what is typed in the box.
    const QString typed = m_band->cboNote->currentText();
    m_band->cboNote->clear();
    m_band->cboNote->addItems(m_vRecentNotes.shown());
    m_band->cboNote->setEditText(typed);
}
