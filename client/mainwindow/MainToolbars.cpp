#include "MainToolbars.h"

#include "CMainImageLists.h"
#include "CoolBar.h"
#include "CustomStatusMenus.h"
#include "datetime/ucDateTime.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kSearchChars = 12;

QWidget *newBand(const QString &name, QHBoxLayout *&layout)
{
    auto *band = new QWidget;
    band->setObjectName(name);
    layout = new QHBoxLayout(band);
    layout->setContentsMargins(4, 2, 4, 2);
    return band;
}

} // namespace

MainToolbars::MainToolbars(QWidget *parent)
    : QObject(parent)
{
    CoolBar1 = new CoolBar(parent);
    createToolbar1();
    createToolbar2();
    createStatusBand();
    createSearchBand();
    CoolBar1->addBand(0, Toolbar1);
    CoolBar1->addBand(1, frStatus);
    CoolBar1->addBand(1, Toolbar2);
    CoolBar1->addBand(1, Picture1);
    CoolBar1->setBandVisible(4, false);
}

void MainToolbars::createToolbar1()
{
    Toolbar1 = new QToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setMovable(false);
    const QStringList keys = BuiltInStatus::codes(BuiltInStatus::buttons())
                             + QStringList{QStringLiteral("SEP1"), QStringLiteral("MOB"), QStringLiteral("JRN"),
                                           QStringLiteral("PHR"), QStringLiteral("SEP3"), QStringLiteral("CHT"),
                                           QStringLiteral("BIM"), QStringLiteral("SEP4"), QStringLiteral("TRY"),
                                           QStringLiteral("HLP")};
    for (const QString &key : keys) {
        QAction *button = key.startsWith(QLatin1String("SEP"), Qt::CaseInsensitive) ? Toolbar1->addSeparator()
                                                                                     : Toolbar1->addAction(QString());
        button->setObjectName(key);
        button->setData(key);
        m_toolbar1.insert(key, button);
        connect(button, &QAction::triggered, this, [this, key] { Q_EMIT Toolbar1ButtonClick(key); });
    }
    m_toolbar1.value(QStringLiteral("CHT"))->setToolTip(QStringLiteral("Open the Chat Room"));
    m_toolbar1.value(QStringLiteral("BIM"))->setToolTip(QStringLiteral("Broadcast an Instant Message"));

    // In, Out and Meeting carry the custom statuses of their type as drop-downs.
    for (const QString key : {BuiltInStatus::In, BuiltInStatus::Out, BuiltInStatus::Meeting}) {
        auto *menu = new QMenu(Toolbar1);
        menu->setObjectName(key + QStringLiteral("Menu"));
        connect(menu, &QMenu::triggered, this,
                [this](QAction *item) { Q_EMIT Toolbar1ButtonMenuClick(item->data().toString()); });
        m_toolbar1Menus.insert(key, menu);
    }
    // In and Out get their arrows once there are custom statuses to offer.
    auto *meetingButton
        = qobject_cast<QToolButton *>(Toolbar1->widgetForAction(m_toolbar1.value(BuiltInStatus::Meeting)));
    meetingButton->setMenu(m_toolbar1Menus.value(BuiltInStatus::Meeting));
    meetingButton->setPopupMode(QToolButton::MenuButtonPopup);
    for (const BuiltInStatus::Row *state : BuiltInStatus::meetingStates())
        m_toolbar1Menus.value(BuiltInStatus::Meeting)->addAction(state->menuText)->setData(QString(state->code));
}

void MainToolbars::createToolbar2()
{
    Toolbar2 = new QToolBar(QStringLiteral("Toolbar2"));
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    Toolbar2->setIconSize(QSize(32, 32));
    Toolbar2->setMovable(false);
    const QList<std::pair<QString, QString>> buttons = {
        {QStringLiteral("BCK"), QStringLiteral("Go Back (when browsing web pages)")},
        {QStringLiteral("FWD"), QStringLiteral("Go Forward (when browsing web pages)")},
        {QStringLiteral("REF"), QStringLiteral("Refresh the current view")},
        {QStringLiteral("STP"), QStringLiteral("Stop Loading (when browsing a web page)")}};
    for (const auto &[key, tip] : buttons) {
        QAction *button = Toolbar2->addAction(QString());
        button->setObjectName(key);
        button->setToolTip(tip);
        button->setData(key);
        button->setVisible(key == QLatin1String("REF"));
        m_toolbar2.insert(key, button);
        connect(button, &QAction::triggered, this, [this, key] { Q_EMIT Toolbar2ButtonClick(key); });
    }
}

