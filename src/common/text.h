// Text handling of the core: counted strings, Windows-1252 conversion and the
// small text helpers every other module uses.
//
// The core keeps texts as 8-bit Windows-1252 bytes in std::string, exactly as
// they go to the device and to the database; QString appears only where a text
// meets Qt (widgets, JSON, file names).
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelix {

// A fixed-capacity text: a length (0..N) and N characters. Assigning a longer
// text keeps its first N characters, so a value taken from a user, a file or the
// device can never overflow its field.
template <std::size_t N>
class CountedString {
    static_assert(N > 0 && N <= 255, "a counted string holds at most 255 characters");

public:
    static constexpr std::size_t capacity = N;

    CountedString() = default;
    CountedString(std::string_view s) { assign(s); }  // NOLINT: implicit on purpose
    CountedString(const char* s) { assign(s ? std::string_view(s) : std::string_view()); }

    CountedString& operator=(std::string_view s) { assign(s); return *this; }
    CountedString& operator=(const char* s) { assign(s ? std::string_view(s) : std::string_view()); return *this; }
    CountedString& operator=(const std::string& s) { assign(s); return *this; }

    void assign(std::string_view s)
    {
        len_ = static_cast<std::uint8_t>(s.size() < N ? s.size() : N);
        chars_.fill('\0');
        s.copy(chars_.data(), len_);
    }

    std::string str() const { return std::string(chars_.data(), len_); }
    std::string_view view() const { return std::string_view(chars_.data(), len_); }
    std::size_t size() const { return len_; }
    std::size_t length() const { return len_; }
    bool empty() const { return len_ == 0; }
    void clear() { assign({}); }
    char operator[](std::size_t i) const { return i < len_ ? chars_[i] : '\0'; }

    // Characters past the length are not significant.
    friend bool operator==(const CountedString& a, const CountedString& b) { return a.view() == b.view(); }
    friend bool operator==(const CountedString& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const CountedString& a, const char* b) { return a.view() == std::string_view(b ? b : ""); }
    friend bool operator==(const CountedString& a, const std::string& b) { return a.view() == b; }

private:
    std::uint8_t len_ = 0;
    std::array<char, N> chars_{};
};

// Windows-1252 <-> Unicode. Characters Windows-1252 cannot hold become '?'.
QString FromCp1252(std::string_view bytes);
std::string ToCp1252(const QString& text);

// Helpers shared by every module (names as the rest of the code knows them).
std::string PadLeft(std::string_view text, int n, char c);
std::string PadRight(std::string_view text, int n, char c);
std::string TrimSpaces(std::string_view text);    // only the blank (code 32)
std::string StripAccel(std::string_view text);    // drops every '&' and '.'
int LastPos(std::string_view text, char c);        // 1-based, 0 when absent
std::uint8_t SetBit(std::uint8_t& value, int bit, bool on);
std::uint32_t ClearBit(std::uint32_t value, int bit);
bool TestBit(std::uint32_t value, int bit);

// Strict decimal integer: optional sign, digits only, no blanks, fits in int.
bool ParseInt(std::string_view text, int& value);

// ASCII case-insensitive ordering, as the language lists are sorted.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);

}  // namespace pelix
