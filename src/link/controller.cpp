#include "link/controller.h"

#include "common/release.h"

#include <cstdio>

namespace pelix {

namespace {

constexpr int kCounterRoundsMax = 10;

std::string Digits(const ReplyBytes& b, int first, int count)
{
    std::string s;
    for (int i = first; i < first + count; ++i) s += static_cast<char>(b[static_cast<std::size_t>(i)]);
    return s;
}

void Warn146(LinkContext& ctx) { ShowMsg(ctx.feedback, ctx.Text(146), MsgType::Warning, MsgButtons::Ok); }

// One counter: four little-endian bytes, or "ERR" for none. False when not a
// single byte came.
bool ReadCounter(LinkContext& ctx, char command, std::uint32_t& value)
{
    ModemSend(ctx, std::string(1, command));
    WaitT(ctx, 3);
    ReplyBytes b;
    if (!ModemReadBytes(ctx, b, 3, false)) return false;
    if (BytesToText(b, 0, 3) == "ERR") {
        value = 0;
    } else {
        value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }
    return true;
}

bool InFamily(double v, double low, double high) { return v >= low && v <= high; }

std::string TwoDecimals(double v)
{
    const long hundredths = static_cast<long>(v * 100.0 + 0.5);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4s", (std::to_string(hundredths / 100) + "." +
                                           (hundredths % 100 < 10 ? "0" : "") + std::to_string(hundredths % 100))
                                              .c_str());
    return buf;
}

}  // namespace

bool CtrlConnect(LinkContext& ctx, bool forWriting)
{
    ModemSend(ctx, std::string(1, kCtrlReady));
    ReplyBytes b;
    if (!ModemReadBytes(ctx, b, 3, true) || BytesToText(b, 0, 3) != "PRG") return false;
    ModemSend(ctx, std::string(1, forWriting ? kCtrlConnectWrite : kCtrlConnectRead));
    WaitFixed(ctx, 200);
    return PortReadChar(ctx.port, ctx.charTimeout, &ctx.feedback) == std::string(1, kCtrlConnected);
}

bool CtrlRelease(LinkContext& ctx)
{
    ModemSend(ctx, std::string(1, kCtrlReleaseLine));
    WaitFixed(ctx, 200);
    return PortReadChar(ctx.port, ctx.charTimeout, &ctx.feedback) == std::string(1, kCtrlReleaseLine);
}

bool CtrlReadCounters(LinkContext& ctx, std::uint32_t& first, std::uint32_t& second)
{
    first = 0;
    second = 0;
    // The counters tick while they are read; two rounds that agree give a
    // consistent pair. A device whose counters never settle is not asked forever.
    bool havePrevious = false;
    std::uint32_t prevA = 0, prevB = 0;
    for (int round = 0; round < kCounterRoundsMax && !ctx.Closing(); ++round) {
        std::uint32_t a = 0, b = 0;
        if (!ReadCounter(ctx, kCtrlCounter1, a) || !ReadCounter(ctx, kCtrlCounter2, b)) break;
        first = a;
        second = b;
        if (havePrevious && a == prevA && b == prevB) break;
        prevA = a;
        prevB = b;
        havePrevious = true;
    }
    return true;
}

int CtrlReadReleaseI(LinkContext& ctx, std::string& release, bool warn)
{
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) return 1;
    ModemSend(ctx, std::string(1, kCtrlRelease));
    ReplyBytes b;
    // An unreadable release is not an acceptable one.
    if (!ModemReadBytes(ctx, b, 3, true)) {
        if (warn) Warn146(ctx);
        return 1;
    }
    release = Digits(b, 0, 1) + "." + Digits(b, 1, 2);
    const auto v = ReleaseNumber(release);
    if (!v) {
        Warn146(ctx);
        return 1;
    }
    if (InFamily(*v, 0.0, kRelease109)) return 0;
    if (warn) Warn146(ctx);
    return 1;
}

int CtrlReadReleaseG(LinkContext& ctx, std::string& release, bool warn)
{
    ModemSend(ctx, std::string(1, kCtrlRelease));
    ReplyBytes b;
    if (!ModemReadBytes(ctx, b, 3, true)) {
        if (warn) Warn146(ctx);
        return 1;
    }
    const auto firstRelease = ReleaseNumber(Digits(b, 0, 1) + "." + Digits(b, 1, 2));
    release = "01." + Digits(b, 0, 3);
    ModemSend(ctx, std::string(1, kCtrlRelease2));
    if (!ModemReadBytes(ctx, b, 3, true)) {
        Warn146(ctx);
        return 1;
    }
    const std::string second = Digits(b, 0, 1) + "." + Digits(b, 1, 2);
    release = second + "." + release;
    if (!ReleaseNumber(second) || !firstRelease) {
        Warn146(ctx);
        return 1;
    }
    if (InFamily(*firstRelease, 0.0, kRelease21)) return 0;
    if (warn) Warn146(ctx);
    return 1;
}

bool LeadingReleaseNumber(const std::string& text, double& value)
{
    const std::string t = TrimSpaces(text);
    std::size_t end = 0;
    while (end < t.size() && t[end] >= '0' && t[end] <= '9') ++end;
    if (end == 0) return false;
    if (end < t.size() && (t[end] == '.' || t[end] == ',')) {
        std::size_t frac = end + 1;
        while (frac < t.size() && t[frac] >= '0' && t[frac] <= '9') ++frac;
        if (frac > end + 1) end = frac;
    }
    const auto v = ReleaseNumber(t.substr(0, end));
    if (!v) return false;
    value = *v;
    return true;
}

int CheckDeviceRelease(LinkContext& ctx, CountedString<16>& configuredRelease)
{
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) return 2;
    ModemSend(ctx, "AT+CMGF=1");
    WaitT(ctx, 5);
    ModemSend(ctx, "at+cmgr=1");
    WaitT(ctx, 1);

    const LinkStopwatch watch(ctx);
    std::string line;
    bool anyLine = false;
    while (watch.WholeSeconds() <= 3 && !ctx.Closing()) {
        if (!ModemReadLine(ctx, line)) continue;
        anyLine = true;
        if (ContainsNoCase(line, "rev")) break;
    }
    if (!anyLine) return 2;
    if (line.rfind("PELIX", 0) != 0) return 3;

    const std::size_t dot = line.find('.');
    double device = 0;
    // A release line whose number cannot be read says nothing about the family;
    // it must not overwrite the configured release.
    if (dot == std::string::npos || !LeadingReleaseNumber(line.substr(dot + 1), device)) return 1;
    double configured = 0;
    if (!LeadingReleaseNumber(configuredRelease.str(), configured)) return 1;

    for (const auto& [low, high] : {std::pair{kRelease10, kRelease109}, std::pair{kRelease11, kRelease119}}) {
        if (InFamily(configured, low, high)) {
            configuredRelease = TwoDecimals(device);
            return InFamily(device, low, high) ? 0 : 1;
        }
    }
    return 1;
}

}  // namespace pelix
