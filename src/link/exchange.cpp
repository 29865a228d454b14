#include "link/exchange.h"

#include <algorithm>
#include <thread>

namespace pelix {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kCtrlZ = '\x1A';

// While a command with a progress display runs, every send and every completed
// read moves the gauge one step and lets the window repaint.
void Progress(LinkContext& ctx)
{
    if (ctx.state.flags.progress.load()) {
        ctx.feedback.ProgressStep();
        ctx.feedback.ProcessEvents();
    }
}

std::string ReadChar(LinkContext& ctx)
{
    std::string c = PortReadChar(ctx.port, ctx.charTimeout, &ctx.feedback);
    if (c.empty() && ctx.timing) ctx.timing->timeoutMs += static_cast<long long>(ctx.charTimeout * 1000.0);
    return c;
}

void SendBytes(LinkContext& ctx, const std::string& bytes)
{
    PortFlush(ctx.port);
    // A single write of at most 64 KiB; longer texts go out in pieces.
    for (std::size_t at = 0; at < bytes.size(); at += 0xFFFF) {
        const std::size_t n = std::min<std::size_t>(0xFFFF, bytes.size() - at);
        PortWrite(ctx.port, bytes.data() + at, static_cast<std::uint16_t>(n));
    }
    Progress(ctx);
}

// Shared by the two line readers: `keepPartial` is the long reader's rule that a
// time-out leaves what had arrived.
bool ReadLineUpTo(LinkContext& ctx, std::string& line, std::size_t max, bool keepPartial)
{
    std::string acc;
    if (keepPartial) line.clear();
    for (;;) {
        const std::string c = ReadChar(ctx);
        if (c.empty()) {
            if (keepPartial) line = acc;
            return false;
        }
        if (c[0] == kCR) {
            if (acc.empty()) continue;
            break;
        }
        if (c[0] == kLF) continue;
        acc += c[0];
        if (acc.size() > max) break;
    }
    line = std::move(acc);
    Progress(ctx);
    return true;
}

std::string WithoutLineEnds(const std::string& command)
{
    std::string s;
    for (char c : command)
        if (c != kCR && c != kLF) s += c;
    return s;
}

// "OK" as a final result: alone on its line and followed by its CR. A reply that
// merely contains the letters ("Cook" in a phone-book name) goes on.
bool EndsWithFinalOk(const std::string& t)
{
    const std::size_t n = t.size();
    if (n < 3 || t[n - 1] != kCR) return false;
    if (LowerCase(t.substr(n - 3, 2)) != "ok") return false;
    return n == 3 || t[n - 4] == kLF || t[n - 4] == kCR;
}

}  // namespace

std::string LowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool ContainsNoCase(const std::string& text, const std::string& word)
{
    return LowerCase(text).find(LowerCase(word)) != std::string::npos;
}

void LinkSleep(LinkContext& ctx, long ms)
{
    if (ctx.timing) ctx.timing->waitedMs += ms;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        ctx.feedback.ProcessEvents();
        if (ctx.Closing()) return;
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(50)));
    }
}

void WaitFixed(LinkContext& ctx, long ms) { LinkSleep(ctx, ms * ctx.secondMs / 1000); }

void ModemSend(LinkContext& ctx, const std::string& text)
{
    std::string bytes = text;
    if (ctx.Model() == kModelA || text.empty()) bytes += kCR;
    SendBytes(ctx, bytes);
}

void ModemSendSmsText(LinkContext& ctx, const std::string& text) { SendBytes(ctx, text + kCtrlZ); }

bool ModemReadLine(LinkContext& ctx, std::string& line) { return ReadLineUpTo(ctx, line, kShortLineMax, false); }

bool ModemReadLongLine(LinkContext& ctx, std::string& line) { return ReadLineUpTo(ctx, line, kLongLineMax, true); }

bool ModemReadRawLine(LinkContext& ctx, std::string& line)
{
    line.clear();
    for (;;) {
        const std::string c = ReadChar(ctx);
        if (c.empty()) return false;
        line += c[0];
        if (c[0] == kCR || line.size() >= kRawLineMax) {
            line.pop_back();
            Progress(ctx);
            return true;
        }
    }
}

