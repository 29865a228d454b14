// The longest time the window would go without repainting during a full
// PELIX-G write against the simulated device at T = 100 ms: the gap between two
// calls through which the exchange lets the window process its events. The
// window repaints within that gap, so it should stay under 100 ms.
//
//   bench_stall [T in ms, default 100]
#include "link/devicecommands.h"
#include "model/imageinit.h"
#include "sim/device.h"
#include "sim/ptyserver.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace pelix;
using Clock = std::chrono::steady_clock;

namespace {

// Answers every question Yes and notes the longest pause between two chances
// the window gets to repaint (event processing or a progress step).
class StallFeedback : public RecordingFeedback {
public:
    void ProcessEvents() override { Tick(); }
    void ProgressStep() override { Tick(); }
    double LongestMs() const { return longest_; }

private:
    void Tick()
    {
        const auto now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    Clock::time_point last_ = Clock::now();
    double longest_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int t = argc > 1 ? std::atoi(argv[1]) : 100;
    sim::Device device(sim::DefaultState(sim::Model::G, sim::Module::Motorola), {});
    sim::PtyServer server(device);
    std::string error;
    if (!server.Open(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    server.Start();

    StallFeedback fb;
    fb.defaultAnswer = MsgAnswer::Yes;
    ProgramState st(fb);
    st.settings.TimeOut = t;
    st.cliente.TipoCentrale = kModelG;
    st.cliente.Rel_firmware = "3.10";
    InitImage(st, st.image, false);
    st.image.NumTel[0].Numero = "0212345678";
    st.image.Ingresso[0].SMSAttiv = "Alarm on input 1";

    stRecPort port;
    port.device = server.SlavePath();
    stRecModemInfo info;
    LinkContext ctx(port, info, st, fb);
    const auto start = Clock::now();
    const bool ok = WriteDeviceCommand(ctx, nullptr);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("PELIX-G write at T=%d ms: %s in %.1f s; longest time without a chance to repaint: %.1f ms\n", t,
                ok ? "completed" : "FAILED", seconds, fb.LongestMs());
    return ok ? 0 : 1;
}
