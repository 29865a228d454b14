// Small text tools shared by the configuration codecs: fixed-width fields,
// flag digits and key look-ups that never read outside the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelix::codec {

// Eight "1"/"0" characters, bit 0 first.
std::string Flags8(std::uint8_t value);
// Reads up to eight flag characters, bit 0 first; `set` tells which character sets a bit.
// Characters missing from a short text leave their bit clear.
std::uint8_t ReadFlags8(std::string_view chars, bool (*set)(char));
bool IsOne(char c);
bool IsNotZero(char c);

// Decimal value left-padded with "0" to at least w characters.
std::string Padded(long long value, int w);

// The character at 1-based position p of `s`, or '\0' past its end.
char At(std::string_view s, std::size_t p);
// Up to n characters from 1-based position p (fewer at the end of the text).
std::string_view Mid(std::string_view s, std::size_t p, std::size_t n);

// A decimal number made of exactly the given characters; nothing when they do not read.
std::optional<long long> Number(std::string_view digits);
std::optional<std::uint32_t> Hex32(std::string_view digits);
int Digit(char c);  // 0-9, or -1

// Position of `key` in `s` (0-based), case-sensitive or not.
std::optional<std::size_t> Find(std::string_view s, std::string_view key, std::size_t from = 0);
std::optional<std::size_t> FindNoCase(std::string_view s, std::string_view key);

// The text between the end of `open` and the next `close`; nothing when either is absent.
std::optional<std::string_view> Between(std::string_view s, std::string_view open, std::string_view close);

// Trims spaces and control characters at both ends.
std::string TrimControls(std::string_view s);

}  // namespace pelix::codec
