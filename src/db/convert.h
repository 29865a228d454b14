// Conversions between the columns of the customer tables and the fields of the
// configuration image.
#pragma once

#include "model/image.h"

#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelix::db {

// Date columns hold "yyyy-MM-dd", time columns "HH:mm:ss" (".zzz" when the
// milliseconds are not zero). An empty or unreadable column reads as 0.
QString DateText(DateTime value);
QString TimeText(DateTime value);
DateTime DateFromColumn(const QVariant& column);  // whole days
DateTime TimeFromColumn(const QVariant& column);  // fraction of a day

// The first periodic SMS and report of a PELIX-G are kept as Unix seconds in the
// image and as a date and a time of day (to the minute) in the tables.
std::uint32_t UnixFromColumns(const QVariant& date, const QVariant& time);
void UnixToColumns(std::uint32_t seconds, QString& date, QString& time);

// 32-bit intervals are kept as two 16-bit halves.
inline std::uint32_t JoinInterval(std::int64_t low, std::int64_t high)
{
    return static_cast<std::uint32_t>(low) + static_cast<std::uint32_t>(high) * 65536u;
}
inline std::int64_t IntervalLow(std::uint32_t v) { return v & 0xFFFFu; }
inline std::int64_t IntervalHigh(std::uint32_t v) { return v >> 16; }

// IP addresses are twelve digits, three per octet, most significant first. An
// octet that is not a number from 0 to 255 reads as 0.
std::array<std::uint8_t, 4> IpFromDigits(std::string_view digits);
std::string IpToDigits(const std::array<std::uint8_t, 4>& ip);

// The credit check is stored as one value: 0 when off, the setting when on.
void CreditFromColumn(std::int64_t stored, std::uint8_t& active, std::uint8_t& setting);
inline std::int64_t CreditToColumn(std::uint8_t active, std::uint8_t setting) { return active ? setting : 0; }

}  // namespace pelix::db
