// The PELIX-A modem monitor: what the display shows for an answer, and the
// worker against the simulated device (cycles, pause, stop).
#include "linkfixture.h"

#include "link/monitor.h"
#include "support/testsupport.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;

namespace {

LanguageTexts Texts()
{
    LanguageTexts t;
    t.SetLanguageFolder(SourceDataFolder() + "/LANGUAGE/");
    RecordingFeedback fb;
    t.LoadLanguage("English", false, fb);
    return t;
}

bool WaitFor(const std::function<bool()>& cond, int ms = 8000)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

TEST(MonitorDisplay, SignalAndOperatorAnswers)
{
    const LanguageTexts texts = Texts();
    struct Case { const char* signal; const char* op; int bitmap; const char* line3; };
    const Case cases[] = {
        {"+CSQ: 17,99", "+COPS: 0,0,\"I TIM\"", 6, "I TIM"},
        {"+CSQ: 5,99", "+COPS: 0,0,\"I TIM\"", 2, "I TIM"},
        {"+CSQ: 0,99", "+COPS: 0,0,\"X\"", 1, "X"},
        {"+CSQ: 31,99", "+COPS: 0,0,\"X\"", 10, "X"},
        {"+CSQ: 99,99", "+COPS: 0,0,\"X\"", 0, "X"},
        {"+CSQ: 17,99", "+COPS: 0", 0, nullptr},
    };
    for (const auto& c : cases) {
        const MonitorDisplay d = MonitorDisplayStep({0, c.signal, c.op}, texts, "old");
        EXPECT_EQ(d.bitmap, c.bitmap) << c.signal;
        EXPECT_EQ(d.devicePresent, 1);
        if (c.line3) {
            EXPECT_EQ(d.line3, c.line3);
            EXPECT_EQ(d.line2, "");
        } else {
            EXPECT_EQ(d.line2, texts.GetLangText(159));
            EXPECT_EQ(d.line3, texts.GetLangText(160));
        }
    }
    // +CSQ: 99,99 with an operator: the picture goes, the operator is shown.
    const MonitorDisplay unknown = MonitorDisplayStep({0, "+CSQ: 99,99", "+COPS: 0,0,\"I TIM\""}, texts, "");
    EXPECT_EQ(unknown.line3, "I TIM");

    const MonitorDisplay quiet = MonitorDisplayStep({1, "", ""}, texts, "");
    EXPECT_EQ(quiet.line2, texts.GetLangText(52));
    EXPECT_EQ(quiet.line3, texts.GetLangText(55));
    EXPECT_EQ(quiet.devicePresent, 0);
    const MonitorDisplay mute = MonitorDisplayStep({2, "", ""}, texts, "");
    EXPECT_EQ(mute.line2, texts.GetLangText(50));
    EXPECT_EQ(mute.bitmap, 0);
}

TEST(ModemMonitorWorker, PollsPausesAndStops)
{
    SimLink link(Device(sim::Model::A));
    link.state.cliente.TipoCentrale = kModelA;
    ModemMonitor monitor(link.port, link.info, link.state);
    monitor.charTimeout = kTestCharTimeout;
    monitor.secondMs = kTestSecondMs;
    std::atomic<int> cycles{0};
    monitor.onCycle = [&cycles] { ++cycles; };

    monitor.Start();
    ASSERT_TRUE(WaitFor([&] { return cycles >= 2; }));
    MonitorResult r = monitor.Last();
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.signal.find("CSQ"), std::string::npos);
    EXPECT_NE(r.op.find("COPS"), std::string::npos);
    EXPECT_FALSE(link.info.s[0].empty());
    EXPECT_FALSE(link.state.flags.identifyModem);

    // A command takes the port: the worker lets go of it.
    ASSERT_TRUE(monitor.Pause(nullptr));
    EXPECT_FALSE(link.port.isOpen());
    const int paused = cycles;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(cycles, paused);
    monitor.Resume();
    ASSERT_TRUE(WaitFor([&] { return cycles > paused; }));

    EXPECT_TRUE(monitor.Stop(nullptr));
    EXPECT_TRUE(monitor.Ended());
    EXPECT_FALSE(link.port.isOpen());
}

TEST(ModemMonitorWorker, ASilentModuleIsReportedAndReidentified)
{
    sim::Faults silent;
    silent.silent = true;
    SimLink link(Device(sim::Model::A), silent);
    link.state.cliente.TipoCentrale = kModelA;
    link.state.flags.identifyModem = false;
    ModemMonitor monitor(link.port, link.info, link.state);
    monitor.charTimeout = 0.05;
    monitor.secondMs = 20;
    std::atomic<int> cycles{0};
    monitor.onCycle = [&cycles] { ++cycles; };
    monitor.Start();
    ASSERT_TRUE(WaitFor([&] { return cycles >= 1; }));
    EXPECT_EQ(monitor.Last().status, 2);
    EXPECT_TRUE(link.state.flags.identifyModem);
    EXPECT_TRUE(monitor.Stop(nullptr));
}

TEST(ModemMonitorWorker, NoPortEndsTheWorkerAfterTellingTheUser)
{
    RecordingFeedback fb;
    ProgramState st(fb);
    st.cliente.TipoCentrale = kModelA;
    stRecPort port;
    port.device = "/nonexistent/tty";
    stRecModemInfo info;
    ModemMonitor monitor(port, info, st);
    monitor.secondMs = 20;
    std::atomic<int> messages{0};
    monitor.onMessage = [&messages](const std::string&) { ++messages; };
    monitor.Start();
    ASSERT_TRUE(WaitFor([&] { return monitor.Ended(); }));
    EXPECT_EQ(messages, 1);
    EXPECT_FALSE(st.flags.monitorRun);
}
