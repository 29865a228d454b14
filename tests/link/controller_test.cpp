// The controller's one-byte commands and the PELIX-A release check against the
// simulated device.
#include "linkfixture.h"

#include "link/controller.h"

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;
using sim::Model;
using sim::Module;

TEST(Controller, ConnectsForReadingAndWritingAndGivesTheLineBack)
{
    for (bool forWriting : {false, true}) {
        SimLink link(Device(Model::I));
        ASSERT_TRUE(PortOpen(link.port));
        EXPECT_TRUE(CtrlConnect(link.ctx, forWriting));
        EXPECT_TRUE(link.ThroughConnected());
        EXPECT_EQ(link.Journal(), (std::vector<std::string>{"<3F>", forWriting ? "<CC>" : "<C3>"}));
        EXPECT_TRUE(CtrlRelease(link.ctx));
        EXPECT_FALSE(link.ThroughConnected());
    }
}

TEST(Controller, ConnectRefusesABadChecksumAndSilence)
{
    for (int fault = 0; fault < 2; ++fault) {
        sim::Faults f;
        (fault == 0 ? f.badChecksum : f.silent) = true;
        SimLink link(Device(Model::G), f);
        ASSERT_TRUE(PortOpen(link.port));
        EXPECT_FALSE(CtrlConnect(link.ctx, false));
        // Nothing is sent after a failed "?".
        EXPECT_EQ(link.Journal(), std::vector<std::string>{"<3F>"});
    }
}

TEST(Controller, CountersAreReadUntilTwoRoundsAgree)
{
    sim::DeviceState st = Device(Model::I);
    st.counter1 = 0x12345;
    st.counter2 = 90;
    st.counterSettleReads = 2;  // the first two rounds see the counters still moving
    SimLink link(st);
    ASSERT_TRUE(PortOpen(link.port));
    std::uint32_t a = 1, b = 1;
    EXPECT_TRUE(CtrlReadCounters(link.ctx, a, b));
    EXPECT_EQ(a, 0x12345u);
    EXPECT_EQ(b, 90u);
    EXPECT_EQ(link.Count("<3B>"), 4);
    EXPECT_EQ(link.Count("<3C>"), 4);
}

TEST(Controller, CounterErrIsZeroAndSilenceEndsTheRounds)
{
    sim::DeviceState st = Device(Model::I);
    st.counter1 = -1;  // the controller answers "ERR"
    st.counter2 = 7;
    {
        SimLink link(st);
        ASSERT_TRUE(PortOpen(link.port));
        std::uint32_t a = 1, b = 1;
        EXPECT_TRUE(CtrlReadCounters(link.ctx, a, b));
        EXPECT_EQ(a, 0u);
        EXPECT_EQ(b, 7u);
    }
    sim::Faults silent;
    silent.silent = true;
    SimLink link(st, silent);
    ASSERT_TRUE(PortOpen(link.port));
    std::uint32_t a = 1, b = 1;
    EXPECT_TRUE(CtrlReadCounters(link.ctx, a, b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 0u);
    EXPECT_EQ(link.Count("<3B>"), 1);
}

TEST(Controller, ReleaseOfPelixIAndPelixG)
{
    struct Case {
        Model model;
        std::string release, release2;
        bool warn;
        int result;
        std::string text;
        bool warned;
    } cases[] = {
        {Model::I, "105", "", true, 0, "1.05", false},
        {Model::I, "110", "", false, 1, "1.10", false},
        {Model::I, "110", "", true, 1, "1.10", true},
        {Model::I, "1x5", "", false, 1, "1.x5", true},  // unreadable: always told
        {Model::G, "205", "300", true, 0, "3.00.01.205", false},
        {Model::G, "215", "300", true, 1, "3.00.01.215", true},
        {Model::G, "105", "3?0", false, 1, "3.?0.01.105", true},
    };
    for (const auto& c : cases) {
        sim::DeviceState st = Device(c.model);
        st.release = c.release;
        if (!c.release2.empty()) st.release2 = c.release2;
        SimLink link(st);
        std::string text;
        int result;
        if (c.model == Model::I) {
            result = CtrlReadReleaseI(link.ctx, text, c.warn);
        } else {
            ASSERT_TRUE(PortOpen(link.port));
            result = CtrlReadReleaseG(link.ctx, text, c.warn);
        }
        EXPECT_EQ(result, c.result) << c.release;
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(link.fb.Said(link.state.Text(146)), c.warned) << c.release;
    }
    // A release that cannot be read is not accepted.
    sim::Faults bad;
    bad.badChecksum = true;
    SimLink link(Device(Model::I), bad);
    std::string text;
    EXPECT_EQ(CtrlReadReleaseI(link.ctx, text, false), 1);
}

TEST(ReleaseCheck, ComparesFamiliesAndAdoptsTheDeviceRelease)
{
    struct Case {
        std::string configured;
        std::string slot1;  // empty: no release line at all
        int result;
        std::string after;
    } cases[] = {
        {"1.00", "PELIX-A REV.1.05", 0, "1.05"},
        {"1.00", "PELIX-A REV.1.12", 1, "1.12"},
        {"1.1", "PELIX-A REV. 1.15 build 3", 0, "1.15"},
        {"2.00", "PELIX-A REV.1.05", 1, "2.00"},
        {"1.00", "OTHER-DEVICE REV.1.05", 3, "1.00"},
        {"1.00", "PELIX-A REV.unknown", 1, "1.00"},  // unreadable: nothing adopted
    };
    for (const auto& c : cases) {
        sim::DeviceState st = Device(Model::A);
        st.stores["SM"].messages[1].text = c.slot1;
        SimLink link(st);
        CountedString<16> release(c.configured);
        EXPECT_EQ(CheckDeviceRelease(link.ctx, release), c.result) << c.slot1;
        EXPECT_EQ(release.str(), c.after) << c.slot1;
        EXPECT_EQ(link.Journal(), (std::vector<std::string>{"AT+CMGF=1", "at+cmgr=1"}));
    }
}

TEST(ReleaseCheck, SilentDeviceGivesTwoAndTheLinkCountsAsQuiet)
{
    sim::Faults silent;
    silent.silent = true;
    SimLink link(Device(Model::A), silent);
    CountedString<16> release = "1.00";
    EXPECT_EQ(CheckDeviceRelease(link.ctx, release), 2);
    EXPECT_EQ(release.str(), "1.00");
    link.state.flags.monitorRun = true;
    EXPECT_TRUE(LinkIsQuiet(link.ctx));
}

TEST(ReleaseCheck, LeadingNumberOfAReleaseText)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"1.05", true, 1.05}, {" 1.15 build 3", true, 1.15}, {"2", true, 2.0},
                 {"1,10", true, 1.10}, {"x1.0", false, 0}, {"", false, 0}};
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(LeadingReleaseNumber(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}
