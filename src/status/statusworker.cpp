#include "status/statusworker.h"

#include "common/text.h"
#include "link/controller.h"
#include "link/exchange.h"
#include "link/identify.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace pelix {

namespace {

// Thrown out of a wait when the page wants the worker to stop or pause; the
// cycle in progress is abandoned.
struct Interrupted {};

void SleepMs(long ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The worker's voice: a message goes to the window as a warning box, and every
// wait checks whether the page wants the worker to let go.
class WorkerFeedback : public Feedback {
public:
    explicit WorkerFeedback(StatusShared& s) : s_(s) {}
    MsgAnswer Message(const std::string& text, MsgType, MsgButtons) override
    {
        std::lock_guard<std::mutex> g(s_.lock);
        if (s_.message) s_.message(text);
        return MsgAnswer::Ok;
    }
    void ProcessEvents() override
    {
        if (s_.stop || s_.pauseRequest) throw Interrupted{};
    }
private:
    StatusShared& s_;
};

constexpr std::uint8_t kPinBit = 0x01;
constexpr std::uint8_t kNotReadyBit = 0x02;
constexpr std::uint8_t kBusyBit = 0x02;       // extra warnings (reply to "=")
constexpr std::uint8_t kSlowWarnings = 0x70;  // bits 4-6: the device has a serious fault

}  // namespace

struct StatusWorker::Impl {
    Impl(StatoVariant v, std::shared_ptr<StatusShared> sh, const ProgramState& src, const StatusTiming& t)
        : variant(v), shared(std::move(sh)), s(*shared), fb(s), st(fb), ctx(s.port, info, st, fb)
    {
        st.settings = src.settings;
        st.settings.TimeOut = t.T;
        st.texts = src.texts;
        st.cliente.TipoCentrale = src.cliente.TipoCentrale;
        ctx.charTimeout = t.charTimeout;
        ctx.secondMs = t.secondMs;
    }

    StatoVariant variant;
    std::shared_ptr<StatusShared> shared;
    StatusShared& s;
    WorkerFeedback fb;
    ProgramState st;
    stRecModemInfo info;
    LinkContext ctx;
    bool through = false;  // the line may be connected through to the module

    bool G() const { return variant == StatoVariant::PelixG; }

    void Run();
    bool Cycle();   // false: this was the last cycle
    bool CycleG();
    void LetGo();

    bool Read3(char command, ReplyBytes& b, bool checksum = true)
    {
        ModemSend(ctx, std::string(1, command));
        return ModemReadBytes(ctx, b, 3, checksum);
    }
    // Waits until more than `seconds` whole seconds have passed, the stop
    // request is set or (when asked) a command is pending.
    void Wait(long seconds, bool untilCommand)
    {
        LinkStopwatch watch(ctx);
        while (watch.WholeSeconds() <= seconds) {
            if (s.stop || s.pauseRequest) return;
            if (untilCommand && s.commandPending) return;
            SleepMs(20);
        }
    }

