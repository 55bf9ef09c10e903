#include "MainLayout.h"

#include <algorithm>

namespace {
constexpr int kCollapseBelow = 160;
constexpr int kParkedBar = 130;
constexpr int kPaneMargin = 800;
} // namespace

bool MainLayout::isListOnlyView(const QString &viewKind)
{
    for (const char *kind : {"GRP", "CTL", "NTF", "SRH"}) {
        if (viewKind.compare(QLatin1String(kind), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

MainLayout::Vertical MainLayout::arrangeControls(const Heights &in)
{
    Vertical out;
    const int coolBar = in.coolBarVisible ? in.coolBar : 0;
    const int infoBar = in.infoBarVisible ? in.infoBar : 0;
    const int reserved = in.statusBar + kPaneMargin + coolBar + infoBar;

    out.window = std::max(in.window, reserved + kPaneMargin);
    out.treeHeight = out.window - reserved;
    out.userListHeight = isListOnlyView(in.viewKind) ? out.window - reserved : out.treeHeight / 2 - 20;
    out.webHeight = out.window - reserved;

    const int paneTop = coolBar + infoBar + 100;
    out.treeTop = out.arrowTop = out.userListTop = out.webTop = out.splitterTop = paneTop;

    out.shapeBarTop = coolBar + 80;
    out.statusLabelTop = out.shapeBarTop + 60;
    out.closeImageTop = out.shapeBarTop + 60;
    out.infoImageTop = out.shapeBarTop + 20;

    out.reservationsTop = out.userListTop + out.userListHeight + 400;
    out.resourceBarTop = out.reservationsTop - 360;
    out.resourceLabelTop = out.reservationsTop - 300;
    out.reservationsHeight = std::max(0, out.treeHeight / 2 - 380);

    out.browserTop = -40;
    out.browserHeight = out.webHeight + 20;
    out.splitterHeight = out.treeHeight;
    return out;
}

int MainLayout::maxBarLeft(int windowWidth)
{
    return std::max(kCollapseBelow, windowWidth - MinListWidth - 40);
}

MainLayout::Horizontal MainLayout::arrangeTreePane(int windowWidth, int barLeft)
{
    Horizontal out;
    out.barLeft = std::min(barLeft, maxBarLeft(windowWidth));
    out.treeLeft = 40;
    if (out.barLeft < kCollapseBelow) {
        out.collapsed = true;
        out.barLeft = kParkedBar;
        out.treeWidth = 0;
        out.arrowLeft = 0;
    } else {
        out.treeWidth = out.barLeft - 80;
    }

    out.userListWidth = std::max(0, windowWidth - out.treeWidth - 240);
    out.userListLeft = out.treeWidth + 120;
    out.webLeft = out.userListLeft;
    out.webWidth = out.userListWidth;
    out.browserLeft = -40;
    out.browserWidth = out.webWidth + 20;
    out.reservationsLeft = out.userListLeft;
    out.reservationsWidth = out.userListWidth;
    out.resourceBarLeft = out.userListLeft + 20;
    out.resourceBarWidth = std::max(0, out.userListWidth - 40);
    out.resourceLabelLeft = out.userListLeft + 80;
    return out;
}

int MainLayout::minimumWidth(bool treeVisible, int treeWidth, int bandWidth)
{
    const int pane = treeWidth + 120;
    const int panes = treeVisible && pane > 3000 ? MinListWidth + pane : MinListWidth + 3000;
    return std::max(panes, bandWidth + CoolBarMargin);
}

MainLayout::Frame MainLayout::arrangeFrame(int windowWidth, int windowHeight, int statusPanel1Width,
                                           int statusPanel2Width)
{
    Frame out;
    out.coolBar.left = 40;
    out.coolBar.width = windowWidth - CoolBarMargin;
    // The info bar lines up with the band above it.
    out.shapeBar.left = 40;
    out.shapeBar.width = windowWidth - 200;
    out.statusLabel.left = 460;
    out.statusLabel.width = std::max(0, windowWidth - 540);
    out.closeImageLeft = out.shapeBar.width - 360;
    out.infoImageLeft = 80;
    out.progressBar.left = statusPanel1Width + statusPanel2Width + 1750;
    out.progressBar.width = std::max(0, windowWidth - out.progressBar.left - 640);
    out.progressBar.top = windowHeight - 960;
    return out;
}
