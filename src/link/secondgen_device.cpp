#include "link/secondgen_device.h"

#include "link/controller.h"
#include "link/firstgen_device.h"
#include "link/identify.h"
#include "link/progressscope.h"
#include "link/simstatus.h"
#include "model/datetime.h"

#include <QDateTime>

#include <algorithm>
#include <optional>
#include <cstdio>

namespace pelix {

namespace {

constexpr char kCtrlZ = '\x1A';
constexpr int kDirectoryEntries = 25;
constexpr int kFirstNumberEntry = 101;  // NumTel[0] on PELIX-G and Motorola PELIX-I
constexpr int kTimerEntry = 100;
constexpr int kPromptMax = 32;
constexpr int kDefaultTextMax = 20;
constexpr std::size_t kSimIdentityLength = 21;

const char* const kContactId[4] = {"CONTACT ID 1", "CONTACT ID 2", "CONTACT ID 3", "CONTACT ID 4"};

bool IsEricsson(const std::string& manufacturer) { return UpperCase(manufacturer).find("ERICSSON") != std::string::npos; }

void Say(LinkContext& ctx, int text, MsgType type) { ShowMsg(ctx.feedback, ctx.Text(text), type, MsgButtons::Ok); }

void SendByte(LinkContext& ctx, char c) { ModemSend(ctx, std::string(1, c)); }

CountedString<20>* ComDigNumber(Tag_GlobalBuffer& img, int k)
{
    CountedString<20>* numbers[4] = {&img.ComDig.Numero1, &img.ComDig.Numero2, &img.ComDig.Numero3,
                                     &img.ComDig.Numero4};
    return numbers[k];
}

// Reads lines until one holds "ok" or "error" or about 21 seconds pass; true on "ok".
bool AwaitOk(LinkContext& ctx)
{
    const LinkStopwatch watch(ctx);
    std::string line;
    while (watch.WholeSeconds() <= 20 && !ctx.Closing()) {
        if (!ModemReadLine(ctx, line)) continue;
        if (ContainsNoCase(line, "ok")) return true;
        if (ContainsNoCase(line, "error")) return false;
    }
    return false;
}

// The moment of a date (its day) and a time of day (its hours and minutes).
QDateTime Moment(DateTime date, DateTime timeOfDay)
{
    const QDateTime d = FromDateTime(date);
    const QDateTime t = FromDateTime(timeOfDay);
    return QDateTime(d.date(), QTime(t.time().hour(), t.time().minute(), 0));
}

long long MinutesUntil(const QDateTime& moment, const QDateTime& now)
{
    const long long seconds = now.secsTo(moment);
    return seconds > 0 ? seconds / 60 : 0;
}

std::string Pad6(long long v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%06lld", std::min(v, 999999LL));
    return buf;
}

// Present time in the device's Unix seconds (local time, no zone correction).
std::uint32_t NowUnix() { return DateTimeToUnix(NowDateTime()); }

// A storage index written as decimal digits (blanks around them allowed).
std::optional<std::int32_t> IndexNumber(std::string_view text)
{
    const std::string t = TrimSpaces(text);
    if (t.empty() || t.size() > 9 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<std::int32_t>(std::stol(t));
}

// Decodes the message that the directory entry at `position` points at.
void DecodeFromDirectory(LinkContext& ctx, const std::vector<stRecAgenda>& listing, int position,
                         const std::vector<stSms>& messages, int slot)
{
    if (position < 0 || position >= static_cast<int>(listing.size())) return;
    const auto index = IndexNumber(listing[static_cast<std::size_t>(position)].Numero);
    std::string text;
    if (index && ListedMessageText(messages, *index, text)) DecodeSlot(ctx.state.image, ctx.Model(), slot, text);
}

}  // namespace

// --- Module checks and listings ---------------------------------------------

std::string CollectPrompt(LinkContext& ctx)
{
    std::string got;
    while (static_cast<int>(got.size()) <= kPromptMax && !ctx.Closing()) {
        const std::string c = PortReadChar(ctx.port, ctx.charTimeout, &ctx.feedback);
        if (c.empty()) {
            if (ctx.timing) ctx.timing->timeoutMs += static_cast<long long>(ctx.charTimeout * 1000.0);
            break;
        }
        if (c[0] != '\r' && c[0] != '\n') got += c[0];
    }
    return got;
}

int ModemReady(LinkContext& ctx)
{
    ModemSend(ctx, "AT\r");
    const LinkStopwatch watch(ctx);
    std::string line;
    bool got = false;
    do {
        WaitT(ctx, 2);
        got = ModemReadLine(ctx, line);
    } while (!got && watch.WholeSeconds() < 4 && !ctx.Closing());
    if (!got) return 1;
    return line.find("OK") != std::string::npos ? 0 : 2;
}

bool ParseAgendaLine(const std::string& line, stRecAgenda& e)
{
    e = stRecAgenda{};
    e.Linea = line;
    const std::size_t tag = line.find("+CPBR:");
    const std::size_t q1 = line.find('"');
    const std::size_t from = tag == std::string::npos ? 6 : tag + 6;
    // The index runs from after "+CPBR:" up to the comma before the number.
    if (q1 != std::string::npos && q1 >= from + 1) {
        std::string digits = TrimSpaces(std::string_view(line).substr(from, q1 - 1 - from));
        if (!digits.empty() && digits.size() <= 9 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            e.Indice = std::stoi(digits);
    }
    // The quoted fields: the number is the first, the name the second.
    std::vector<std::size_t> quotes;
    for (std::size_t i = 0; i < line.size() && quotes.size() < 4; ++i)
        if (line[i] == '"') quotes.push_back(i);
    if (quotes.size() >= 2) e.Numero = line.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1);
    if (quotes.size() >= 4) e.Nome = line.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1);
    return e.Indice >= 0;
}

bool ListPhoneBook(LinkContext& ctx, std::vector<stRecAgenda>& listing, StorageForm form)
{
    const bool ericsson = form == StorageForm::PelixIEricsson;
    if (ericsson) {
        WaitT(ctx, 3);
        ModemCommandOk(ctx, "AT+CMGF=1\r");
        WaitT(ctx, 3);
    }
    ModemSend(ctx, ericsson ? "AT+CPBR=1,100\r" : "AT+CPBR=1,200\r");
    return ReadPhoneBookListing(ctx, listing, form);
}

bool ReadPhoneBookListing(LinkContext& ctx, std::vector<stRecAgenda>& listing, StorageForm form)
{
    listing.clear();
    const bool ericsson = form == StorageForm::PelixIEricsson;
    bool ok = true;
    for (;;) {
        if (ctx.Closing()) break;
        std::string line;
        if (!ModemReadLongLine(ctx, line)) break;
        if (ContainsNoCase(line, "error")) {
            ok = false;
            break;
        }
        // The final "OK" is skipped like any other line: the listing ends on the
        // character time-out.
        if (line.find("+CPBR:") == std::string::npos) continue;
        stRecAgenda e;
        ParseAgendaLine(line, e);
        if (listing.size() < kListingMax) listing.push_back(e);
    }

    Tag_GlobalBuffer& img = ctx.state.image;
    for (const stRecAgenda& e : listing) {
        const int i = e.Indice;
        if (!ericsson) {
            if (e.Nome.rfind("PX", 0) == 0) continue;
            if (i >= kFirstNumberEntry && i <= 199) {
                Tag_NumTel& t = img.NumTel[static_cast<std::size_t>(i - kFirstNumberEntry)];
                t.Descrizione = e.Nome;
                t.Numero = e.Numero;
                if (i >= 196) *ComDigNumber(img, i - 196) = e.Numero;
            } else if (i == kTimerEntry && form == StorageForm::PelixIMotorola) {
                img.Opzioni.CodUscSms = e.Nome.empty() ? std::string() : e.Nome.substr(1);
            }
        } else if (i >= 1 && i <= 95) {
            img.NumTel[static_cast<std::size_t>(i - 1)].Descrizione = e.Nome;
            img.NumTel[static_cast<std::size_t>(i - 1)].Numero = e.Numero;
        } else if (i >= 96 && i <= 99) {
            *ComDigNumber(img, i - 96) = e.Numero;
        } else if (i == kTimerEntry) {
            img.Opzioni.CodUscSms = e.Nome.empty() ? std::string() : e.Nome.substr(1);
        }
    }
    return ok;
}

int FindDirectoryEntry(const std::vector<stRecAgenda>& listing, const std::string& key, bool byIndex)
{
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (byIndex ? std::to_string(listing[i].Indice) == key : listing[i].Nome == key) return static_cast<int>(i);
    }
    return -1;
}