    bool CtrlCheckReady();
    bool QueryStatus();
    bool QueryInputs();
    bool QueryOutputs();
    bool RunCommand(char command);
    void InitialIdentify();
};

bool StatusWorker::Impl::CtrlCheckReady()
{
    ReplyBytes b;
    if (!G()) {
        if (!PortEnsureOpen(s.port, fb, st.Text(119))) return false;
        const bool ok = Read3('8', b) && (b[1] & kNotReadyBit) == 0;
        PortClose(s.port);
        return ok;
    }
    ModemSend(ctx, std::string(1, kCtrlReleaseLine));
    if (!ModemReadBytes(ctx, b, 3, false)) return false;
    return Read3('8', b) && (b[1] & kNotReadyBit) == 0;
}

bool StatusWorker::Impl::QueryStatus()
{
    ReplyBytes b;
    if (!G() && s.pinPolling && !s.unlockOpen) {
        if (Read3('8', b)) {
            s.pinRequired = (b[1] & kPinBit) != 0;
            if (s.pinRequired) s.Post(kCodePinWanted);
        }
    }
    LiveValues before;
    {
        std::lock_guard<std::mutex> g(s.lock);
        before = s.live;
    }
    if (!Read3('7', b)) return false;
    std::uint8_t warnings = b[1];
    std::uint8_t extra = before.extraWarnings;
    const std::uint8_t signal = b[0], supply = b[2];
    if (G() && Read3(kCtrlProgramStatus, b)) {
        warnings = b[0];
        extra = b[1];
    }
    {
        std::lock_guard<std::mutex> g(s.lock);
        s.live.signal = signal;
        s.live.warnings = warnings;
        s.live.extraWarnings = extra;
        s.live.supply = supply;
    }
    if (signal != before.signal || warnings != before.warnings || supply != before.supply) s.Post(kCodeDisplay);
    return true;
}

bool StatusWorker::Impl::QueryInputs()
{
    ReplyBytes b;
    ModemSend(ctx, "8");
    if (G()) SleepMs(20);
    if (!ModemReadBytes(ctx, b, 3, true)) return false;
    bool changed;
    {
        std::lock_guard<std::mutex> g(s.lock);
        const std::uint8_t L = b[0] & 0x0F, H = static_cast<std::uint8_t>(b[0] >> 4);
        changed = L != s.live.inputsL || H != s.live.inputsH || b[1] != s.live.inputFlags;
        s.live.inputsL = L;
        s.live.inputsH = H;
        s.live.inputFlags = b[1];
    }
    if (changed) s.Post(kCodeInputs);
    return true;
}

bool StatusWorker::Impl::QueryOutputs()
{
    LiveValues before;
    {
        std::lock_guard<std::mutex> g(s.lock);
        before = s.live;
    }
    LiveValues now = before;
    ReplyBytes b;
    if (!Read3(':', b)) return false;
    now.outputsB = b[0];
    now.outputsA = b[1];
    now.outputsC = b[2];
    if (Read3('8', b)) {
        now.outputValues[0] = b[2];
        if (Read3('9', b)) {
            now.outputValues[1] = b[0];
            now.outputValues[2] = b[1];
            now.outputValues[3] = b[2];
        }
    }
    {
        std::lock_guard<std::mutex> g(s.lock);
        s.live.outputsA = now.outputsA;
        s.live.outputsB = now.outputsB;
        s.live.outputsC = now.outputsC;
        s.live.outputValues = now.outputValues;
    }
    if (now.outputsA != before.outputsA || now.outputsB != before.outputsB || now.outputsC != before.outputsC ||
        now.outputValues != before.outputValues)
        s.Post(kCodeOutputs);
    return true;
}

// A command counts as done only when the controller answered it: a reply
// that never came is a failure, not a success.
bool StatusWorker::Impl::RunCommand(char command)
{
    ReplyBytes b;
    if (command == kCmdTestReport || command == kCmdModuleReset) {
        if (!Read3(kCtrlReady, b) || BytesToText(b, 0, 3) != "PRG") return false;
        if (command == kCmdModuleReset) {
            if (G())
                ModemSend(ctx, "U");
            else
                (void)ModemCommandOk(ctx, "U");
            return false;  // the module restarts: this cycle's answers would be stale
        }
        return Read3(kCmdTestReport, b) && BytesToText(b, 0, 3) != "ERR";
    }
    return Read3(command, b) && BytesToText(b, 0, 3) != "ERR";
}

void StatusWorker::Impl::InitialIdentify()
{
    stRecModemInfo id;
    through = true;
    const bool ok = ModemIdentify(ctx, id, true, false, G() ? IdentifyVariant::PelixG : IdentifyVariant::PelixI);
    through = false;
    {
        std::lock_guard<std::mutex> g(s.lock);
        for (std::size_t i = 0; i < 6; ++i) s.live.identity[i] = id.s[i];
    }
    s.Post(kCodeIdentity, ok ? 0 : 1);
    if (ok) {
        std::uint32_t c1 = 0, c2 = 0;
        CtrlReadCounters(ctx, c1, c2);
        {
            std::lock_guard<std::mutex> g(s.lock);
            s.live.counter1 = c1;
            s.live.counter2 = c2;
        }
        s.Post(kCodeDates);
    }
}

bool StatusWorker::Impl::Cycle()
{
    s.Post(kCodeAnimation, 2);
    bool restRuns = true;
    if (s.initialStep) {
        {
            std::lock_guard<std::mutex> g(s.lock);
            s.live = LiveValues{};
        }
        if (!CtrlCheckReady()) {
            s.Post(kCodeStatusPicture, 3);
            Wait(4, false);
            return true;
        }
        std::string release;
        if (CtrlReadReleaseI(ctx, release, false) != 0) {
            s.Post(kCodeRelease, 1);
            s.stop = true;
            restRuns = false;
        } else {
            {
                std::lock_guard<std::mutex> g(s.lock);
                s.live.release = release;
            }
            s.Post(kCodeRelease, 0);
            InitialIdentify();
        }
        s.initialStep = false;
    }
    if (s.commandPending) {
        char command;
        {
            std::lock_guard<std::mutex> g(s.lock);
            command = s.command;
        }
        const bool ok = RunCommand(command);
        s.commandPending = false;
        s.Post(kCodeCommandDone);
        if (!ok) restRuns = false;
    }
    const bool last = !s.simOk;
    if (restRuns) {
        if (s.stop) return false;
        bool failed = false;
        if (!QueryStatus()) {
            s.Post(kCodeStatusPicture, 1);
            failed = true;
        }
        std::uint8_t warnings;
        {
            std::lock_guard<std::mutex> g(s.lock);
            warnings = s.live.warnings;
        }
        if (!failed && (warnings & kSlowWarnings)) {
            s.Post(kCodeStatusPicture, 2);
            Wait(9, true);
        } else {
            const bool in = QueryInputs();
            if (s.stop) return false;
            const bool out = QueryOutputs();
            if (s.stop) return false;
            s.Post(kCodeStatusPicture, in && out && !failed ? 0 : 1);
            Wait(4, false);
        }
    } else if (!s.initialStep) {
        s.Post(kCodeStatusPicture, 1);
    }
    return !last;
}

bool StatusWorker::Impl::CycleG()
{
    s.Post(kCodeAnimation, 2);
    ReplyBytes b;
    if (Read3(kCtrlProgramStatus, b)) s.busy = (b[1] & kBusyBit) != 0;
    bool restRuns = true;
    if (s.initialStep) {
        if (!CtrlCheckReady()) {
            s.Post(kCodeStatusPicture, 3);
            Wait(1, false);  // not a tight loop on a controller that is not ready
            return true;
        }
        std::string release;
        if (CtrlReadReleaseG(ctx, release, false) != 0) {
            s.Post(kCodeRelease, 1);
            s.deviceReady = false;
            s.stop = true;
            s.initialStep = false;
            return false;
        }
        {
            std::lock_guard<std::mutex> g(s.lock);
            s.live.release = release;
        }
        s.Post(kCodeRelease, 0);
        if (s.busy) {
            SleepMs(ctx.secondMs);
        } else {
            InitialIdentify();
            s.deviceReady = true;
        }
        s.initialStep = false;
    }
    const bool ready = CtrlCheckReady();
    if (Read3(kCtrlProgramStatus, b)) {
        {
            std::lock_guard<std::mutex> g(s.lock);
            s.live.warnings = b[0];
            s.live.extraWarnings = b[1];
        }
        s.busy = (b[1] & kBusyBit) != 0;
        s.Post(kCodeWarningsG);
    }
    if (s.busy) {
        s.Post(kCodeStatusPicture, ready ? 0 : 3);
        Wait(1, false);
        return true;
    }
    if (s.commandPending) {
        char command;
        {
            std::lock_guard<std::mutex> g(s.lock);
            command = s.command;
        }
        const bool ok = RunCommand(command);
        s.commandPending = false;
        s.Post(kCodeCommandDone);
        if (!ok) restRuns = false;
    }
    if (!restRuns) {
        s.Post(kCodeStatusPicture, 1);
        return true;
    }
    if (s.stop) return false;
    bool failed = false;
    if (!QueryStatus()) {
        s.Post(kCodeStatusPicture, 1);
        s.deviceReady = false;
        failed = true;
    }
    std::uint8_t warnings;
    {
        std::lock_guard<std::mutex> g(s.lock);
        warnings = s.live.warnings;
    }
    if (!failed && (warnings & kSlowWarnings)) {
        s.Post(kCodeStatusPicture, 2);
        Wait(9, true);
        return true;
    }
    const bool in = QueryInputs();
    if (s.stop) return false;
    const bool out = QueryOutputs();
    if (s.stop) return false;
    const bool ok = in && out && !failed;
    s.deviceReady = ok;
    s.Post(kCodeStatusPicture, ok ? (ready ? 0 : 3) : 1);
    Wait(1, false);
    return true;
}

// The worker leaves the port: a line still connected through to the module is
// given back to the controller first, so the next user finds the controller.
void StatusWorker::Impl::LetGo()
{
    if (!s.port.isOpen()) return;
    if (through) {
        const char release = kCtrlReleaseLine;
        PortFlush(s.port);
        PortWrite(s.port, &release, 1);
        through = false;
    }
    PortClose(s.port);
}

void StatusWorker::Impl::Run()
{
    if (G()) {
        try {
            if (!PortEnsureOpen(s.port, fb, st.Text(119))) {
                s.Post(kCodeStatusPicture, 1);
                s.running = false;
                s.Post(kCodeEnded);
                return;
            }
        } catch (const Interrupted&) {
        }
    }
    for (;;) {
        if (s.pauseRequest && !s.stop) {
            LetGo();
            s.paused = true;
            while (s.pauseRequest && !s.stop) SleepMs(10);
            s.paused = false;
            if (!s.stop && !s.port.isOpen()) {
                try {
                    (void)PortEnsureOpen(s.port, fb, st.Text(119));
                } catch (const Interrupted&) {
                }
            }
            continue;
        }
        if (s.stop) break;
        try {
            if (!(G() ? CycleG() : Cycle())) break;
        } catch (const Interrupted&) {
            // A stop or a pause: the loop above deals with it.
        } catch (const std::exception&) {
            // A cycle that went wrong is forgotten; the next one starts afresh.
        }
    }
    LetGo();
    s.running = false;
    s.Post(kCodeEnded);
}

StatusWorker::StatusWorker(StatoVariant variant, std::shared_ptr<StatusShared> shared, const ProgramState& st,
                           const StatusTiming& timing)
    : impl_(std::make_shared<Impl>(variant, shared, st, timing)), shared_(std::move(shared)),
      secondMs_(timing.secondMs > 0 ? timing.secondMs : 1)
{
}

StatusWorker::~StatusWorker()
{
    shared_->stop = true;
    if (thread_.joinable()) {
        if (!shared_->running)
            thread_.join();
        else
            thread_.detach();  // it holds its own references and ends at its next wait
    }
}

void StatusWorker::Start()
{
    if (shared_->running) return;
    if (thread_.joinable()) thread_.join();
    shared_->running = true;
    shared_->paused = false;
    auto impl = impl_;
    thread_ = std::thread([impl] { impl->Run(); });
}

bool StatusWorker::Stop(int wholeSeconds, const std::function<void()>& idle)
{
    shared_->stop = true;
    const auto start = std::chrono::steady_clock::now();
    while (shared_->running) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (ms.count() / secondMs_ > wholeSeconds) break;
        if (idle) idle();
        SleepMs(10);
    }
    if (shared_->running) return false;
    if (thread_.joinable()) thread_.join();
    return true;
}

