// The line and byte readers on the byte sequences that matter, written by the
// test as the device would send them.
#include "linkfixture.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace pelix;
using namespace pelix::test;

TEST(Send, AddsCrOnlyOnPelixAAndFlushesLeftovers)
{
    {
        RawLine line(kModelI);
        ModemSend(line.ctx, "?");
        EXPECT_EQ(line.Taken(), "?");
        ModemSend(line.ctx, "");
        EXPECT_EQ(line.Taken(), "\r");
        ModemSendSmsText(line.ctx, "text");
        EXPECT_EQ(line.Taken(), "text\x1A");
    }
    RawLine line(kModelA);
    line.Feed("stale reply\r\n");
    line.state.flags.progress = true;
    ModemSend(line.ctx, "ATH");
    EXPECT_EQ(line.Taken(), "ATH\r");
    EXPECT_EQ(PortInQueue(line.port), 0);
    EXPECT_EQ(line.fb.progressSteps, 1);
}

TEST(ReadLine, SkipsEmptyLinesAndStopsAtItsLimit)
{
    RawLine line;
    std::string got = "previous";
    line.Feed("\r\r\nOK\r\n");
    EXPECT_TRUE(ModemReadLine(line.ctx, got));
    EXPECT_EQ(got, "OK");

    // 70 characters and no CR: the line ends after 65, the rest waits.
    line.Feed(std::string(70, 'x'));
    EXPECT_TRUE(ModemReadLine(line.ctx, got));
    EXPECT_EQ(got, std::string(65, 'x'));
    EXPECT_EQ(PortInQueue(line.port), 5);
    PortFlush(line.port);

    // A time-out leaves the caller's line as it was, even after part of a line.
    got = "kept";
    line.Feed("part");
    EXPECT_FALSE(ModemReadLine(line.ctx, got));
    EXPECT_EQ(got, "kept");
    EXPECT_FALSE(ModemReadLine(line.ctx, got));
    EXPECT_EQ(got, "kept");
}

TEST(ReadLine, LongAndRawLines)
{
    RawLine line;
    std::string got = "old";
    line.Feed(std::string(170, 'y'));
    EXPECT_TRUE(ModemReadLongLine(line.ctx, got));
    EXPECT_EQ(got, std::string(161, 'y'));
    // The long reader keeps what arrived before a time-out.
    EXPECT_FALSE(ModemReadLongLine(line.ctx, got));
    EXPECT_EQ(got, std::string(9, 'y'));

    // The raw reader keeps the LF left over from the line before.
    line.Feed("\r\n+CMGR: \"STO UNSENT\"\r\nAV1=310000000;\r\n");
    EXPECT_TRUE(ModemReadRawLine(line.ctx, got));
    EXPECT_EQ(got, "");
    EXPECT_TRUE(ModemReadRawLine(line.ctx, got));
    EXPECT_EQ(got, "\n+CMGR: \"STO UNSENT\"");
    EXPECT_TRUE(ModemReadRawLine(line.ctx, got));
    EXPECT_EQ(got, "\nAV1=310000000;");
    line.Feed(std::string(200, 'z'));
    EXPECT_TRUE(ModemReadRawLine(line.ctx, got));
    EXPECT_EQ(got.size(), 160u);
}

TEST(ReadUntilOk, EndsAtTheFinalOkLineOnly)
{
    RawLine line;
    // "Cook" holds the letters o, k followed by a quote: not the end of the reply.
    const std::string reply = "\r\n+CPBR: 1,\"0212\",129,\"Cook\"\r\n+CPBR: 2,\"0313\",129,\"Bob\"\r\n\r\nOK\r\n";
    line.Feed(reply);
    std::string got;
    EXPECT_TRUE(ModemReadUntilOk(line.ctx, got));
    EXPECT_EQ(got, reply.substr(0, reply.size() - 1));

    // Silence: false, with what came so far.
    PortFlush(line.port);
    line.Feed("\r\n+CPBR: 1");
    EXPECT_FALSE(ModemReadUntilOk(line.ctx, got));
    EXPECT_EQ(got, "\r\n+CPBR: 1");
}

TEST(ReadBytes, ChecksumOverAllButTheLastByte)
{
    struct Case {
        std::string bytes;
        int n;
        bool checksum;
        bool expected;
    } cases[] = {
        {"PRG\xE9", 3, true, true},
        {"PRG\xE8", 3, true, false},
        {std::string("\0", 1), 3, true, false},  // a cut reply that happens to add up
        {"AB", 3, true, false},
        {"\x01", 3, false, true},
        {"", 3, false, false},
        {"ERR", 3, false, true},
    };
    for (const auto& c : cases) {
        RawLine line;
        if (!c.bytes.empty()) line.Feed(c.bytes);
        ReplyBytes buf;
        buf.fill(0x55);
        int received = -1;
        EXPECT_EQ(ModemReadBytes(line.ctx, buf, c.n, c.checksum, &received), c.expected) << c.bytes;
        EXPECT_EQ(received, static_cast<int>(c.bytes.size()));
        EXPECT_EQ(buf[c.bytes.size()], 0) << "the buffer is zeroed past the reply";
    }
    ReplyBytes b{};
    b[0] = ' ';
    b[1] = 'P';
    b[2] = 0x07;
    b[3] = 'R';
    b[4] = 'G';
    EXPECT_EQ(BytesToText(b, 0, 5), "PRG");
}

TEST(SplitReplyLines, CrEndsALineLfAndNulAreDropped)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"\r\nheading\r\n504 18\r\n\r\nOK\r\n", {"heading", "504 18", "OK"}},
        {std::string("a\0b\rtail", 8), {"ab"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        SplitReplyLines(c.text, lines);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(Waits, LongWaitsStopWhenTheProgramClosesAndKeepTheWindowAlive)
{
    using clock = std::chrono::steady_clock;
    RawLine line;
    line.ctx.secondMs = 1000;  // the real limits: 21 seconds for a command
    line.state.flags.closing = true;
    auto start = clock::now();
    EXPECT_FALSE(ModemCommandOk(line.ctx, "AT\r"));
    std::string answer;
    EXPECT_FALSE(ModemCommandAnswer(line.ctx, "AT+CGMI\r", answer));
    LinkSleep(line.ctx, 20000);
    EXPECT_LT(clock::now() - start, std::chrono::seconds(5));

    line.state.flags.closing = false;
    line.fb.processEventsCalls = 0;
    start = clock::now();
    WaitT(line.ctx, 300);  // T is 1 ms here
    EXPECT_GE(clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_GE(line.fb.processEventsCalls, 3);
}
