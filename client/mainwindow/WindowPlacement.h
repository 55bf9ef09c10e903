#pragma once

#include <QList>
#include <QRect>

// Where a window stored in an earlier run may open now. Screens come and go
// and change size between runs, so the stored rectangle is put on the
// screen that holds most of it, or on the primary screen when it lies on
// none, shrunk to that screen's available area when larger and moved inside
// it.
namespace WindowPlacement {

// screens are the available areas, the primary first.
QRect clamp(const QRect &wanted, const QList<QRect> &screens);

} // namespace WindowPlacement
