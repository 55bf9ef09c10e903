#pragma once

#include "ZorDateTimeExport.h"

// What a key does to an open drop-down: Enter and Space accept, Esc
// dismisses, other keys are left to the drop-down's controls.
class ZORDATETIME_EXPORT DropDownKey
{
public:
    enum Action { None, Accept, Dismiss };
    static Action action(int key);
};
