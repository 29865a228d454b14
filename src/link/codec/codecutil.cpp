#include "codecutil.h"

#include "common/text.h"

namespace pelix::codec {

std::string Flags8(std::uint8_t value)
{
    std::string s(8, '0');
    for (int b = 0; b < 8; ++b)
        if (value & (1u << b)) s[static_cast<std::size_t>(b)] = '1';
    return s;
}

bool IsOne(char c) { return c == '1'; }
bool IsNotZero(char c) { return c != '0' && c != '\0'; }

std::uint8_t ReadFlags8(std::string_view chars, bool (*set)(char))
{
    std::uint8_t v = 0;
    for (std::size_t b = 0; b < 8 && b < chars.size(); ++b)
        if (set(chars[b])) v = static_cast<std::uint8_t>(v | (1u << b));
    return v;
}

std::string Padded(long long value, int w) { return PadLeft(std::to_string(value), w, '0'); }

char At(std::string_view s, std::size_t p) { return p >= 1 && p <= s.size() ? s[p - 1] : '\0'; }

std::string_view Mid(std::string_view s, std::size_t p, std::size_t n)
{
    if (p < 1 || p > s.size()) return {};
    return s.substr(p - 1, n);
}

std::optional<long long> Number(std::string_view digits)
{
    if (digits.empty() || digits.size() > 18) return std::nullopt;
    long long v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<std::uint32_t> Hex32(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return v;
}

int Digit(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

std::optional<std::size_t> Find(std::string_view s, std::string_view key, std::size_t from)
{
    const std::size_t p = s.find(key, from);
    if (p == std::string_view::npos) return std::nullopt;
    return p;
}

std::optional<std::size_t> FindNoCase(std::string_view s, std::string_view key)
{
    if (key.size() > s.size()) return std::nullopt;
    for (std::size_t i = 0; i + key.size() <= s.size(); ++i)
        if (EqualsNoCase(s.substr(i, key.size()), key)) return i;
    return std::nullopt;
}

std::optional<std::string_view> Between(std::string_view s, std::string_view open, std::string_view close)
{
    const auto a = Find(s, open);
    if (!a) return std::nullopt;
    const std::size_t start = *a + open.size();
    const auto b = Find(s, close, start);
    if (!b) return std::nullopt;
    return s.substr(start, *b - start);
}

std::string TrimControls(std::string_view s)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace pelix::codec
