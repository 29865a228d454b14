#include "convert.h"

#include "model/datetime.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace pelix::db {

namespace {
const QDate kBase(1899, 12, 30);
}

QString DateText(DateTime value) { return FromDateTime(DatePart(value)).date().toString(Qt::ISODate); }

QString TimeText(DateTime value)
{
    const QTime t = FromDateTime(TimePart(value)).time();
    return t.toString(t.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

DateTime DateFromColumn(const QVariant& column)
{
    if (column.isNull()) return 0;
    const QDate d = QDate::fromString(column.toString().left(10), Qt::ISODate);
    return d.isValid() ? static_cast<DateTime>(kBase.daysTo(d)) : 0;
}

DateTime TimeFromColumn(const QVariant& column)
{
    if (column.isNull()) return 0;
    QString s = column.toString().trimmed();
    // A column written as a full date-time keeps its time of day.
    if (const auto t = s.indexOf(u'T'); t >= 0) s = s.mid(t + 1);
    QTime time = QTime::fromString(s, QStringLiteral("HH:mm:ss.zzz"));
    if (!time.isValid()) time = QTime::fromString(s, QStringLiteral("HH:mm:ss"));
    if (!time.isValid()) time = QTime::fromString(s, QStringLiteral("HH:mm"));
    return time.isValid() ? time.msecsSinceStartOfDay() / 86400000.0 : 0;
}

std::uint32_t UnixFromColumns(const QVariant& date, const QVariant& time)
{
    return DateTimeToUnix(DateFromColumn(date) + TimeFromColumn(time));
}

void UnixToColumns(std::uint32_t seconds, QString& date, QString& time)
{
    const QDateTime dt = FromDateTime(UnixToDateTime(seconds));
    date = dt.date().toString(Qt::ISODate);
    time = QTime(dt.time().hour(), dt.time().minute()).toString(QStringLiteral("HH:mm:ss"));
}

std::array<std::uint8_t, 4> IpFromDigits(std::string_view digits)
{
    std::array<std::uint8_t, 4> ip{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string_view part = digits.size() > i * 3 ? digits.substr(i * 3, 3) : std::string_view();
        int v = 0;
        bool ok = !part.empty();
        for (char c : part) {
            if (c < '0' || c > '9') { ok = false; break; }
            v = v * 10 + (c - '0');
        }
        ip[i] = ok && v <= 255 ? static_cast<std::uint8_t>(v) : 0;
    }
    return ip;
}

std::string IpToDigits(const std::array<std::uint8_t, 4>& ip)
{
    std::string s;
    for (auto octet : ip) s += PadLeft(std::to_string(octet), 3, '0');
    return s;
}

void CreditFromColumn(std::int64_t stored, std::uint8_t& active, std::uint8_t& setting)
{
    active = stored != 0 ? 1 : 0;
    setting = stored != 0 ? static_cast<std::uint8_t>(stored) : 1;
}

}  // namespace pelix::db