bool ListMessages(LinkContext& ctx, std::vector<stSms>& messages)
{
    ModemSend(ctx, "AT+CMGL=\"ALL\"\r");
    return ReadMessageListing(ctx, messages);
}

bool ReadMessageListing(LinkContext& ctx, std::vector<stSms>& messages)
{
    messages.clear();
    for (;;) {
        if (ctx.Closing()) return true;
        std::string line;
        if (!ModemReadLongLine(ctx, line)) return true;
        if (ContainsNoCase(line, "error")) return false;
        if (line.find("+CMGL:") == std::string::npos) continue;
        stSms m;
        m.Intestazione = line;
        ModemReadLongLine(ctx, m.Testo);
        if (messages.size() < kListingMax) messages.push_back(m);
    }
}

bool ListedMessageText(const std::vector<stSms>& messages, std::int32_t index, std::string& text)
{
    // The index is followed by its comma: message 1 is not message 10.
    const std::string key = "+CMGL: " + std::to_string(index) + ",";
    for (const stSms& m : messages) {
        if (m.Intestazione.find(key) != std::string::npos) {
            text = m.Testo;
            return true;
        }
    }
    return false;
}

bool ReadMessagesInOrder(LinkContext& ctx)
{
    for (int k = 1; k <= kSlotCount && !ctx.Closing(); ++k) {
        const std::string command = "AT+CMGR=" + std::to_string(k) + "\r";
        ModemSend(ctx, command);
        const std::string echo = command.substr(0, command.size() - 1);
        const LinkStopwatch watch(ctx);
        std::string line;
        bool any = false, answered = false;
        while (watch.WholeSeconds() <= 20 && !ctx.Closing()) {
            if (!ModemReadLine(ctx, line)) continue;
            any = true;
            if (line.size() > 4 && line != echo) {
                answered = true;
                break;
            }
        }
        if (!any) return false;
        if (answered && line.find("+CMGR:") != std::string::npos) {
            std::string text;
            // The long reader: a section is longer than a reply line.
            if (ModemReadLongLine(ctx, text) && text != "OK") DecodeSlot(ctx.state.image, ctx.Model(), k - 1, text);
        }
        WaitT(ctx, 3);
    }
    return true;
}

