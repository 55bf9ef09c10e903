#pragma once

#include <QString>

// The desktop user's log-in name: the password database's entry for the
// effective user, else $USER; empty when neither knows it.
QString SystemUserName();
