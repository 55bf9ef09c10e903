#include "LanguageChoice.h"

namespace {
const char *const kCodes[LanguageChoice::Count] = {"ENU", "FRA", "GER", "ITA", "PRT", "SPN", "NED"};
const char *const kCaptions[LanguageChoice::Count] = {"English",   "Fran\u00e7ais", "Deutsch ",  "Italiano",
                                                      "Portugese ", "Spanish",       "Nederlands"};
}

int LanguageChoice::indexOf(const QString &code)
{
    for (int i = 0; i < Count; ++i) {
        if (code == QLatin1String(kCodes[i]))
            return i;
    }
    return 0;
}

QString LanguageChoice::codeAt(int index)
{
    return index >= 0 && index < Count ? QString::fromLatin1(kCodes[index]) : QStringLiteral("ENU");
}

QString LanguageChoice::captionAt(int index)
{
    return index >= 0 && index < Count ? QString::fromUtf8(kCaptions[index]) : QString();
}