bool ModemReadUntilOk(LinkContext& ctx, std::string& text)
{
    text.clear();
    const LinkStopwatch watch(ctx);
    while (watch.WholeSeconds() <= 5 && !ctx.Closing()) {
        const std::string c = ReadChar(ctx);
        if (c.empty()) return false;
        text += c[0];
        if (text.size() > kUntilOkMax || EndsWithFinalOk(text)) break;
    }
    if (!text.empty()) Progress(ctx);
    return true;
}

bool ModemReadBytes(LinkContext& ctx, ReplyBytes& buffer, int n, bool checksum, int* received)
{
    buffer.fill(0);
    n = std::clamp(n, 0, 100);
    int count = 0;
    while (count < n + 1) {
        const std::string c = ReadChar(ctx);
        if (c.empty()) break;
        buffer[static_cast<std::size_t>(count++)] = static_cast<std::uint8_t>(c[0]);
    }
    if (received) *received = count;
    if (count == 0) return false;
    if (checksum) {
        // A reply cut short is not a reply, even when its remains happen to add up.
        if (count != n + 1) return false;
        unsigned sum = 0;
        for (int i = 0; i < count - 1; ++i) sum += buffer[static_cast<std::size_t>(i)];
        if ((sum & 0xFFu) != buffer[static_cast<std::size_t>(count - 1)]) return false;
    }
    Progress(ctx);
    return true;
}

std::string BytesToText(const ReplyBytes& buffer, int first, int count)
{
    std::string s;
    for (int i = first; i < first + count && i >= 0 && i < static_cast<int>(buffer.size()); ++i)
        if (buffer[static_cast<std::size_t>(i)] >= 32) s += static_cast<char>(buffer[static_cast<std::size_t>(i)]);
    return TrimSpaces(s);
}

bool ModemCommandOk(LinkContext& ctx, const std::string& command)
{
    ModemSend(ctx, command);
    const std::string echo = WithoutLineEnds(command);
    const LinkStopwatch watch(ctx);
    std::string line, last;
    while (watch.WholeSeconds() <= 20 && !ctx.Closing()) {
        if (!ModemReadLine(ctx, line)) continue;
        // An echoed command is not its reply, even when it spells "ok" somewhere.
        if (line == echo) continue;
        last = line;
        const std::string l = LowerCase(line);
        if (l.find("ok") != std::string::npos || l.find("error") != std::string::npos) break;
    }
    return LowerCase(last).find("ok") != std::string::npos;
}

bool ModemCommandAnswer(LinkContext& ctx, const std::string& command, std::string& answer)
{
    ModemSend(ctx, command);
    const std::string echo = WithoutLineEnds(command);
    const LinkStopwatch watch(ctx);
    std::string line;
    answer.clear();
    while (watch.WholeSeconds() <= 20 && !ctx.Closing()) {
        if (ModemReadLine(ctx, line) && line.size() > 4 && line != echo) {
            answer = line;
            return LowerCase(line).find("error") == std::string::npos;
        }
    }
    return false;
}

void LinkWake(LinkContext& ctx)
{
    ModemSend(ctx, "");
    ModemSend(ctx, "");
    std::string dropped;
    ModemReadLine(ctx, dropped);
}

bool LinkIsQuiet(LinkContext& ctx)
{
    LinkWake(ctx);
    const LinkStopwatch watch(ctx);
    do {
        std::string line;
        if (ModemReadLine(ctx, line) && !line.empty()) return false;
    } while (watch.WholeSeconds() <= 2 && !ctx.Closing() && ctx.state.flags.monitorRun.load());
    return true;
}

void PbListFirstTen(LinkContext& ctx, std::string& text)
{
    ModemSend(ctx, ctx.Model() == kModelA ? "AT+CPBR=1,10" : "AT+CPBR=1,10\r");
    WaitT(ctx, 2);
    const LinkStopwatch watch(ctx);
    do {
        ModemReadUntilOk(ctx, text);
    } while (text.empty() && watch.WholeSeconds() < 4 && !ctx.Closing());
}

void SplitReplyLines(const std::string& text, std::vector<std::string>& lines)
{
    std::string current;
    for (char c : text) {
        if (c == kCR) {
            if (!current.empty()) lines.push_back(current);
            current.clear();
        } else if (c != kLF && c != '\0') {
            current += c;
        }
    }
}

}  // namespace pelix
