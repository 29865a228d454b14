// The check that runs before any window: the database must have been brought to
// the current level by the set-up utility, which leaves "altflag.540" behind.
#pragma once

#include "feedback.h"

#include <QString>

namespace pelix {

constexpr const char* kApplicationTitle = "MX7720-IG Console";

// Unpacks language packs when the language's own pack is there, then looks for
// "DATA/altflag.540" under the program folder. Without it, shows lines 5 and 6 of
// the language's ".500" file under the application title and answers false.
bool StartupCheck(const QString& programFolder, const QString& language, Feedback& fb);

}  // namespace pelix
