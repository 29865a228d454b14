#include "link/firstgen_device.h"

#include "link/codec/records.h"

namespace pelix {

namespace {

// Sends a command `times` times in a row, waiting T x k after each; the replies
// are not read. A reply lost on the way is covered by the repeats.
void Repeat(LinkContext& ctx, const std::string& command, int times, int k)
{
    for (int i = 0; i < times && !ctx.Closing(); ++i) {
        ModemSend(ctx, command);
        WaitT(ctx, k);
    }
}

constexpr int kRepeats = 5;
constexpr int kFirstClearedSlot = 2;
constexpr int kLastClearedSlot = 40;
constexpr int kFirstRecordSlot = 2;

}  // namespace

std::string AtArgument(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != 0x7F) out += c;
    return out;
}

void ClearStoredSms(LinkContext& ctx)
{
    for (int s = kFirstClearedSlot; s <= kLastClearedSlot && !ctx.Closing(); ++s)
        Repeat(ctx, "at+cmgd=" + std::to_string(s), kRepeats, 1);
}

void SelectStorage(LinkContext& ctx, int which)
{
    ModemSend(ctx, which == 1 ? "at+cpbs=\"SM\"" : "at+cmgf=1");
    WaitT(ctx, 3);
}

void WritePhoneBook(LinkContext& ctx)
{
    const Tag_GlobalBuffer& img = ctx.state.image;
    const int inUse = PhoneEntriesInUse(ctx.Model());
    for (int n = 1; n <= inUse && !ctx.Closing(); ++n) Repeat(ctx, "AT+CPBW=" + std::to_string(n), kRepeats, 1);
    for (int n = 1; n <= kPhoneEntries && !ctx.Closing(); ++n) {
        // The number goes out unquoted: a comma in it would move the fields, so
        // it is left out with everything else that cannot stand in an argument.
        std::string number = AtArgument(img.NumTel[static_cast<std::size_t>(n - 1)].Numero.str());
        std::erase(number, ',');
        if (number.empty()) continue;
        const std::string index = std::to_string(n);
        Repeat(ctx, "AT+CPBW=" + index + "," + number + ",,TELNUM" + index, kRepeats, 3);
    }
}

bool StoreRecord(LinkContext& ctx, const std::string& text)
{
    ModemSend(ctx, "AT+CMGW,,\"STO UNSENT\"");
    WaitT(ctx, 1);
    // The prompt ends without CR, so it is rarely seen as a line: the wait ends on
    // the one-second limit, and only an error line stops the record here.
    {
        const LinkStopwatch watch(ctx);
        while (watch.WholeSeconds() <= 1 && !ctx.Closing()) {
            std::string line;
            if (!ModemReadLine(ctx, line)) continue;
            if (line.find('>') != std::string::npos) break;
            if (ContainsNoCase(line, "error")) return false;
        }
    }
    ModemSendSmsText(ctx, text.empty() ? std::string(" ") : text);
    const LinkStopwatch watch(ctx);
    while (watch.WholeSeconds() <= 20 && !ctx.Closing()) {
        std::string line;
        if (!ModemReadLine(ctx, line)) continue;
        if (ContainsNoCase(line, "ok")) return true;
        if (ContainsNoCase(line, "error")) return false;
    }
    return false;
}

std::string ReadRecord(LinkContext& ctx, int slot)
{
    ModemSend(ctx, "at+cmgr=" + std::to_string(slot));
    WaitT(ctx, 10);
    const LinkStopwatch watch(ctx);
    std::string line;
    while (!ctx.Closing()) {
        ModemReadRawLine(ctx, line);
        WaitT(ctx, 5);
        if (!line.empty() && line.find("\"STO UNSENT\"") == std::string::npos) break;
        if (watch.WholeSeconds() > 20) break;
    }
    return line;
}

void ReadPhoneBook(LinkContext& ctx)
{
    const int inUse = PhoneEntriesInUse(ctx.Model());
    for (int n = 1; n <= inUse && !ctx.Closing(); ++n) {
        WaitT(ctx, 1);
        ModemSend(ctx, "at+cpbr=" + std::to_string(n));
        WaitT(ctx, 4);
        const LinkStopwatch watch(ctx);
        std::string line;
        while (watch.WholeSeconds() <= 21 && !ctx.Closing()) {
            if (ModemReadLongLine(ctx, line) || !line.empty()) break;
        }
        // +CPBR: 3,"0212345678",129,"TELNUM3"  -> 0212345678
        std::string number;
        const std::size_t q1 = line.find('"');
        if (q1 != std::string::npos) {
            const std::size_t q2 = line.find('"', q1 + 1);
            number = line.substr(q1 + 1, q2 == std::string::npos ? std::string::npos : q2 - q1 - 1);
        }
        ctx.state.image.NumTel[static_cast<std::size_t>(n - 1)].Numero = number;
    }
}

bool WriteConfigurationA(LinkContext& ctx, double release)
{
    ClearStoredSms(ctx);
    SelectStorage(ctx, 1);
    WaitT(ctx, 5);
    WritePhoneBook(ctx);
    WaitT(ctx, 2);
    SelectStorage(ctx, 2);
    WaitT(ctx, 2);
    const int records = RecordCount(release);
    for (int r = 0; r < records; ++r) {
        WaitT(ctx, 4);
        if (ctx.Closing()) return false;
        if (!StoreRecord(ctx, BuildRecord(ctx.state.image, r, release))) return false;
    }
    return true;
}

void ReadConfigurationA(LinkContext& ctx, double release)
{
    const int records = RecordCount(release);
    for (int r = 0; r < records && !ctx.Closing(); ++r) {
        ModemSend(ctx, "ATE0");
        WaitT(ctx, 3);
        const std::string text = ReadRecord(ctx, kFirstRecordSlot + r);
        DecodeRecord(ctx.state.image, ctx.state.EventiAssegnati, r, text, release);
    }
    ReadPhoneBook(ctx);
}

}  // namespace pelix
