// Date-times (days since 1899-12-30, local time) and Unix seconds (seconds since
// 1970-01-01 counted from the local date-time, without a time-zone correction).
#pragma once

#include "model/image.h"

#include <QDateTime>

#include <cstdint>

namespace pelix {

constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 as a date-time

DateTime NowDateTime();
DateTime ToDateTime(const QDateTime& local);
QDateTime FromDateTime(DateTime value);  // local, whole milliseconds

std::uint32_t DateTimeToUnix(DateTime value);
DateTime UnixToDateTime(std::uint32_t seconds);

// The date part (whole days) and the time of day (fraction) of a date-time.
DateTime DatePart(DateTime value);
DateTime TimePart(DateTime value);

}  // namespace pelix
