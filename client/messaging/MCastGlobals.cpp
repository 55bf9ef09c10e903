// The program's globals of the multicast link's types (declared with the
// others in foundation/Globals.h).
#include "CMCastWindow.h"
#include "foundation/Globals.h"

std::unique_ptr<CMCastWindow> g_oMCastWindow;