// --- Writing ------------------------------------------------------------------

std::string TimerDigits(const Tag_GlobalBuffer& image, DateTime now)
{
    const QDateTime present = FromDateTime(now);
    const auto& o = image.Opzioni;
    const auto& c = image.ComDig;
    return Pad6(MinutesUntil(Moment(o.SMSDataPrimo, o.SMSOraPrimo), present)) +
           Pad6(MinutesUntil(Moment(c.SegDataPrimo, c.SegOraPrimo), present));
}

namespace {

bool WriteNumberEntry(LinkContext& ctx, int entry, const std::string& number, const std::string& text)
{
    return ModemCommandOk(ctx, "AT+CPBW=" + std::to_string(entry) + ",\"" + AtArgument(number) + "\",,\"" +
                                   AtArgument(text) + "\"\r");
}

bool ClearEntries(LinkContext& ctx, int first, int last, bool paced)
{
    for (int n = first; n <= last; ++n) {
        if (ctx.Closing() || !ModemCommandOk(ctx, "AT+CPBW=" + std::to_string(n) + "\r")) return false;
        if (paced) WaitFixed(ctx, 50);
    }
    return true;
}

bool WriteComDigAndTimers(LinkContext& ctx, int firstComDigEntry, bool timers)
{
    Tag_GlobalBuffer& img = ctx.state.image;
    for (int k = 0; k < 4; ++k) {
        const std::string number = ComDigNumber(img, k)->str();
        if (number.empty()) continue;
        if (!WriteNumberEntry(ctx, firstComDigEntry + k, number, kContactId[k])) return false;
    }
    if (!timers) return true;
    return WriteNumberEntry(ctx, kTimerEntry, TimerDigits(img, NowDateTime()), "#" + img.Opzioni.CodUscSms.str());
}

}  // namespace