void MainToolbars::createStatusBand()
{
    QHBoxLayout *statusLayout = nullptr;
    frStatus = newBand(QStringLiteral("frStatus"), statusLayout);
    dtETA = new ucDateTime(frStatus);
    dtETA->setObjectName(QStringLiteral("dtETA"));
    dtETA->setToolTipText(QStringLiteral(
        "Use this to set the time you will be due back when using the Status toolbar above."));
    cboNote = new QComboBox(frStatus);
    cboNote->setObjectName(QStringLiteral("cboNote"));
    cboNote->setEditable(true);
    cboNote->setInsertPolicy(QComboBox::NoInsert);
    cboNote->setMinimumWidth(220);
    cboNote->setToolTip(QStringLiteral("Use this to leave a note when using the Status toolbar above. (Enter or "
                                       "select a previous note then click on a status icon to change your status)"));
    statusLayout->addWidget(dtETA);
    statusLayout->addWidget(cboNote, 1);
}

void MainToolbars::createSearchBand()
{
    QHBoxLayout *searchLayout = nullptr;
    Picture1 = newBand(QStringLiteral("Picture1"), searchLayout);
    txtSearchFor = new QLineEdit(Picture1);
    txtSearchFor->setObjectName(QStringLiteral("txtSearchFor"));
    txtSearchFor->setToolTip(QStringLiteral(
        "Type part of a persons name then click Find or press Enter. Matching names will be displayed."));
    // Twelve characters show: the box's own width hint is its margins and
    // seventeen of the letter x.
    const int x = txtSearchFor->fontMetrics().horizontalAdvance(u'x');
    txtSearchFor->setMinimumWidth(txtSearchFor->sizeHint().width() - 17 * x + kSearchChars * x);
    cmdSearch = new QPushButton(Picture1);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    searchLayout->addWidget(txtSearchFor, 1);
    searchLayout->addWidget(cmdSearch);
    // An empty box lists everyone; Enter finds as the button does.
    connect(txtSearchFor, &QLineEdit::returnPressed, cmdSearch, &QPushButton::click);
}

QAction *MainToolbars::toolbarButton(const QString &key) const
{
    return m_toolbar1.value(key.toUpper());
}

QMenu *MainToolbars::toolbarMenu(const QString &key) const
{
    return m_toolbar1Menus.value(key.toUpper());
}

void MainToolbars::setBrowsingButtonsVisible(bool visible)
{
    for (const char *key : {"BCK", "FWD", "STP"})
        m_toolbar2.value(QLatin1String(key))->setVisible(visible);
}

void MainToolbars::bindPictures(const CMainImageLists &images)
{
    const auto toolIcon = [&images](const QString &key) {
        QIcon icon;
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            icon.addPixmap(images.imgnorm.pixmap(key), mode);
        icon.addPixmap(images.imghot.pixmap(key), QIcon::Active);
        return icon;
    };
    for (auto it = m_toolbar1.cbegin(); it != m_toolbar1.cend(); ++it) {
        if (!it.key().startsWith(QLatin1String("SEP"), Qt::CaseInsensitive))
            it.value()->setIcon(toolIcon(it.key()));
    }
    for (auto it = m_toolbar2.cbegin(); it != m_toolbar2.cend(); ++it)
        it.value()->setIcon(toolIcon(it.key()));
}

void MainToolbars::loadCustomStatusMenus(const QList<CStatus> &statuses)
{
    QMenu *inn = toolbarMenu(BuiltInStatus::In);
    QMenu *out = toolbarMenu(BuiltInStatus::Out);
    QMenu *mtg = toolbarMenu(BuiltInStatus::Meeting);
    inn->clear();
    out->clear();
    // The four meeting states stay; only what follows them goes.
    const QList<QAction *> meeting = mtg->actions();
    for (qsizetype i = BuiltInStatus::meetingStates().size(); i < meeting.size(); ++i) {
        mtg->removeAction(meeting.at(i));
        delete meeting.at(i);
    }
    const CustomStatusMenus menus = CustomStatusMenus::sort(statuses);
    const auto fill = [](QMenu *menu, const QList<CustomStatusMenus::Item> &items) {
        for (const CustomStatusMenus::Item &item : items)
            menu->addAction(item.text)->setData(item.key);
    };
    fill(inn, menus.inn);
    fill(out, menus.out);
    fill(mtg, menus.mtg);
    // In and Out have no items of their own: without custom statuses their
    // arrows would open empty menus, so they go.
    for (const QString key : {BuiltInStatus::In, BuiltInStatus::Out}) {
        auto *button = qobject_cast<QToolButton *>(Toolbar1->widgetForAction(m_toolbar1.value(key)));
        QMenu *menu = toolbarMenu(key);
        button->setMenu(menu->isEmpty() ? nullptr : menu);
        button->setPopupMode(menu->isEmpty() ? QToolButton::DelayedPopup : QToolButton::MenuButtonPopup);
    }
}
