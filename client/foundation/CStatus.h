#pragma once

#include <QString>

// One custom status an administrator defined.
class CStatus
{
public:
    QString Status;     // the description shown to users
    QString StatusCode; // "X" and two more characters
    QString CustomType; // "I", "O" or "M": counts as In, Out or Meeting
    QString Icon;       // key of its icon
};