bool StatusWorker::Pause(int wholeSeconds, const std::function<void()>& idle)
{
    shared_->pauseRequest = true;
    const auto start = std::chrono::steady_clock::now();
    while (!shared_->paused && shared_->running) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (ms.count() / secondMs_ > wholeSeconds) break;
        if (idle) idle();
        SleepMs(10);
    }
    return shared_->paused || !shared_->running;
}

void StatusWorker::Resume() { shared_->pauseRequest = false; }

// --- Display rules -----------------------------------------------------------

const std::array<WarningRow, 11>& WarningRowsG()
{
    static const std::array<WarningRow, 11> rows{{{220, false, 0},
                                                  {221, false, 1},
                                                  {222, false, 2},
                                                  {602, true, 3},
                                                  {600, true, 0},
                                                  {601, true, 1},
                                                  {223, true, 2},
                                                  {224, false, 4},
                                                  {225, false, 5},
                                                  {226, false, 6},
                                                  {227, false, 7}}};
    return rows;
}

int SupplyImage(std::uint8_t supply)
{
    const int v = std::clamp<int>(supply, 130, 215);
    return 4 + (v - 130) / 22;
}

std::string SupplyHint(std::uint8_t supply, StatoVariant v)
{
    if (supply == 255) return {};
    const double volts = v == StatoVariant::PelixI ? supply * 0.061 + 0.7 : supply * 0.064443;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.2f Volt", volts);
    return buf;
}

