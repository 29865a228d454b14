#include "link/devicecommands.h"

#include "common/release.h"
#include "link/controller.h"
#include "link/firstgen_device.h"
#include "link/monitor.h"
#include "link/progressscope.h"
#include "link/secondgen_device.h"
#include "model/datetime.h"
#include "model/imageinit.h"

#include <QDateTime>

#include <algorithm>

namespace pelix {

namespace {

constexpr int kReadCaption = 20;   // "&Load"
constexpr int kWriteCaption = 21;  // "&Send"

// A menu caption without its first character (the accelerator mark).
std::string MenuCaption(const std::string& text) { return text.empty() ? text : text.substr(1); }

// Keeps the monitor off the port for the life of the object.
class MonitorPause {
public:
    MonitorPause(ModemMonitor* m, Feedback& fb) : m_(m)
    {
        if (m_) paused_ = m_->Pause([&fb] { fb.ProcessEvents(); });
    }
    ~MonitorPause()
    {
        if (m_) m_->Resume();
    }
    // False when the worker still holds the port: the command must not use it.
    bool Paused() const { return paused_; }
    MonitorPause(const MonitorPause&) = delete;
    MonitorPause& operator=(const MonitorPause&) = delete;

private:
    ModemMonitor* m_;
    bool paused_ = true;
};

void Error(LinkContext& ctx, int text) { ShowMsg(ctx.feedback, ctx.Text(text), MsgType::Error, MsgButtons::Ok); }

// Adds whole steps of max(5, interval) minutes until the moment is later than
// one minute before the present.
void Advance(std::uint32_t& first, std::uint32_t intervalMinutes, std::uint32_t nowUnix)
{
    const std::int64_t step = static_cast<std::int64_t>(std::max<std::uint32_t>(5, intervalMinutes)) * 60;
    const std::int64_t limit = static_cast<std::int64_t>(nowUnix) - 60;  // advance while first <= now - 60
    std::int64_t value = first;
    if (value > limit) return;
    value += ((limit - value) / step + 1) * step;
    first = static_cast<std::uint32_t>(std::min<std::int64_t>(value, 0xFFFFFFFF));
}

// First-generation read and write (PELIX-A).
bool ReadA(LinkContext& ctx, ModemMonitor* monitor);
bool WriteA(LinkContext& ctx, ModemMonitor* monitor);

// The release check and the device-present check both commands start with.
// On failure the message is shown after the progress display closed.
bool StartA(LinkContext& ctx, ProgressScope& progress, ModemMonitor* monitor, const MonitorPause& pause, int failText)
{
    if (!pause.Paused()) {
        progress.Close();
        Error(ctx, failText);
        return false;
    }
    const int check = CheckDeviceRelease(ctx, ctx.state.cliente.Rel_firmware);
    if (check != 0) {
        progress.Close();
        Error(ctx, check == 1 ? 146 : failText);
        PortClose(ctx.port);
        return false;
    }
    // Without a monitor nobody has watched the device; the release line just
    // read shows that it answers.
    if (monitor && !ctx.state.flags.devicePresent.load()) {
        progress.Close();
        Error(ctx, failText);
        PortClose(ctx.port);
        return false;
    }
    return true;
}

bool QuietAfterHangUp(LinkContext& ctx, int waitT)
{
    if (!LinkIsQuiet(ctx)) return false;
    ModemSend(ctx, "ATH");
    WaitT(ctx, waitT);
    return LinkIsQuiet(ctx);
}

bool ReadA(LinkContext& ctx, ModemMonitor* monitor)
{
    if (ctx.state.flags.statusBusy.load()) return false;
    BusyScope busy(ctx.feedback);
    MonitorPause pause(monitor, ctx.feedback);
    const double release = ReleaseNumber(ctx.state.cliente.Rel_firmware.view()).value_or(0);
    ProgressScope progress(ctx, GaugeMaximumA(false, release));
    if (!StartA(ctx, progress, monitor, pause, 54)) return false;
    ctx.feedback.ProgressCaption(MenuCaption(ctx.Text(kReadCaption)));

    bool ok = PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119)) && QuietAfterHangUp(ctx, 30);
    if (!ok) {
        progress.Close();
        Error(ctx, 54);
        ctx.state.flags.devicePresent = false;
    } else {
        ctx.state.flags.devicePresent = true;
        // The device has just confirmed its release; its family decides the records.
        ReadConfigurationA(ctx, ReleaseNumber(ctx.state.cliente.Rel_firmware.view()).value_or(release));
    }
    PortClose(ctx.port);
    return ok;
}

