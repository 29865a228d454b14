#include "text.h"

#include <cctype>
#include <charconv>

namespace pelix {

namespace {

// Code points of bytes 0x80..0x9F in Windows-1252; 0 marks the five unused bytes.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

QString FromCp1252(std::string_view bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) {
        if (b >= 0x80 && b <= 0x9F) {
            char16_t u = kHigh[b - 0x80];
            out.append(QChar(u ? u : char16_t(b)));
        } else {
            out.append(QChar(char16_t(b)));
        }
    }
    return out;
}

std::string ToCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHigh[i] == u) { mapped = static_cast<char>(0x80 + i); break; }
        }
        out.push_back(mapped);
    }
    return out;
}

std::string PadLeft(std::string_view text, int n, char c)
{
    std::string out;
    if (static_cast<int>(text.size()) < n) out.assign(static_cast<std::size_t>(n) - text.size(), c);
    out.append(text);
    return out;
}

std::string PadRight(std::string_view text, int n, char c)
{
    std::string out(text);
    if (static_cast<int>(text.size()) < n) out.append(static_cast<std::size_t>(n) - text.size(), c);
    return out;
}

std::string TrimSpaces(std::string_view text)
{
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string StripAccel(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != '&' && c != '.') out.push_back(c);
    return out;
}

int LastPos(std::string_view text, char c)
{
    if (text.size() > 255) text = text.substr(0, 255);
    std::size_t p = text.rfind(c);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::uint8_t SetBit(std::uint8_t& value, int bit, bool on)
{
    if (bit < 0 || bit > 7) return value;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    value = on ? static_cast<std::uint8_t>(value | mask) : static_cast<std::uint8_t>(value & ~mask);
    return value;
}

std::uint32_t ClearBit(std::uint32_t value, int bit)
{
    if (bit < 0 || bit > 31) return value;
    return value & ~(std::uint32_t(1) << bit);
}

bool TestBit(std::uint32_t value, int bit)
{
    if (bit < 0 || bit > 31) return false;
    return (value >> bit) & 1u;
}

bool ParseInt(std::string_view text, int& value)
{
    if (text.empty()) return false;
    std::size_t start = 0;
    if (text[0] == '+') start = 1;  // from_chars takes '-' but not '+'
    if (start == text.size()) return false;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    int v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last) return false;
    if (start == 1 && text.size() > 1 && text[1] == '-') return false;
    value = v;
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(ToLowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(ToLowerAscii(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareNoCase(a, b) == 0; }

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace pelix
