#include "monitor.h"

#include "common/text.h"
#include "link/exchange.h"

#include <chrono>

namespace pelix {

namespace {

// What the worker has to say goes to the window thread; it never touches a widget.
class WorkerFeedback : public Feedback {
public:
    explicit WorkerFeedback(std::function<void(const std::string&)> post) : post_(std::move(post)) {}
    MsgAnswer Message(const std::string& text, MsgType, MsgButtons) override
    {
        if (post_) post_(text);
        return MsgAnswer::Ok;
    }

private:
    std::function<void(const std::string&)> post_;
};

void SleepMs(long ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

ModemMonitor::ModemMonitor(stRecPort& port, stRecModemInfo& info, ProgramState& st) : port_(port), info_(info), st_(st)
{
}

ModemMonitor::~ModemMonitor()
{
    st_.flags.monitorRun = false;
    if (worker_.joinable()) worker_.join();
}

MonitorResult ModemMonitor::Last() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
}

void ModemMonitor::Start()
{
    if (worker_.joinable()) {
        if (!ended_) return;  // already running
        worker_.join();
    }
    st_.flags.monitorPaused = false;
    st_.flags.monitorRun = true;
    ended_ = false;
    everStarted_ = true;
    worker_ = std::thread([this] { Run(); });
}

bool ModemMonitor::Stop(const std::function<void()>& processEvents, int seconds)
{
    st_.flags.monitorRun = false;
    if (!everStarted_) return true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(long(seconds) * secondMs);
    while (!ended_ && std::chrono::steady_clock::now() < until) {
        if (processEvents) processEvents();
        SleepMs(20);
    }
    if (ended_ && worker_.joinable()) worker_.join();
    return ended_;
}

bool ModemMonitor::Pause(const std::function<void()>& processEvents, int seconds)
{
    if (!everStarted_) return true;
    st_.flags.monitorPauseRequest = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(long(seconds) * secondMs);
    while (!st_.flags.monitorPaused && !ended_ && std::chrono::steady_clock::now() < until) {
        if (processEvents) processEvents();
        SleepMs(20);
    }
    return st_.flags.monitorPaused || ended_;
}

void ModemMonitor::Resume()
{
    if (everStarted_) st_.flags.monitorPauseRequest = false;
}

bool ModemMonitor::Stopping() const
{
    return st_.flags.closing || !st_.flags.monitorRun || st_.flags.monitorPauseRequest;
}

void ModemMonitor::Run()
{
    WorkerFeedback fb(onMessage);
    LinkContext ctx(port_, info_, st_, fb);
    ctx.charTimeout = charTimeout;
    ctx.secondMs = secondMs;
    std::string buffer;
    for (;;) {
        const bool run = st_.flags.monitorRun;
        if (!run) SleepMs(secondMs + 1);
        if (st_.flags.monitorPauseRequest) {
            if (st_.flags.closing || !st_.flags.monitorRun) break;
            st_.flags.monitorPaused = true;
            SleepMs(50);
            continue;
        }
        st_.flags.monitorPaused = false;
        if (!run || st_.flags.closing || !st_.flags.monitorRun) break;
        const CycleEnd end = Cycle(ctx, buffer);
        if (end == CycleEnd::Stop) break;
        if (end == CycleEnd::Report && onCycle) onCycle();
    }
    if (st_.flags.monitorRun) SleepMs(secondMs);
    if (port_.isOpen()) PortClose(port_);
    ended_ = true;
}

// One poll of the module.
ModemMonitor::CycleEnd ModemMonitor::Cycle(LinkContext& ctx, std::string& buffer)
{
    if (!PortEnsureOpen(port_, ctx.feedback, st_.Text(119))) {
        st_.flags.monitorRun = false;
        return CycleEnd::Report;  // the window hears once more; the next turn ends the worker
    }
    // Reads lines until `done` or `limit` whole seconds; false when the worker must leave.
    auto readUntil = [&](const std::function<bool(const std::string&)>& done, long limit) {
        LinkStopwatch watch(ctx);
        for (;;) {
            ModemReadLine(ctx, buffer);
            if (Stopping()) return false;
            if (done(buffer) || watch.WholeSeconds() > limit) return true;
        }
    };
    auto ask = [&](const char* command, std::size_t longer) {
        ModemSend(ctx, command);
        WaitT(ctx, 2);
        if (Stopping()) return false;
        return readUntil([longer](const std::string& l) { return l.size() > longer; }, 5);
    };

    MonitorResult result;
    bool go = true;
    if (!LinkIsQuiet(ctx)) {
        result.status = 1;
    } else {
        if (st_.flags.identifyModem) {
            std::array<std::string, 5> found;
            const std::pair<const char*, std::size_t> queries[] = {
                {"at+gmm", 3}, {"at+gmi", 4}, {"at+gmr", 3}, {"at+gsn", 5}, {"at^scid", 6}};
            for (std::size_t i = 0; i < 5 && go; ++i) {
                go = ask(queries[i].first, queries[i].second);
                if (!go) break;
                found[i] = i == 4 ? TrimSpaces(buffer.size() > 6 ? buffer.substr(6) : std::string()) : buffer;
                if (i == 0 && found[0].empty()) break;
            }
            if (go) {
                std::lock_guard<std::mutex> lock(mutex_);
                for (std::size_t i = 0; i < 5; ++i) info_.s[i] = found[i];
                if (!found[0].empty() && !found[4].empty()) st_.flags.identifyModem = false;
            }
        }
        if (go) {
            ModemSend(ctx, "at+csq");
            WaitT(ctx, 3);
            go = !Stopping() && readUntil([](const std::string& l) { return ContainsNoCase(l, "csq"); }, 5);
            result.signal = buffer;
        }
        if (go) {
            WaitT(ctx, 1);
            buffer.clear();
            ModemSend(ctx, "at+cops?");
            WaitT(ctx, 3);
            go = !Stopping() && readUntil([](const std::string& l) { return ContainsNoCase(l, "cops"); }, 5);
            result.op = buffer;
        }
        if (go) {
            result.status = !result.signal.empty() && !result.op.empty() ? 0 : 2;
            if (result.status == 2) st_.flags.identifyModem = true;
        }
    }
    PortClose(port_);
    if (st_.flags.closing || !st_.flags.monitorRun) return CycleEnd::Stop;
    if (!go) return CycleEnd::NoReport;  // a pause request cut the cycle short
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = result;
    return CycleEnd::Report;
}

int SignalBitmap(int level)
{
    if (level >= 0 && level <= 31) return std::min(10, (level - 1) / 3 + 1);  // 0-3 -> 1, 4-6 -> 2 ... 28-31 -> 10
    if (level >= 32 && level <= 99) return 0;
    return -1;
}

MonitorDisplay MonitorDisplayStep(const MonitorResult& r, const LanguageTexts& texts, const std::string& line2)
{
    MonitorDisplay d;
    auto lines = [&d, &texts](int a, int b) {
        d.setLine2 = d.setLine3 = true;
        d.line2 = texts.GetLangText(a);
        d.line3 = texts.GetLangText(b);
    };
    if (r.status == 1 || r.status == 2) {
        d.bitmap = 0;
        if (r.status == 1) lines(52, 55);
        else lines(50, 51);
        d.devicePresent = 0;
        return d;
    }
    if (!line2.empty()) {
        d.setLine2 = true;
        d.line2.clear();
    }
    const std::size_t comma = r.signal.find(',');
    int level = 0;
    if (comma != std::string::npos && comma >= 2) {
        if (!ParseInt(TrimSpaces(r.signal.substr(comma - 2, 2)), level)) level = 0;
    }
    const int picture = SignalBitmap(level);
    if (picture == 0) {
        d.bitmap = 0;
        lines(159, 160);
    } else if (picture > 0) {
        d.bitmap = picture;
    }
    const std::size_t q1 = r.op.find('"');
    const std::size_t q2 = q1 == std::string::npos ? std::string::npos : r.op.find('"', q1 + 1);
    const std::string name = q2 == std::string::npos ? std::string() : r.op.substr(q1 + 1, q2 - q1 - 1);
    if (!name.empty()) {
        d.setLine2 = d.setLine3 = true;
        d.line2.clear();
        d.line3 = name;
    } else {
        d.bitmap = 0;
        lines(159, 160);
    }
    d.devicePresent = 1;
    return d;
}

}  // namespace pelix
