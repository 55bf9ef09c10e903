#pragma once

#include "OptionsValues.h"

#include <QString>

// The signed-in user's display and calendar settings of this machine, under
// "App\Settings" of the current user.
class OptionsRegistry
{
public:
    // Columns are shown unless the list's own rule says hidden; a missing
    // tree value counts as on; a calendar state keeps its default when
    // nothing valid is stored.
    static void read(OptionsValues &values);
    static void write(const OptionsValues &values);
    static void storeDefaultBranch(const QString &nodeKey);
};