bool WritePhoneBook2(LinkContext& ctx, StorageForm form)
{
    Tag_GlobalBuffer& img = ctx.state.image;
    const int entries = PhoneEntriesInUse(ctx.Model());
    if (form == StorageForm::PelixIEricsson) {
        WaitT(ctx, 3);
        if (!ClearEntries(ctx, 1, 99, false)) return false;
        WaitT(ctx, 3);
        for (int i = 0; i < entries && i < 95; ++i) {
            const Tag_NumTel& t = img.NumTel[static_cast<std::size_t>(i)];
            if (TrimSpaces(t.Numero.view()).empty()) continue;
            if (!WriteNumberEntry(ctx, i + 1, TrimSpaces(t.Numero.view()), t.Descrizione.str())) return false;
        }
        return WriteComDigAndTimers(ctx, 96, true);
    }

    const bool g = form == StorageForm::PelixG;
    WaitT(ctx, 3);
    ModemSend(ctx, g ? "AT+CPBS=\"ME\"\r" : "AT+CPBS=\"MT\"\r");
    if (!AwaitOk(ctx)) return false;
    WaitT(ctx, 3);
    if (!ClearEntries(ctx, 1, g ? 21 : 17, g) || !ClearEntries(ctx, kFirstNumberEntry, 199, g)) return false;

    WaitT(ctx, 3);
    ModemSend(ctx, "AT+CPBW=?\r");
    // +CPBW: (1-500),40,(129,145),16  -> labels of at most 16 characters
    std::string line;
    ModemReadLine(ctx, line);
    int textMax = kDefaultTextMax;
    if (const std::size_t comma = line.rfind(','); comma != std::string::npos) {
        const std::string t = TrimSpaces(std::string_view(line).substr(comma + 1));
        if (!t.empty() && t.size() <= 4 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
            textMax = std::stoi(t);
    }

    WaitT(ctx, 2);
    for (int i = 0; i < entries && i < 95; ++i) {
        Tag_NumTel& t = img.NumTel[static_cast<std::size_t>(i)];
        const std::string number = TrimSpaces(t.Numero.view());
        if (number.empty()) continue;
        // The label as the phone book will keep it, and so also in the image.
        std::string label = PadRight(t.Descrizione.view(), kDefaultTextMax, ' ');
        label = label.substr(0, static_cast<std::size_t>(std::max(0, textMax)));
        while (!label.empty() && label.back() == ' ') label.pop_back();
        t.Descrizione = label;
        if (!WriteNumberEntry(ctx, i + kFirstNumberEntry, number, label)) return false;
    }
    return WriteComDigAndTimers(ctx, 196, !g);
}

bool StoreSlots(LinkContext& ctx, StorageForm form)
{
    Tag_GlobalBuffer& img = ctx.state.image;
    const bool g = form == StorageForm::PelixG;
    const bool ericsson = form == StorageForm::PelixIEricsson;

    if (ericsson) {
        TSMSSlots built = BuildSections(img, kModelI, ctx.modemInfo.simIdentity(), NowUnix());
        WaitT(ctx, 5);
        for (int k = 1; k <= kSlotCount; ++k) ModemCommandOk(ctx, "AT+CMGD=" + std::to_string(k) + "\r");
        for (const TSMS& slot : built) {
            if (ctx.Closing()) return false;
            WaitT(ctx, 1);
            ModemSend(ctx, "AT+CMGW=2\r");
            if (CollectPrompt(ctx).find('>') == std::string::npos) continue;
            std::string answer;
            if (!ModemCommandAnswer(ctx, slot.Testo + kCtrlZ, answer)) return false;
        }
        return true;
    }

    bool ok = [&] {
        if (g) {
            WaitT(ctx, 3);
            ModemSend(ctx, "AT+CPMS=\"ME\"\r");
            if (!AwaitOk(ctx)) return false;
            std::string answer;
            std::string identity(kSimIdentityLength, '0');
            if (ModemCommandAnswer(ctx, "AT+CRSM=176,242\r", answer))
                identity = PadLeft(answer.size() > 11 ? answer.substr(11) : std::string(), kSimIdentityLength, '0');
            const Tag_GPRS& gp = img.GPRS;
            const bool noIp = std::all_of(gp.IP.begin(), gp.IP.end(), [](std::uint8_t b) { return b == 0; });
            if (gp.NtelChiamataADT && (noIp || gp.DNIS.str() == "000000000000" || gp.Account.str() == "0000000000"))
                identity = std::string(kSimIdentityLength, '0');
            ctx.modemInfo.simIdentity() = identity;
        }
        TSMSSlots built = BuildSections(img, g ? kModelG : kModelI, ctx.modemInfo.simIdentity(), NowUnix());

        PortFlush(ctx.port);
        if (!ModemCommandOk(ctx, "AT+CMGD=1,4\r")) return false;
        WaitT(ctx, g ? 10 : 5);

        for (TSMS& slot : built) {
            if (TrimSpaces(slot.Testo).empty()) continue;
            if (ctx.Closing()) return false;
            PortFlush(ctx.port);
            ModemSend(ctx, "AT+CMGW\r");
            if (CollectPrompt(ctx).find('>') == std::string::npos) return false;
            std::string answer;
            ModemCommandAnswer(ctx, slot.Testo + kCtrlZ, answer);
            LinkSleep(ctx, ctx.T() / 10);
            // +CMGW: 7  -> stored at index 7
            const std::size_t tag = answer.find("+CMGW:");
            if (tag == std::string::npos) return false;
            slot.Indice = IndexNumber(std::string_view(answer).substr(tag + 6)).value_or(0);
            const LinkStopwatch watch(ctx);
            std::string line;
            bool okLine = false;
            while (watch.WholeSeconds() <= 20 && !ctx.Closing()) {
                if (!ModemReadLine(ctx, line)) continue;
                if (line.size() > 4 || line.find("OK") != std::string::npos) {
                    okLine = line.find("OK") != std::string::npos;
                    break;
                }
            }
            if (!okLine) return false;
        }

        WaitT(ctx, 3);
        bool firstTimeAccepted = false;
        for (int n = 1; n <= kSlotCount; ++n) {
            const TSMS& slot = built[static_cast<std::size_t>(n - 1)];
            if (slot.Indice <= 0) continue;
            const std::string command = "AT+CPBW=" + std::to_string(n) + ",\"" + std::to_string(slot.Indice) +
                                        "\",,\"PX" + std::to_string(n) + "\"\r";
            if (ModemCommandOk(ctx, command)) {
                firstTimeAccepted = true;
                continue;
            }
            // Until one entry has gone in at once, the phone book may still be
            // settling after the clearing: a refusal gets one more try.
            if (firstTimeAccepted) return false;
            WaitT(ctx, 10);
            if (!ModemCommandOk(ctx, command)) return false;
        }
        return true;
    }();

    if (g) {
        for (const std::string& command : {std::string("AT+MIPCLOSE=1\r"), std::string("AT+MIPCALL=0\r")}) {
            ModemSend(ctx, command);
            WaitT(ctx, 4);
        }
        ModemSend(ctx, "AT+CCLK=\"" + FromDateTime(NowDateTime()).toString(QStringLiteral("yy/MM/dd,HH:mm:ss")).toStdString() +
                           "\"\r");
        WaitT(ctx, 4);
        ModemSend(ctx, "AT+CPMS=\"MT\"\r");
        WaitT(ctx, 4);
    }
    (void)kDirectoryEntries;
    return ok;
}

// --- Entry points ---------------------------------------------------------------

namespace {

constexpr char kLineBack = '\xFF';

// The module's answer to "AT" before the messages are looked up: no answer is
// the module's silence (611), another answer a device that cannot go on (237).
bool ReportModemReady(LinkContext& ctx)
{
    const int ready = ModemReady(ctx);
    if (ready == 0) return true;
    Say(ctx, ready == 1 ? 611 : 237, MsgType::Error);
    SendByte(ctx, kLineBack);
    return false;
}

// PELIX-G: sections 1-6 through directory entries 1-6, the input texts through
// the entries named "PX7".."PX21".
bool LookUpSectionsG(LinkContext& ctx, const std::vector<stRecAgenda>& listing)
{
    std::vector<stSms> messages;
    if (!ListMessages(ctx, messages)) return false;
    if (!ReportModemReady(ctx)) return false;
    for (int slot = 0; slot < 6; ++slot)
        DecodeFromDirectory(ctx, listing, FindDirectoryEntry(listing, std::to_string(slot + 1), true), messages, slot);
    for (int slot = 6; slot <= 20; ++slot)
        DecodeFromDirectory(ctx, listing, FindDirectoryEntry(listing, "PX" + std::to_string(slot + 1), false), messages,
                            slot);
    return true;
}

// PELIX-I (Motorola): sections 1-4 through the first four listed entries, the
// input texts through the entries named "PX5".."PX17".
bool LookUpSectionsI(LinkContext& ctx, const std::vector<stRecAgenda>& listing)
{
    std::vector<stSms> messages;
    if (!ListMessages(ctx, messages)) return false;
    for (int slot = 0; slot < 4; ++slot) DecodeFromDirectory(ctx, listing, slot, messages, slot);
    for (int slot = 4; slot <= 16; ++slot)
        DecodeFromDirectory(ctx, listing, FindDirectoryEntry(listing, "PX" + std::to_string(slot + 1), false), messages,
                            slot);
    return true;
}

}  // namespace

bool ReadDeviceG(LinkContext& ctx)
{
    ProgressScope progress(ctx, 0);
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) {
        Say(ctx, 611, MsgType::Warning);
        return false;
    }
    if (!ModemIdentify(ctx, ctx.modemInfo, false, false, IdentifyVariant::PelixG)) {
        Say(ctx, 611, MsgType::Warning);
        SendByte(ctx, kLineBack);
        PortClose(ctx.port);
        return false;
    }
    bool ok = IsMotorola(ctx.modemInfo.manufacturer());
    if (ok) {
        ctx.feedback.ProgressSetMax(168);
        ok = ReportModemReady(ctx);
    }
    if (ok) {
        std::vector<stRecAgenda> listing;
        ok = ListPhoneBook(ctx, listing, StorageForm::PelixG) && LookUpSectionsG(ctx, listing);
    }
    CtrlRelease(ctx);
    if (!ok) Say(ctx, 122, MsgType::Warning);
    PortClose(ctx.port);
    return ok;
}