bool WriteA(LinkContext& ctx, ModemMonitor* monitor)
{
    if (ctx.state.flags.statusBusy.load()) return false;
    BusyScope busy(ctx.feedback);
    MonitorPause pause(monitor, ctx.feedback);
    const double release = ReleaseNumber(ctx.state.cliente.Rel_firmware.view()).value_or(0);
    ProgressScope progress(ctx, GaugeMaximumA(true, release));
    if (!StartA(ctx, progress, monitor, pause, 53)) return false;
    ctx.feedback.ProgressCaption(MenuCaption(ctx.Text(kWriteCaption)));

    if (!CheckOutputEvents(ctx, release)) {
        PortClose(ctx.port);
        return false;
    }
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) {
        progress.Close();
        Error(ctx, 53);
        ctx.state.flags.devicePresent = false;
        return false;
    }
    bool ok = QuietAfterHangUp(ctx, 10);
    if (!ok) {
        progress.Close();
        Error(ctx, 53);
        ctx.state.flags.devicePresent = false;
    } else if (!WriteConfigurationA(ctx, ReleaseNumber(ctx.state.cliente.Rel_firmware.view()).value_or(release))) {
        // A refused record leaves the device with part of the configuration:
        // that is a failed write, and the port is given back like after any other.
        ok = false;
        progress.Close();
        Error(ctx, 53);
    }
    LinkWake(ctx);
    PortClose(ctx.port);
    return ok;
}

}  // namespace

void AdvancePeriodicTimesG(Tag_GlobalBuffer& image, std::uint32_t nowUnix)
{
    if (!image.Ingresso[7].SMSAttiv.empty()) Advance(image.Opzioni.SMSPrimoUnix, image.Opzioni.SMSIntervallo, nowUnix);
    if (image.ComDig.Eventi[14].Invia) Advance(image.Opzioni.SegPrimoUnix, image.ComDig.SegIntervallo, nowUnix);
}

bool PeriodicSmsPastI(const Tag_GlobalBuffer& image, DateTime now)
{
    if (image.Ingresso[6].SMSAttiv.empty()) return false;
    const QDateTime date = FromDateTime(image.Opzioni.SMSDataPrimo);
    const QDateTime time = FromDateTime(image.Opzioni.SMSOraPrimo);
    const QDateTime first(date.date(), QTime(time.time().hour(), time.time().minute(), 0));
    return FromDateTime(now) >= first;
}

int GaugeMaximumA(bool write, double release)
{
    if (release >= kRelease10 && release <= kRelease109) return write ? 119 : 36;
    if (release >= kRelease11 && release <= kRelease119) return write ? 328 : 95;
    return 0;
}

bool CheckOutputEvents(LinkContext& ctx, double release)
{
    Tag_GlobalBuffer& img = ctx.state.image;
    // Events in the order of the questions, with the output each one gets by default.
    struct Event {
        std::uint8_t Tag_Uscita::*flag;
        int defaultOutput;
    };
    static constexpr Event kEvents[7] = {
        {&Tag_Uscita::FP, 0}, {&Tag_Uscita::FG, 1}, {&Tag_Uscita::BC, 2}, {&Tag_Uscita::BP, 3},
        {&Tag_Uscita::MS, 3}, {&Tag_Uscita::CO, 4}, {&Tag_Uscita::CI, 4},
    };
    const bool reserved = std::any_of(img.Uscite.begin(), img.Uscite.end(), [](const Tag_Uscita& u) { return u.OUTRESERV; });
    const bool onlyAsk = release >= kRelease11 && reserved;
    for (int k = 0; k < 7; ++k) {
        const auto flag = kEvents[k].flag;
        if (std::any_of(img.Uscite.begin(), img.Uscite.end(), [flag](const Tag_Uscita& u) { return u.*flag != 0; }))
            continue;
        const std::string question = onlyAsk ? ctx.Text(147) + "\r\n" + ctx.Text(149 + k)
                                             : ctx.Text(147) + "\r\n" + ctx.Text(148) + "\r\n" + ctx.Text(149 + k);
        if (ShowMsg(ctx.feedback, question, MsgType::Information, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
        if (!onlyAsk) {
            img.Uscite[static_cast<std::size_t>(kEvents[k].defaultOutput)].*flag = 1;
            ctx.state.EventiAssegnati = CountOutputEvents(img);
        }
    }
    return true;
}

bool ReadDeviceCommand(LinkContext& ctx, ModemMonitor* monitor)
{
    ProgramState& st = ctx.state;
    switch (st.Model()) {
    case kModelG:
    case kModelI: {
        const Tag_GlobalBuffer before = st.image;
        const int eventiBefore = st.EventiAssegnati;
        InitImage(st, st.image, false);
        if (st.Model() == kModelG ? ReadDeviceG(ctx) : ReadDeviceI(ctx)) return true;
        // A read that did not complete must not pass off defaults, or half a
        // configuration, as the device's; the edits in the image stay.
        st.image = before;
        st.EventiAssegnati = eventiBefore;
        return false;
    }
    default:
        return ReadA(ctx, monitor);
    }
}

bool WriteDeviceCommand(LinkContext& ctx, ModemMonitor* monitor)
{
    ProgramState& st = ctx.state;
    switch (st.Model()) {
    case kModelG:
        AdvancePeriodicTimesG(st.image, DateTimeToUnix(NowDateTime()));
        return WriteDeviceG(ctx);
    case kModelI:
        if (PeriodicSmsPastI(st.image, NowDateTime())) {
            ShowMsg(ctx.feedback, ctx.Text(506), MsgType::Warning, MsgButtons::Ok);
            return false;
        }
        return WriteDeviceI(ctx);
    default:
        return WriteA(ctx, monitor);
    }
}

}  // namespace pelix
