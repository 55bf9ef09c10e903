#pragma once

#include <QString>

namespace QelWeb {

// A custom status an administrator defined, offered beside the built-in ones.
class CStatus
{
public:
    QString Status;     // its description
    QString StatusCode; // "X" and two more characters
    QString CustomType; // I, O or M: counts as In, Out or Meeting
    QString Icon;       // an icon file's name without "ICO", or a built-in icon name in lower case

    QString Key() const { return StatusCode; }
};

} // namespace QelWeb