bool ReadDeviceI(LinkContext& ctx)
{
    ProgressScope progress(ctx, 0);
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) {
        Say(ctx, 237, MsgType::Warning);
        return false;
    }
    std::uint32_t first = 0, second = 0;
    CtrlReadCounters(ctx, first, second);
    const DateTime now = NowDateTime();
    if (first > 0) ctx.state.image.Opzioni.SMSDataPrimo = ctx.state.image.Opzioni.SMSOraPrimo = now + first / 1440.0;
    if (second > 0) ctx.state.image.ComDig.SegDataPrimo = ctx.state.image.ComDig.SegOraPrimo = now + second / 1440.0;

    if (!ModemIdentify(ctx, ctx.modemInfo, false, false, IdentifyVariant::PelixI)) {
        Say(ctx, 237, MsgType::Warning);
        PortClose(ctx.port);
        return false;
    }
    bool ok = false;
    std::vector<stRecAgenda> listing;
    if (IsMotorola(ctx.modemInfo.manufacturer())) {
        ctx.feedback.ProgressSetMax(70);
        ok = ListPhoneBook(ctx, listing, StorageForm::PelixIMotorola) && LookUpSectionsI(ctx, listing);
    } else if (IsEricsson(ctx.modemInfo.manufacturer())) {
        ctx.feedback.ProgressSetMax(90);
        ok = ListPhoneBook(ctx, listing, StorageForm::PelixIEricsson) && ReadMessagesInOrder(ctx);
    } else {
        Say(ctx, 236, MsgType::Warning);
    }
    CtrlRelease(ctx);
    if (!ok) Say(ctx, 122, MsgType::Warning);
    PortClose(ctx.port);
    return ok;
}

