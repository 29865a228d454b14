#include "sections.h"

#include "codecutil.h"
#include "common/text.h"

#include <algorithm>

namespace pelix {

using namespace codec;

namespace {

constexpr std::uint32_t kUnix2000 = 946684800;  // 2000-01-01 00:00, the device clock's origin

std::string Trim(std::string_view s) { return TrimSpaces(s); }

// Section 1: outputs 1-4.
std::string BuildOutputs(const Tag_GlobalBuffer& img, int model)
{
    std::string s;
    const int entries = PhoneEntriesInUse(model);
    for (int i = 0; i < 4; ++i) {
        const Tag_Uscita& u = img.Uscite[static_cast<std::size_t>(i)];
        s += "O" + std::to_string(i + 1) + "=" + (u.Polarita ? "H;" : "L;");
        if (!u.OUTRESERV) {
            s += "E:" + Flags8(u.MaskEventiPELIX_I) + ";";
            continue;
        }
        s += "M:" + std::string(u.Messaggio.view().substr(0, 8)) + "," + std::to_string(u.Conferma) + ";";
        // The first unbroken run of numbers allowed to command this output.
        int start = 0;
        int end = 0;
        for (int k = 0; k < entries; ++k) {
            const bool allowed = img.NumTel[static_cast<std::size_t>(k)].Uscite & (1u << i);
            if (allowed) {
                if (start == 0) start = k + 1;
                end = k + 1;
            } else if (start != 0) {
                break;
            }
        }
        s += Padded(start, 2) + "-" + Padded(end, 2) + ",";
        s += (u.Tipo ? Padded(u.TempoOn, 3) : std::string("255")) + ";";
    }
    return s;
}

// Section 2: which inputs send texts, and to whom.
std::string BuildInputMasks(const Tag_GlobalBuffer& img, int model)
{
    std::string s;
    const int inputs = model == kModelG ? 8 : 7;
    for (int i = 0; i < inputs; ++i) {
        const Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        s += static_cast<char>('A' + i);
        s += "=";
        s += in.SMSAttiv.empty() ? "0" : "1";
        s += in.SMSRipr.empty() ? "0" : "1";
        s += "," + Flags8(in.MaskSms) + ";";
    }
    return s;
}

std::string BuildOptions(const Tag_GlobalBuffer& img, int model, std::uint32_t nowUnix)
{
    const Tag_Opzioni& o = img.Opzioni;
    std::string s = "IP:";
    for (int i = 0; i < 4; ++i) s += img.Ingresso[static_cast<std::size_t>(i)].Polarita ? "H" : "L";
    s += ";IS:";
    for (int i = 0; i < 3; ++i) {
        const Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        s += in.ServPELIX_I_1 ? "1" : "0";
        s += in.ServPELIX_I_2 ? "1" : "0";
    }
    s += "00;MP:" + Padded(o.SMSIntervallo, 6) + ",DP:" + Padded(img.ComDig.SegIntervallo, 6);
    s += ";C2:" + PadLeft(Trim(img.ComDig.Eventi[8].CodiceUtente.view()), 4, '0');
    if (model == kModelG) {
        s += std::string(";V:") + (img.GPRS.NtelChiamataADT ? "1" : "0");
        s += ";T:" + Padded(o.ControlloCredito, 2);
        s += ";C:" + Trim(o.StringaControllo.view());
        s += std::string(";P") + (o.Priorita ? "A" : "I");
        std::uint32_t first = o.SegPrimoUnix;
        if (Trim(img.GPRS.APN.view()).empty()) first = first + kUnix2000 - nowUnix;  // wraps like the device's 32-bit clock
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(first));
        s += std::string(";D:") + hex;
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(o.SMSPrimoUnix));
        s += std::string(";M:") + hex;
        s += ";U:" + (o.CodUscSms.size() > 3 ? o.CodUscSms.str() : std::string("7305"));
    } else {
        s += ";T:" + Padded(o.ControlloCredito, 2);
        s += std::string(";P") + (o.Priorita ? "A" : "I");
    }
    s += ";R:" + std::to_string(o.CifreRim);
    s += ";P:" + Trim(o.Prefisso.view()) + ";";
    return s;
}

