#include "CClientSettings.h"

#include "KeyedTreeWidget.h"
#include "ListViewPane.h"
#include "MainLayout.h"
#include "ViewSettings.h"
#include "WindowPlacement.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/Steps.h"
#include "frmMain.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTreeWidgetItemIterator>
#include <optional>

namespace {

const QString kLog = QStringLiteral("CClientSettings");

// A whole number of the settings; none when missing or unreadable. Numbers
// below 0 are kept as their 32-bit pattern.
std::optional<int> storedNumber(const SettingKey &key)
{
    const QString text = key.read();
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (text == Registry::missingText() || !ok)
        return std::nullopt;
    return int(qint32(quint32(value)));
}

void writeNumber(const SettingKey &key, int value)
{
    key.write(value);
}

QList<QRect> availableScreens()
{
    QList<QRect> areas;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen *screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    return areas;
}

} // namespace

CClientSettings::CClientSettings(frmMain *window)
    : m_window(window ? window : dynamic_cast<frmMain *>(g_frmMain.get()))
{
}

void CClientSettings::SaveSettings()
{
    if (!m_window)
        return;
    frmMain &w = *m_window;
    Steps::logAndSkip(kLog, [this] { saveGeometry(); });
    Steps::logAndSkip(kLog, [&] {
        ViewSettings::writeFlag(SettingsKeys::Search, w.menuItem(QStringLiteral("mnuViewSub(0)"))->isChecked());
        ViewSettings::writeFlag(SettingsKeys::StatusToolbar, w.menuItem(QStringLiteral("mnuViewSub(2)"))->isChecked());
        ViewSettings::writeFlag(SettingsKeys::NavToolbar, w.menuItem(QStringLiteral("mnuViewSub(3)"))->isChecked());
        ViewSettings::writeFlag(SettingsKeys::InfoBar, w.menuItem(QStringLiteral("mnuViewSub(4)"))->isChecked());
    });
    Steps::logAndSkip(kLog, [&] { writeNumber(SettingsKeys::VSplitter, w.m_barLeftChosen); });
    Steps::logAndSkip(kLog, [&] { ViewSettings::writeFont(w.lvwUserList->font()); });
    // The columns follow in SaveColumnSettings, for both lists.
    Steps::logAndSkip(kLog, [&] { writeNumber(SettingsKeys::ListView, w.lvwUserList->viewMode()); });
    Steps::logAndSkip(kLog, [this] { saveTreeNodes(); });
    Steps::logAndSkip(kLog, [&] {
        const QString selected = w.trvUserlist->selectedKey();
        if (!selected.isEmpty())
            SettingsKeys::DefaultBranch.write(selected);
    });
}

// The normal-state rectangle, also of a maximised or minimised window, so
// the next start opens where the window was last restored to. Any position
// is kept, left of or above the primary screen too: the load puts it back
// on a screen.
void CClientSettings::saveGeometry()
{
    const QRect normal = m_window->normalGeometry();
    if (normal.height() > 0)
        writeNumber(SettingsKeys::WindowHeight, MainLayout::toTwips(normal.height()));
    if (normal.width() > 0)
        writeNumber(SettingsKeys::WindowWidth, MainLayout::toTwips(normal.width()));
    writeNumber(SettingsKeys::WindowTop, MainLayout::toTwips(normal.top()));
    writeNumber(SettingsKeys::WindowLeft, MainLayout::toTwips(normal.left()));
}

void CClientSettings::saveTreeNodes()
{
    for (QTreeWidgetItemIterator it(m_window->trvUserlist); *it; ++it) {
        bool shown = true;
        for (const QTreeWidgetItem *parent = (*it)->parent(); parent && shown; parent = parent->parent())
            shown = parent->isExpanded();
        SettingsKeys::TreeNodeShown.write(shown, KeyedTreeWidget::keyOf(*it));
    }
}

void CClientSettings::LoadSettings()
{
    if (!m_window)
        return;
    frmMain &w = *m_window;
    Steps::logAndSkip(kLog, [this] { loadGeometry(); });
    // The bars, the tool-bar layout, the font and the list style.
    Steps::logAndSkip(kLog, [&] { w.applyViewSettings(); });
    Steps::logAndSkip(kLog, [&] {
        if (const auto left = storedNumber(SettingsKeys::VSplitter)) {
            w.m_barLeftChosen = *left;
            w.arrangeTreePane();
        }
    });
    Steps::logAndSkip(kLog, [&] { w.setListIconSize(storedNumber(SettingsKeys::IconSize) == 32 ? 32 : 16); });
    Steps::logAndSkip(kLog, [&] {
        if (SettingsKeys::DefaultBranch.read() == QLatin1String("SRH0"))
            w.DisplaySearch(true);
    });
}

void CClientSettings::loadGeometry()
{
    const std::optional<int> height = storedNumber(SettingsKeys::WindowHeight);
    const std::optional<int> width = storedNumber(SettingsKeys::WindowWidth);
    const std::optional<int> top = storedNumber(SettingsKeys::WindowTop);
    const std::optional<int> left = storedNumber(SettingsKeys::WindowLeft);
    if (!height && !width && !top && !left)
        return;
    QRect wanted = m_window->geometry();
    if (height && *height >= 1)
        wanted.setHeight(MainLayout::toPixels(*height));
    if (width && *width >= 1)
        wanted.setWidth(MainLayout::toPixels(*width));
    if (top)
        wanted.moveTop(MainLayout::toPixels(*top));
    if (left)
        wanted.moveLeft(MainLayout::toPixels(*left));
    m_window->setGeometry(WindowPlacement::clamp(wanted, availableScreens()));
}

void CClientSettings::SaveColumnSettings()
{
    if (m_window)
        m_window->saveColumnSettings();
}
