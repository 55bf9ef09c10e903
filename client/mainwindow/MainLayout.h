#pragma once

#include <QString>
#include <QtGlobal>

// Where the main window's panes go, worked out in twips with no widget in
// sight. Positions are in the window's client coordinates (the area under the
// menu bar, status bar included). The rules were made for a window's outer
// size, frame included, so the caller passes the outer size: the client size
// plus the fixed frame allowances below.
class MainLayout
{
public:
    static constexpr int TwipsPerPixel = 15;
    // Two sizing borders of 4 pixels.
    static constexpr int FrameWidth = 120;
    // Caption, menu bar and the two sizing borders of a classic frame.
    static constexpr int FrameHeight = 690;
    // Smallest width the user list keeps beside an open tree pane.
    static constexpr int MinListWidth = 5600;
    // What the band of tool bars leaves of the window's outer width.
    static constexpr int CoolBarMargin = 200;

    static int toPixels(int twips) { return qRound(double(twips) / TwipsPerPixel); }
    static int toTwips(int pixels) { return pixels * TwipsPerPixel; }

    struct Rect
    {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    // What the vertical placement reads.
    struct Heights
    {
        int window = 0;      // outer height
        int statusBar = 0;
        bool coolBarVisible = true;
        int coolBar = 0;
        bool infoBarVisible = true;
        int infoBar = 0;     // height of the info-bar shape
        QString viewKind;    // g_sViewType
    };

    // The result of the vertical placement (tops and heights only).
    struct Vertical
    {
        int window = 0;      // outer height, raised to the smallest the panes need
        int treeTop = 0, treeHeight = 0;
        int arrowTop = 0;
        int userListTop = 0, userListHeight = 0;
        int webTop = 0, webHeight = 0;
        int browserTop = 0, browserHeight = 0; // inside the web container
        int splitterTop = 0, splitterHeight = 0;
        int shapeBarTop = 0, statusLabelTop = 0, closeImageTop = 0, infoImageTop = 0;
        int reservationsTop = 0, reservationsHeight = 0;
        int resourceBarTop = 0, resourceLabelTop = 0;
    };

    // The result of the horizontal placement (lefts and widths only).
    struct Horizontal
    {
        int barLeft = 0;     // the splitter bar, possibly parked or clamped
        bool collapsed = false; // tree hidden, arrow shown
        int treeLeft = 0, treeWidth = 0;
        int arrowLeft = 0;
        int userListLeft = 0, userListWidth = 0;
        int webLeft = 0, webWidth = 0;
        int browserLeft = 0, browserWidth = 0; // inside the web container
        int reservationsLeft = 0, reservationsWidth = 0;
        int resourceBarLeft = 0, resourceBarWidth = 0;
        int resourceLabelLeft = 0;
    };

    // The band of tool bars, the info bar and the progress bar, placed on
    // every resize of the window.
    struct Frame
    {
        Rect coolBar;        // left and width
        Rect shapeBar;       // top, width
        Rect statusLabel;    // left, width
        int closeImageLeft = 0;
        int infoImageLeft = 0;
        Rect progressBar;    // left, width, top
    };

    // True for the view kinds whose user list fills the whole pane.
    static bool isListOnlyView(const QString &viewKind);

    static Vertical arrangeControls(const Heights &in);
    // windowWidth is the outer width; barLeft the splitter bar's left edge.
    static Horizontal arrangeTreePane(int windowWidth, int barLeft);
    // The largest left edge the bar may take in a window that wide: beyond
    // it the user list would be narrower than the window's minimum keeps it.
    static int maxBarLeft(int windowWidth);

    // Smallest outer width for a tree of that width and a band of tool bars
    // whose controls need bandWidth to lie side by side; the smallest height.
    static int minimumWidth(bool treeVisible, int treeWidth, int bandWidth = 0);
    static constexpr int MinimumHeight = 3000;

    static Frame arrangeFrame(int windowWidth, int windowHeight, int statusPanel1Width, int statusPanel2Width);
};
