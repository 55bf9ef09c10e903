#pragma once

#include <QIcon>
#include <QString>

// The program's own status pictures, drawn rather than loaded: a coloured
// disc per status, with a mark for the statuses that share a colour.
class StatusIconPainter
{
public:
    // The picture for a status code or "Qel"; a null icon for any other name.
    static QIcon icon(const QString &name);
};