std::string BuildEvents(const Tag_GlobalBuffer& img, int model)
{
    const auto& ev = img.ComDig.Eventi;
    auto flag = [&ev](int m) { return ev[static_cast<std::size_t>(m)].Invia ? std::string("1") : std::string("0"); };
    auto code2 = [&ev](int m) { return PadLeft(Trim(ev[static_cast<std::size_t>(m)].CodiceEvento2.view()), 2, '0'); };
    std::string s;
    const char* full = "ABCD";
    for (int k = 0; k < 4; ++k) {
        const int m = 2 * k;
        const Tag_Evento& e = ev[static_cast<std::size_t>(m)];
        s += std::string(1, full[k]) + ":" + flag(m) + flag(m + 1) + "," + PadLeft(Trim(e.CodiceUtente.view()), 4, '0') +
             ";" + PadLeft(Trim(e.CodiceEvento1.view()), 1, '0') + code2(m) + ";";
    }
    const int pairs = model == kModelG ? 3 : 2;  // E, F (and G on PELIX-G)
    for (int k = 0; k < pairs; ++k) {
        const int m = 8 + 2 * k;
        s += std::string(1, static_cast<char>('E' + k)) + ":" + flag(m) + flag(m + 1) + "," + code2(m) + ";";
    }
    if (model == kModelG) {
        s += "H:" + flag(14) + "0," + code2(14) + ";";
        s += "I:0" + flag(15) + "," + code2(15) + ";";
        s += "J:" + flag(16) + "0," + code2(16) + ";";
        s += "K:0" + flag(17) + "," + code2(17) + ";";
    } else {
        s += "G:" + flag(12) + "0," + code2(12) + ";";
        s += "H:" + flag(13) + "0," + code2(13) + ";";
    }
    return s;
}

std::string BuildNetwork(const Tag_GlobalBuffer& img)
{
    const Tag_GPRS& g = img.GPRS;
    std::string s = "R:";
    for (auto b : g.IP) s += Padded(b, 3);
    s += "," + Padded(g.Port, 5) + ";";
    for (auto b : g.IP2) s += Padded(b, 3);
    s += "," + Padded(g.Port2, 5) + ";A:" + g.Account.str() + "," + g.DNIS.str() + ";U:" + g.UserName.str() +
         ";P:" + g.Pwd.str();
    s += g.SuperAttiva ? ";S:" + Padded(g.Super, 5) + ";" : std::string(";");
    return s;
}

std::string BuildSimApn(const Tag_GlobalBuffer& img, const std::string& simIdentity)
{
    const Tag_GPRS& g = img.GPRS;
    return "S:" + simIdentity + ";A:" + g.APN.str() + ";B:" + g.APN2.str() + ";N:" + g.CID1.str() + ";P:" + g.CID2.str() +
           ";";
}

// ---- decoding ----

// The piece of `s` that starts at `key` and runs to the first of `next` keys
// after it (or to the end). The first key of a section sits at its start; the
// others are looked for behind the ";" that closes the previous field, so a
// user's text cannot be taken for a key.
std::optional<std::string_view> PieceAfter(std::string_view s, const std::string& key, const std::string& nextKey)
{
    std::optional<std::size_t> at;
    if (s.substr(0, key.size()) == key) at = 0;
    else if (auto p = Find(s, ";" + key)) at = *p + 1;
    if (!at) return std::nullopt;
    std::size_t end = s.size();
    if (!nextKey.empty())
        if (auto q = Find(s, ";" + nextKey, *at)) end = *q + 1;
    return s.substr(*at, end - *at);
}