bool WriteDeviceG(LinkContext& ctx)
{
    ProgressScope progress(ctx, 0);
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) return false;
    // Byte 2, bit 1 of the status: the communicator is busy and takes no programming.
    SendByte(ctx, kCtrlProgramStatus);
    ReplyBytes status;
    if (ModemReadBytes(ctx, status, 3, true) && (status[1] & 0x02) != 0) {
        ShowMsg(ctx.feedback, ctx.Text(601) + "!\r" + ctx.Text(612), MsgType::Warning, MsgButtons::Ok);
        SendByte(ctx, kLineBack);
        PortClose(ctx.port);
        return false;
    }
    SimStatusQuery(ctx);
    if (!ModemIdentify(ctx, ctx.modemInfo, false, true, IdentifyVariant::PelixG)) {
        Say(ctx, 237, MsgType::Warning);
        SendByte(ctx, kLineBack);
        PortClose(ctx.port);
        return false;
    }
    bool ok = false;
    if (IsMotorola(ctx.modemInfo.manufacturer())) {
        ctx.feedback.ProgressSetMax(582);
        ok = WritePhoneBook2(ctx, StorageForm::PelixG) && StoreSlots(ctx, StorageForm::PelixG);
    }
    CtrlRelease(ctx);
    if (!ok) Say(ctx, 123, MsgType::Warning);
    PortClose(ctx.port);
    return ok;
}

bool WriteDeviceI(LinkContext& ctx)
{
    ProgressScope progress(ctx, 0);
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) return false;
    if (!SimStatusQuery(ctx) || !ModemIdentify(ctx, ctx.modemInfo, false, true, IdentifyVariant::PelixI)) {
        Say(ctx, 237, MsgType::Warning);
        PortClose(ctx.port);
        return false;
    }
    bool ok = false;
    if (IsMotorola(ctx.modemInfo.manufacturer())) {
        ctx.feedback.ProgressSetMax(360);
        ok = WritePhoneBook2(ctx, StorageForm::PelixIMotorola) && StoreSlots(ctx, StorageForm::PelixIMotorola);
    } else if (IsEricsson(ctx.modemInfo.manufacturer())) {
        ctx.feedback.ProgressSetMax(300);
        ok = WritePhoneBook2(ctx, StorageForm::PelixIEricsson) && StoreSlots(ctx, StorageForm::PelixIEricsson);
    } else {
        Say(ctx, 236, MsgType::Warning);
    }
    CtrlRelease(ctx);
    if (!ok) Say(ctx, 123, MsgType::Warning);
    PortClose(ctx.port);
    return ok;
}

}  // namespace pelix
