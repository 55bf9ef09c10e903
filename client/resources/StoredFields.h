#pragma once

#include "platform/RecordSet.h"
#include "platform/StoredText.h"

// A text column of a resource or booking row as the lists and dialogs show
// it: apostrophes restored, surrounding blanks dropped, "" for null.
inline QString storedText(const RecordSet &rs, const QString &field)
{
    return DecodeQuotes(rs.text(field)).trimmed();
}
