#include "release.h"

#include "text.h"

#include <cstdlib>
#include <string>

namespace pelix {

std::optional<double> ReleaseNumber(std::string_view release)
{
    std::string t = TrimSpaces(release);
    if (t.empty()) return std::nullopt;
    for (char& c : t) {
        if (c == ',') c = '.';
        else if (!(c >= '0' && c <= '9') && c != '.' && c != '+' && c != '-') return std::nullopt;
    }
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size()) return std::nullopt;
    return v;
}

bool ReleaseAtLeast(std::string_view release, double bound)
{
    const auto v = ReleaseNumber(release);
    return v && *v >= bound;
}

}  // namespace pelix
