#pragma once

class IMainWindow;

// Creates and releases the two windows that live for the whole run, and hears
// the main window's close box.
class CStartUp
{
public:
    void Init();
    void CloseDown();

private:
    void m_frmDisplayRef_DoExit(int &unloadMode);

    IMainWindow *m_frmDisplayRef = nullptr;
};

extern CStartUp *g_oStartUp;
