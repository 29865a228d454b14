// What every exchange with a device needs: the port, the modem identification,
// the program state (model, configured release, flags, texts, T) and the
// Feedback through which the user is told things and the window kept alive.
#pragma once

#include "common/feedback.h"
#include "link/comm.h"
#include "model/state.h"

#include <array>
#include <chrono>
#include <string>

namespace pelix {

// Seven strings of the GSM module. ModemIdentify fills the first six in this
// order; the PELIX-G write fills the seventh, the SIM identity.
struct stRecModemInfo {
    std::array<std::string, 7> s;
    std::string& manufacturer() { return s[0]; }
    std::string& model() { return s[1]; }
    std::string& revision() { return s[2]; }
    std::string& serial() { return s[3]; }
    std::string& simData() { return s[4]; }
    std::string& operatorName() { return s[5]; }
    std::string& simIdentity() { return s[6]; }
};

// What a sequence itself dictates: the waits it asks for and the character
// time-outs it sits out, summed when a benchmark wants to compare them with the
// time the sequence took.
struct LinkTiming {
    long long waitedMs = 0;
    long long timeoutMs = 0;
};

// Every single character is awaited at most this long.
constexpr double kCharTimeout = 2.0;

struct LinkContext {
    LinkContext(stRecPort& p, stRecModemInfo& info, ProgramState& st, Feedback& fb)
        : port(p), modemInfo(info), state(st), feedback(fb)
    {
    }

    stRecPort& port;
    stRecModemInfo& modemInfo;
    ProgramState& state;
    // The GUI's feedback on the window thread; a worker thread passes its own.
    Feedback& feedback;

    // Per-character time-out in seconds.
    double charTimeout = kCharTimeout;
    // Length of one second in the overall limits of the exchanges and in the
    // fixed waits (200 ms, 10 s) that the device needs regardless of T. Tests
    // against the simulator shorten it so that a silent device costs little.
    int secondMs = 1000;
    // Set by a benchmark; nullptr otherwise.
    LinkTiming* timing = nullptr;

    // T: the TimeOut setting, in milliseconds.
    int T() const { return state.settings.TimeOut; }
    int Model() const { return state.Model(); }
    std::string Text(int n) const { return state.Text(n); }
    bool Closing() const { return state.flags.closing.load(); }
};

// Sleeps `ms` milliseconds in slices, letting the window repaint between them;
// returns early when the program is closing.
void LinkSleep(LinkContext& ctx, long ms);
// Sleeps T x k.
inline void WaitT(LinkContext& ctx, int k) { LinkSleep(ctx, static_cast<long>(ctx.T()) * k); }
// A fixed wait of `ms` milliseconds on the device's clock (scaled with secondMs).
void WaitFixed(LinkContext& ctx, long ms);

// Measures "whole seconds since the start" for the overall limits.
class LinkStopwatch {
public:
    explicit LinkStopwatch(const LinkContext& ctx) : secondMs_(ctx.secondMs > 0 ? ctx.secondMs : 1) {}
    long WholeSeconds() const
    {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
        return static_cast<long>(ms.count() / secondMs_);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    int secondMs_;
};

}  // namespace pelix
