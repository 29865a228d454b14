#include "link/remote.h"

#include "link/controller.h"
#include "link/firstgen_device.h"
#include "link/identify.h"
#include "link/secondgen_device.h"
#include "model/imageinit.h"

#include <cstdio>

namespace pelix {

namespace {

constexpr char kCtrlZ = '\x1A';
constexpr int kCentreEntry = 95;

std::string Length3(std::size_t n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03zu", n);
    return buf;
}

std::string Two(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

int SectionsModel(int model) { return model == kModelG ? kModelG : kModelI; }

// The sections and lines of one configuration, in message order.
struct Built {
    TSMSSlots sections;
    PhoneBookLines lines;
};

Built BuildAllTexts(const ProgramState& st, int model, const std::string& simIdentity, std::uint32_t nowUnix)
{
    return Built{BuildSections(st.image, SectionsModel(model), simIdentity, nowUnix), BuildPhoneBookLines(st.image, model)};
}

}  // namespace

PhoneBookLines BuildPhoneBookLines(const Tag_GlobalBuffer& image, int model)
{
    PhoneBookLines lines;
    const int inUse = PhoneEntriesInUse(model);
    for (int n = 1; n <= inUse && n <= kPhoneBookLines; ++n) {
        const Tag_NumTel& t = image.NumTel[static_cast<std::size_t>(n - 1)];
        std::string& line = lines[static_cast<std::size_t>(n - 1)];
        line = Two(n);
        if (!t.Numero.empty()) line += "," + Quoted(t.Numero.view()) + ",," + Quoted(t.Descrizione.view());
    }
    // Entry 95 carries the receiving centre's number instead of a phone number.
    std::string& centre = lines[kCentreEntry - 1];
    centre = "95";
    if (!image.Opzioni.NtelADT.empty()) centre += "," + Quoted(image.Opzioni.NtelADT.view().substr(0, 24)) + ",," + Quoted("ADT");
    const CountedString<20>* numbers[4] = {&image.ComDig.Numero1, &image.ComDig.Numero2, &image.ComDig.Numero3,
                                           &image.ComDig.Numero4};
    for (int k = 0; k < 4; ++k) {
        std::string& line = lines[static_cast<std::size_t>(95 + k)];
        line = std::to_string(96 + k);
        if (!numbers[k]->empty())
            line += "," + Quoted(numbers[k]->view()) + ",," + Quoted("CONTACT ID " + std::to_string(k + 1));
    }
    return lines;
}

std::string SectionMessage(int slot, const std::string& text)
{
    return std::string("#*") + static_cast<char>('a' + slot) + Length3(text.size()) + "*" + text;
}

std::string PhoneBookMessage(const std::string& line) { return "#*v" + Length3(line.size()) + "*" + line; }

RemoteMessages RemoteBuildAll(const ProgramState& st, const std::string& simIdentity, std::uint32_t nowUnix)
{
    const Built b = BuildAllTexts(st, st.Model(), simIdentity, nowUnix);
    RemoteMessages out;
    for (int s = 0; s < kSlotCount; ++s)
        if (!b.sections[static_cast<std::size_t>(s)].Testo.empty())
            out.push_back({SectionMessage(s, b.sections[static_cast<std::size_t>(s)].Testo), true});
    for (const std::string& line : b.lines) out.push_back({PhoneBookMessage(line), true});
    return out;
}

bool RemoteBuildCompare(ProgramState& st, const std::string& simIdentity, std::uint32_t nowUnix,
                        const std::function<bool(ProgramState&)>& loadOther, RemoteMessages& out)
{
    out.clear();
    const int model = st.Model();
    const Built mine = BuildAllTexts(st, model, simIdentity, nowUnix);
    const Tag_GlobalBuffer image = st.image;
    const Tag_Cliente header = st.cliente;
    const int eventi = st.EventiAssegnati;
    // Puts the current configuration back on every way out, an exception included.
    struct Restore {
        ProgramState& st;
        const Tag_GlobalBuffer& image;
        const Tag_Cliente& header;
        int eventi;
        ~Restore()
        {
            st.image = image;
            st.cliente = header;
            st.EventiAssegnati = eventi;
        }
    } restore{st, image, header, eventi};

    InitImage(st, st.image, false);
    if (!loadOther(st)) return false;
    // The other configuration is built in the same form as the current one.
    const Built other = BuildAllTexts(st, model, simIdentity, nowUnix);
    for (int s = 0; s < kSlotCount; ++s) {
        const std::string& t = mine.sections[static_cast<std::size_t>(s)].Testo;
        if (!t.empty() && t != other.sections[static_cast<std::size_t>(s)].Testo) out.push_back({SectionMessage(s, t), true});
    }
    for (int n = 0; n < kPhoneBookLines; ++n) {
        const std::string& l = mine.lines[static_cast<std::size_t>(n)];
        if (l != other.lines[static_cast<std::size_t>(n)]) out.push_back({PhoneBookMessage(l), true});
    }
    return true;
}

RemoteSendResult RemoteSend(LinkContext& ctx, const std::string& destination, RemoteMessages& messages,
                            const std::function<void(const RemoteMessages&)>& afterEach)
{
    BusyScope busy(ctx.feedback);
    const auto noDevice = [&] {
        ShowMsg(ctx.feedback, ctx.Text(237), MsgType::Warning, MsgButtons::Ok);
        PortClose(ctx.port);
        return RemoteSendResult::NoDevice;
    };
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) return noDevice();
    if (!ModemIdentify(ctx, ctx.modemInfo, false, true, IdentifyVariant::PelixI)) return noDevice();

    RemoteSendResult result = RemoteSendResult::NotMotorola;
    if (IsMotorola(ctx.modemInfo.manufacturer())) {
        result = RemoteSendResult::Sent;
        int total = 0;
        for (const RemoteMessage& m : messages) total += m.checked ? 1 : 0;
        const auto label = [total](int sent) { return "SMS " + std::to_string(sent) + " / " + std::to_string(total); };
        ctx.feedback.ProgressShow(label(0), total);
        // The number goes inside quotes: nothing in it may end the command.
        const std::string command = "+++AT+CMGS=\"" + AtArgument(destination) + "\"\r";
        int sent = 0;
        for (RemoteMessage& m : messages) {
            if (!m.checked) continue;
            if (ctx.Closing()) {
                result = RemoteSendResult::Failed;
                break;
            }
            ModemSend(ctx, command);
            bool prompt = false;
            const LinkStopwatch watch(ctx);
            while (!prompt && watch.WholeSeconds() <= 10 && !ctx.Closing())
                prompt = CollectPrompt(ctx).find('>') != std::string::npos;
            if (!prompt) {
                result = RemoteSendResult::Failed;
                break;
            }
            std::string answer;
            if (!ModemCommandAnswer(ctx, m.text + kCtrlZ, answer)) {
                result = RemoteSendResult::Failed;
                ctx.feedback.ProgressShow("ERROR!", total);
                break;
            }
            WaitT(ctx, 10);
            m.checked = false;
            ++sent;
            ctx.feedback.ProgressStep();
            ctx.feedback.ProgressCaption(label(sent));
            if (afterEach) afterEach(messages);
        }
    }
    CtrlRelease(ctx);
    ctx.feedback.ProgressClose();
    if (result == RemoteSendResult::Failed) ShowMsg(ctx.feedback, ctx.Text(122), MsgType::Warning, MsgButtons::Ok);
    PortClose(ctx.port);
    return result;
}

}  // namespace pelix
