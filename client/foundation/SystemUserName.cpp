#include "SystemUserName.h"

#include <pwd.h>
#include <unistd.h>

QString SystemUserName()
{
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name && *entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}
