#include "datetime.h"

#include <cmath>

namespace pelix {

namespace {
const QDate kBase(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}  // namespace

DateTime ToDateTime(const QDateTime& local)
{
    const double days = static_cast<double>(kBase.daysTo(local.date()));
    return days + local.time().msecsSinceStartOfDay() / kMsPerDay;
}

DateTime NowDateTime() { return ToDateTime(QDateTime::currentDateTime()); }

QDateTime FromDateTime(DateTime value)
{
    if (!std::isfinite(value)) value = 0;
    const double whole = std::floor(value);
    auto ms = static_cast<qint64>(std::llround((value - whole) * kMsPerDay));
    qint64 days = static_cast<qint64>(whole);
    if (ms >= 86400000) { ms -= 86400000; ++days; }
    return QDateTime(kBase.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

std::uint32_t DateTimeToUnix(DateTime value)
{
    const double s = std::round((value - kUnixEpochDays) * 86400.0);
    if (!(s > 0)) return 0;
    if (s >= 4294967295.0) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(s);
}

DateTime UnixToDateTime(std::uint32_t seconds) { return seconds / 86400.0 + kUnixEpochDays; }

DateTime DatePart(DateTime value) { return std::trunc(value); }

DateTime TimePart(DateTime value) { return std::fabs(value - std::trunc(value)); }

}  // namespace pelix
