// Firmware releases are compared as numbers against fixed bounds.
#pragma once

#include <optional>
#include <string_view>

namespace pelix {

constexpr double kRelease10 = 1.0;    // first release of the PELIX-A 1.0 family
constexpr double kRelease109 = 1.09;  // last release of the PELIX-A 1.0 family
constexpr double kRelease11 = 1.1;    // first release of the PELIX-A 1.1 family; page bound
constexpr double kRelease119 = 1.19;  // last release of the PELIX-A 1.1 family
constexpr double kRelease21 = 2.1;    // highest accepted PELIX-G controller release
constexpr double kRelease31 = 3.1;    // release limit of the installer dialog

// A release text read as a number: blanks around it are ignored and "," is
// taken as the decimal point ("1,10" as typed on an Italian keyboard). Text that
// does not read as a number in full gives nothing.
std::optional<double> ReleaseNumber(std::string_view release);

// True when `release` reads as a number at or above `bound`. A release that does
// not read as a number is below every bound, so no feature of a newer firmware
// is assumed for it.
bool ReleaseAtLeast(std::string_view release, double bound);

}  // namespace pelix