int SignalLevel(std::uint8_t signal)
{
    if (signal <= 24) return 0;
    return std::max(1, (signal + 1) / 25);
}

bool ResetAllowed(const std::string& release) { return !release.empty() && release >= "1.05"; }

namespace {
struct FlagText {
    int bit;
    int text;
};
// Per row 1..3: the two flag bits in the order their texts are joined.
const std::array<std::array<FlagText, 2>, 3>& FlagTable(StatoVariant v)
{
    static const std::array<std::array<FlagText, 2>, 3> i{{{{{6, 177}, {7, 176}}},
                                                           {{{4, 179}, {5, 178}}},
                                                           {{{2, 504}, {3, 180}}}}};
    static const std::array<std::array<FlagText, 2>, 3> g{{{{{2, 504}, {3, 180}}},
                                                           {{{6, 177}, {7, 176}}},
                                                           {{{4, 179}, {5, 178}}}}};
    return v == StatoVariant::PelixI ? i : g;
}
}  // namespace

std::string InputFlagTexts(int row, std::uint8_t flags, StatoVariant v, const std::function<std::string(int)>& text)
{
    if (row < 1 || row > 3) return {};
    std::string out;
    for (const FlagText& f : FlagTable(v)[static_cast<std::size_t>(row - 1)]) {
        if (!(flags & (1u << f.bit))) continue;
        if (!out.empty()) out += " / ";
        out += text(f.text);
    }
    return out;
}

bool InputFlagLit(int row, std::uint8_t flags)
{
    if (row < 1 || row > 3) return false;
    const int high = 7 - 2 * (row - 1);
    return (flags & (1u << high)) || (flags & (1u << (high - 1)));
}

}  // namespace pelix
