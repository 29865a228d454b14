#include "common/paths.h"
#include "common/release.h"
#include "common/text.h"

#include <gtest/gtest.h>

using namespace pelix;

TEST(CountedString, CutsOnAssignmentAndComparesOnlyTheText)
{
    CountedString<20> n;
    n = "1234567890123456789012345";
    EXPECT_EQ(n.str(), "12345678901234567890");
    EXPECT_EQ(n.size(), 20u);

    CountedString<4> a = "ab";
    CountedString<4> b = "abcd";
    b = "ab";  // leftover characters past the length must not make them differ
    EXPECT_TRUE(a == b);
    b = "";
    EXPECT_TRUE(b.empty());
}

TEST(TextHelpers, Padding)
{
    struct Case { const char* text; int n; char c; const char* left; const char* right; };
    const Case cases[] = {
        {"7", 5, '0', "00007", "70000"},
        {"123456", 5, '0', "123456", "123456"},
        {"", 2, ' ', "  ", "  "},
        {"abc", 3, '-', "abc", "abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PadLeft(c.text, c.n, c.c), c.left) << c.text;
        EXPECT_EQ(PadRight(c.text, c.n, c.c), c.right) << c.text;
    }
}

TEST(TextHelpers, TrimStripAndLastPos)
{
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces("\ta "), "\ta");  // only the blank is trimmed
    EXPECT_EQ(StripAccel("&File..."), "File");
    EXPECT_EQ(LastPos("a.b.c", '.'), 4);
    EXPECT_EQ(LastPos("abc", '.'), 0);
}

TEST(TextHelpers, Bits)
{
    std::uint8_t b = 0;
    EXPECT_EQ(SetBit(b, 3, true), 8);
    EXPECT_EQ(SetBit(b, 0, true), 9);
    EXPECT_EQ(SetBit(b, 3, false), 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(SetBit(b, 8, true), 1);  // out of range leaves the byte alone
    EXPECT_EQ(ClearBit(0xFFFFFFFFu, 31), 0x7FFFFFFFu);
    EXPECT_TRUE(TestBit(0x80000000u, 31));
    EXPECT_FALSE(TestBit(1, 32));
}

TEST(TextHelpers, Cp1252RoundTrip)
{
    const std::string bytes = "\x80 \xE8 \x9C abc";  // euro sign, e grave, oe
    const QString text = FromCp1252(bytes);
    EXPECT_EQ(text, QString::fromUtf8("\u20AC \u00E8 \u0153 abc"));
    EXPECT_EQ(ToCp1252(text), bytes);
    EXPECT_EQ(ToCp1252(QString::fromUtf8("\u4E2D")), "?");
}

TEST(TextHelpers, ParseIntIsStrict)
{
    int v = 0;
    EXPECT_TRUE(ParseInt("00054", v));
    EXPECT_EQ(v, 54);
    EXPECT_TRUE(ParseInt("-5", v));
    EXPECT_EQ(v, -5);
    for (const char* bad : {"", "abc", " 5", "5 ", "5x", "+", "99999999999"}) EXPECT_FALSE(ParseInt(bad, v)) << bad;
}

TEST(JoinPath, InsertsOneSeparatorOnlyWhenNeeded)
{
    EXPECT_EQ(JoinPath("C:\\A", "\\B"), "C:\\A\\B");
    EXPECT_EQ(JoinPath("C:\\A\\", "B"), "C:\\A\\B");
    EXPECT_EQ(JoinPath("C:\\A", "B"), "C:\\A\\B");
    EXPECT_EQ(JoinPath("/home/a", "b"), "/home/a/b");
    EXPECT_EQ(JoinPath("/home/a/", "b"), "/home/a/b");
    EXPECT_EQ(JoinPath("/home/a", "/Data"), "/home/a/Data");
}

TEST(Release, AtLeast)
{
    struct Case { const char* release; double bound; bool expected; };
    const Case cases[] = {
        {"1.00", kRelease10, true},  {"1.09", kRelease11, false}, {"1.10", kRelease11, true},
        {"1.1", kRelease11, true},   {"2.10", kRelease21, true},  {" 1,2 ", kRelease11, true},
        {"", kRelease10, false},     {"abc", 0.0, false},         {"1.1a", kRelease10, false},
    };
    for (const auto& c : cases) EXPECT_EQ(ReleaseAtLeast(c.release, c.bound), c.expected) << c.release;
}