void DecodeOutputs(Tag_GlobalBuffer& img, std::string_view s)
{
    for (int i = 0; i < 4; ++i) {
        const std::string key = "O" + std::to_string(i + 1) + "=";
        const std::string next = i < 3 ? "O" + std::to_string(i + 2) + "=" : std::string();
        const auto piece = PieceAfter(s, key, next);
        if (!piece) continue;
        Tag_Uscita& u = img.Uscite[static_cast<std::size_t>(i)];
        u.Polarita = At(*piece, 4) == 'L' ? 0 : 1;
        const char kind = At(*piece, 6);
        if (kind == 'E') {
            u.OUTRESERV = 0;
            u.MaskEventiPELIX_I = ReadFlags8(Mid(*piece, 8, 8), IsNotZero);
        } else if (kind == 'M') {
            u.OUTRESERV = 1;
            const std::string_view rest = piece->substr(std::min<std::size_t>(7, piece->size()));
            const std::size_t comma = rest.find(',');
            u.Messaggio = rest.substr(0, comma);
            if (comma == std::string_view::npos) continue;
            const int conferma = Digit(At(rest, comma + 2));
            u.Conferma = static_cast<std::uint8_t>(conferma < 0 ? 0 : conferma);
            const std::size_t semi = rest.find(';', comma);
            if (semi == std::string_view::npos) continue;
            const std::string_view run = rest.substr(semi + 1);
            const long long start = Number(Mid(run, 1, 2)).value_or(0);
            const long long end = Number(Mid(run, 4, 2)).value_or(0);
            if (start >= 1 && end >= start)
                for (long long k = start - 1; k <= end - 1 && k < kPhoneEntries; ++k)
                    img.NumTel[static_cast<std::size_t>(k)].Uscite |= static_cast<std::uint8_t>(1u << i);
            const std::size_t comma2 = run.find(',');
            long long tempo = 255;
            if (comma2 != std::string_view::npos) tempo = Number(Mid(run, comma2 + 2, 3)).value_or(255);
            if (tempo > 255) tempo = 255;
            u.TempoOn = static_cast<std::uint8_t>(tempo);
            u.Tipo = tempo == 255 ? 0 : 1;
        }
    }
}

void DecodeInputMasks(Tag_GlobalBuffer& img, int model, std::string_view s)
{
    const int inputs = model == kModelG ? 8 : 7;
    for (int i = 0; i < inputs; ++i) {
        const std::string key = std::string(1, static_cast<char>('A' + i)) + "=";
        const std::string next = i + 1 < inputs ? std::string(1, static_cast<char>('A' + i + 1)) + "=" : std::string();
        if (const auto piece = PieceAfter(s, key, next))
            img.Ingresso[static_cast<std::size_t>(i)].MaskSms = ReadFlags8(Mid(*piece, 6, 8), IsOne);
    }
}

// The text right after `key` (looked for behind a ";" or "," unless it opens the section).
std::optional<std::string_view> After(std::string_view s, std::string_view key)
{
    if (s.substr(0, key.size()) == key) return s.substr(key.size());
    for (const char* lead : {";", ","}) {
        if (auto p = Find(s, std::string(lead) + std::string(key))) return s.substr(*p + 1 + key.size());
    }
    return std::nullopt;
}

