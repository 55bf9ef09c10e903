// The common-dialog backend global (declared with the others in
// foundation/Globals.h): the desktop's own dialogs unless a test replaces it.
#include "QtCommonDialogBackend.h"
#include "foundation/Globals.h"

namespace {
QtCommonDialogBackend g_qtDialogs;
}

ICommonDialogBackend *g_commonDialogs = &g_qtDialogs;
