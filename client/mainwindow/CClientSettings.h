#pragma once

class frmMain;

// Keeps the look of the main window between runs in the user's settings:
// its normal-state size and position, which bars show, the splitter, the
// list font, the columns of both lists, the list style, which tree nodes
// were open and the node last selected. It holds no state; make one for
// each use. Without a main window (the program sits in the tray) nothing
// is read or written.
class CClientSettings
{
public:
    // The program's main window when none is given.
    explicit CClientSettings(frmMain *window = nullptr);

    void SaveSettings();
    void LoadSettings();
    // The widths and hidden flags of both lists' columns.
    void SaveColumnSettings();

private:
    void saveGeometry();
    void loadGeometry();
    void saveTreeNodes();

    frmMain *m_window;
};