void DecodeOptions(Tag_GlobalBuffer& img, int model, std::string_view s)
{
    Tag_Opzioni& o = img.Opzioni;
    if (auto v = After(s, "IP:"))
        for (std::size_t i = 0; i < 4 && i < v->size(); ++i) img.Ingresso[i].Polarita = (*v)[i] == 'H' ? 1 : 0;
    if (auto v = After(s, "IS:"))
        for (std::size_t i = 0; i < 4; ++i) {
            img.Ingresso[i].ServPELIX_I_1 = IsNotZero(At(*v, 2 * i + 1)) ? 1 : 0;
            img.Ingresso[i].ServPELIX_I_2 = IsNotZero(At(*v, 2 * i + 2)) ? 1 : 0;
        }
    if (auto v = After(s, "MP:")) o.SMSIntervallo = static_cast<std::uint32_t>(Number(v->substr(0, 6)).value_or(0));
    if (auto v = After(s, "DP:"))
        img.ComDig.SegIntervallo = static_cast<std::uint32_t>(Number(v->substr(0, 6)).value_or(0));
    if (auto v = After(s, "C2:")) {
        const std::string_view code = v->substr(0, 4);
        img.ComDig.Eventi[8].CodiceUtente = code == "0000" ? std::string_view() : code;
    }
    if (auto v = After(s, "T:")) {
        const long long t = Number(v->substr(0, 2)).value_or(0);
        o.ControlloCredito = static_cast<std::uint8_t>(t);
        o.ControlloCreditoAttivo = t != 0 ? 1 : 0;
    }
    // ";P" followed by the priority letter; ";P:" is the prefix.
    for (std::size_t from = 0;;) {
        const auto p = Find(s, ";P", from);
        if (!p) break;
        const char c = At(s, *p + 3);
        if (c != ':') {
            o.Priorita = c == 'A' ? 1 : 0;
            break;
        }
        from = *p + 1;
    }
    if (auto v = After(s, "R:")) {
        const int d = Digit(At(*v, 1));
        o.CifreRim = d < 0 ? 0 : d;
    }
    if (auto v = After(s, "P:")) o.Prefisso = v->substr(0, v->find(';'));
    if (model != kModelG) return;
    if (auto v = After(s, "V:")) img.GPRS.NtelChiamataADT = At(*v, 1) == '1' ? 1 : 0;
    if (auto v = Between(s, ";C:", ";P")) o.StringaControllo = *v;
    if (auto v = After(s, "D:")) o.SegPrimoUnix = Hex32(v->substr(0, 8)).value_or(0);
    if (auto v = After(s, "M:")) o.SMSPrimoUnix = Hex32(v->substr(0, 8)).value_or(0);
    if (auto v = After(s, "U:")) o.CodUscSms = v->substr(0, 4);
}

void DecodeEvents(Tag_GlobalBuffer& img, int model, std::string_view s)
{
    const bool g = model == kModelG;
    const std::string letters = g ? "ABCDEFGHIJK" : "ABCDEFGH";
    auto& ev = img.ComDig.Eventi;
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const std::string key = std::string(1, letters[k]) + ":";
        const std::string next = k + 1 < letters.size() ? std::string(1, letters[k + 1]) + ":" : std::string();
        const auto piece = PieceAfter(s, key, next);
        if (!piece) continue;
        // Entries of this letter: pairs for A-F (and G on PELIX-G), single entries after.
        const bool pair = k < 6 || (g && k == 6);
        const int first = pair ? static_cast<int>(2 * k) : (g ? 14 + static_cast<int>(k) - 7 : 12 + static_cast<int>(k) - 6);
        const int count = pair ? 2 : 1;
        for (int m = first; m < first + count && m < kEvents; ++m) {
            Tag_Evento& e = ev[static_cast<std::size_t>(m)];
            // The flag of an even entry is the first flag character, of an odd one the
            // second; PELIX-I writes entry 13's flag first, and it is read from there.
            const bool firstChar = m % 2 == 0 || (!g && m == 13);
            e.Invia = IsNotZero(At(*piece, firstChar ? 3 : 4)) ? 1 : 0;
            if (k < 4) {
                e.CodiceUtente = Mid(*piece, 6, 4);
                e.CodiceEvento1 = Mid(*piece, 11, 1);
                e.CodiceEvento2 = Mid(*piece, 12, 2);
            } else {
                e.CodiceEvento2 = Mid(*piece, 6, 2);
            }
        }
    }
}

std::uint8_t Byte(std::string_view digits)
{
    const long long v = Number(digits).value_or(0);
    return static_cast<std::uint8_t>(v > 255 ? 255 : v);
}

std::int32_t Int(std::string_view digits) { return static_cast<std::int32_t>(Number(digits).value_or(0)); }

