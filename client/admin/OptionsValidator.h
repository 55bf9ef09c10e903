#pragma once

#include "OptionsValues.h"

#include <QString>
#include <QStringList>

// The checks made before the options dialog saves anything. Questions and
// warnings go through g_prompt.
class OptionsValidator
{
public:
    // The lines of the "required data is missing" warning; empty when none.
    static QStringList missingData(const OptionsValues &values);
    static QString missingDataMessage(const QStringList &lines);
    // Asks first when the user is in no group (No stops at once), then warns
    // of missing data. True when saving may go on.
    static bool validateOptions(const OptionsValues &values, int joinedGroups);
};
