#include "CMCastUpdate.h"

QString CMCastUpdate::Key() const
{
    return QString::number(Seq);
}