void DecodeNetwork(Tag_GlobalBuffer& img, std::string_view s)
{
    Tag_GPRS& g = img.GPRS;
    if (s.substr(0, 2) == "R:") {
        const std::string_view r = s.substr(2);
        for (std::size_t b = 0; b < 4; ++b) g.IP[b] = Byte(Mid(r, 1 + 3 * b, 3));
        g.Port = Int(Mid(r, 14, 5));
        for (std::size_t b = 0; b < 4; ++b) g.IP2[b] = Byte(Mid(r, 20 + 3 * b, 3));
        g.Port2 = Int(Mid(r, 33, 5));
    }
    if (auto p = Find(s, ";A:")) {
        const std::string_view a = s.substr(*p + 1);
        g.Account = Mid(a, 3, 10);
        g.DNIS = Mid(a, 14, 12);
    }
    if (auto v = Between(s, ";U:", ";P:")) g.UserName = *v;
    if (Find(s, ";S")) {
        if (auto v = Between(s, ";P:", ";S")) g.Pwd = *v;
        if (auto v = Between(s, ";S:", ";!")) g.Super = Int(*v);
        g.SuperAttiva = 1;
    } else if (auto v = Between(s, ";P:", ";!")) {
        g.Pwd = *v;
        g.Super = 0;
        g.SuperAttiva = 0;
    }
}

void DecodeSimApn(Tag_GlobalBuffer& img, std::string_view s)
{
    Tag_GPRS& g = img.GPRS;
    if (s.substr(0, 2) == "S:")
        if (auto e = Find(s, ";A:")) g.SIM = s.substr(2, *e - 2);
    if (auto v = Between(s, ";A:", ";B:")) g.APN = *v;
    if (auto v = Between(s, ";B:", ";N:")) g.APN2 = *v;
    if (auto v = Between(s, ";N:", ";P:")) g.CID1 = *v;
    if (auto v = Between(s, ";P:", ";!")) g.CID2 = *v;
}

}  // namespace

int SectionCount(int model) { return model == kModelG ? 6 : 4; }

std::string SectionChecksum(std::string_view text)
{
    unsigned sum = 0;
    for (unsigned char c : text) sum += c;
    return "!" + Padded(sum & 0xFF, 3);
}

TSMSSlots BuildSections(const Tag_GlobalBuffer& image, int model, const std::string& simIdentity, std::uint32_t nowUnix)
{
    TSMSSlots out{};
    const bool g = model == kModelG;
    std::string sections[6] = {BuildOutputs(image, model), BuildInputMasks(image, model),
                               BuildOptions(image, model, nowUnix), BuildEvents(image, model)};
    if (g) {
        sections[4] = BuildNetwork(image);
        sections[5] = BuildSimApn(image, simIdentity);
    }
    const int count = SectionCount(model);
    for (int k = 0; k < count; ++k) {
        std::string& t = sections[k];
        if (g) t += SectionChecksum(t);
        out[static_cast<std::size_t>(k)].Testo = t;
    }
    const int inputs = g ? 8 : 7;
    for (int i = 0; i < inputs; ++i) {
        const Tag_Ingresso& in = image.Ingresso[static_cast<std::size_t>(i)];
        const std::size_t base = static_cast<std::size_t>(count + 2 * i);
        out[base].Testo = TrimSpaces(in.SMSAttiv.view());
        if (i < inputs - 1) out[base + 1].Testo = TrimSpaces(in.SMSRipr.view());
    }
    return out;
}

void DecodeSection(Tag_GlobalBuffer& image, int model, int section, std::string_view text)
{
    const bool g = model == kModelG;
    switch (section) {
    case 1: DecodeOutputs(image, text); break;
    case 2: DecodeInputMasks(image, model, text); break;
    case 3: DecodeOptions(image, model, text); break;
    case 4: DecodeEvents(image, model, text); break;
    case 5: if (g) DecodeNetwork(image, text); break;
    case 6: if (g) DecodeSimApn(image, text); break;
    default: break;
    }
}

void DecodeSlot(Tag_GlobalBuffer& image, int model, int slot, std::string_view text)
{
    const int count = SectionCount(model);
    if (slot < 0 || slot >= kSlotCount) return;
    if (slot < count) {
        DecodeSection(image, model, slot + 1, text);
        return;
    }
    const int inputs = model == kModelG ? 8 : 7;
    const int i = (slot - count) / 2;
    if (i >= inputs) return;
    Tag_Ingresso& in = image.Ingresso[static_cast<std::size_t>(i)];
    if ((slot - count) % 2 == 0) in.SMSAttiv = text;
    else if (i < inputs - 1) in.SMSRipr = text;
}

}  // namespace pelix
