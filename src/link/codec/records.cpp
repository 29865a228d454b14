#include "records.h"

#include "codecutil.h"
#include "common/release.h"
#include "common/text.h"

namespace pelix {

using namespace codec;

namespace {

bool Family11(double release) { return release >= kRelease11; }

const char* const kEventNames[7] = {"FP", "FG", "BC", "BP", "CO", "CI", "MS"};

std::uint8_t* EventFlag(Tag_Uscita& u, int k)
{
    std::uint8_t* flags[7] = {&u.FP, &u.FG, &u.BC, &u.BP, &u.CO, &u.CI, &u.MS};
    return flags[k];
}

const char* Polarity(std::uint8_t p) { return p == 0 ? "L" : p == 1 ? "H" : ""; }

std::string Record0(const Tag_GlobalBuffer& img, bool family11)
{
    std::string s;
    for (int i = 0; i < 4; ++i) {
        const Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        const std::string key = "AV" + std::to_string(i + 1) + "=";
        if (family11 && i == 3 && img.Opzioni.CommutaChiama) s += key + std::to_string(in.Messaggio + 1) + "00000000;";
        else if (family11 && in.Serv) s += key + "SERV;";
        else s += key + std::to_string(in.Messaggio + 1) + Flags8(in.MaskTel) + ";";
    }
    return s;
}

std::string Record1(const Tag_GlobalBuffer& img)
{
    std::string s;
    for (int i = 0; i < kOutputs; ++i) {
        Tag_Uscita u = img.Uscite[static_cast<std::size_t>(i)];
        s += "OS" + std::to_string(i + 1) + "=";
        bool first = true;
        for (int k = 0; k < 7; ++k) {
            if (!*EventFlag(u, k)) continue;
            if (!first) s += ",";
            s += kEventNames[k];
            first = false;
        }
        s += ";";
    }
    return s;
}

std::string Record2(const Tag_GlobalBuffer& img, bool family11)
{
    const Tag_Opzioni& o = img.Opzioni;
    std::string s = "IP=";
    for (int i = 0; i < 4; ++i) s += Polarity(img.Ingresso[static_cast<std::size_t>(i)].Polarita);
    s += ";OP=";
    for (int i = 0; i < kOutputs; ++i) s += Polarity(img.Uscite[static_cast<std::size_t>(i)].Polarita);
    s += ";";
    if (o.Squillo) s += "VS=0";
    if (o.Selezione) s += "VS=2";
    if (o.Voceinlinea) s += "VS=1";
    s += ";RC=";
    s += o.Richiama ? "1;" : "0;";
    if (!o.Prefisso.empty()) s += "PRE=" + o.Prefisso.str() + ";";
    if (family11) s += "BD=" + std::to_string(o.CifreRim) + ";";
    return s;
}

std::string Record3(const Tag_GlobalBuffer& img)
{
    std::string s;
    for (int i = 0; i < 4; ++i) {
        const Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        s += "AS" + std::to_string(i + 1) + "=" + std::to_string(in.SmsA) + std::to_string(in.SmsR) + Flags8(in.MaskSms) +
             ";";
    }
    return s;
}

std::string Record4(const Tag_GlobalBuffer& img)
{
    const Tag_Opzioni& o = img.Opzioni;
    std::string s = "OR=";
    for (const auto& u : img.Uscite) s += std::to_string(u.OUTRESERV);
    s += ";SC=#" + TrimSpaces(o.CodUscSms.view()) + "#;CG=";
    if (o.UsaGsm) s += std::to_string(o.UsaGsm);
    else if (o.CommutaChiama) s += "2";
    s += ";";
    return s;
}

std::string Record5(const Tag_GlobalBuffer& img)
{
    std::string s;
    for (const auto& u : img.Uscite) s += u.Messaggio.str() + ";";
    return s;
}

// ---- decoding ----

// The piece of the record from its key "<key><n>" (any letter case) on.
std::optional<std::string_view> Keyed(std::string_view s, const std::string& key)
{
    const auto p = FindNoCase(s, key);
    if (!p) return std::nullopt;
    return s.substr(*p);
}

void Decode0(Tag_GlobalBuffer& img, std::string_view s, bool family11)
{
    for (int i = 0; i < 4; ++i) {
        const auto piece = Keyed(s, "AV" + std::to_string(i + 1));
        if (!piece) continue;
        Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        if (family11) {
            if (EqualsNoCase(TrimSpaces(Mid(*piece, 5, 4)), "serv")) {
                in.Serv = 1;
                in.MaskTel = 0;
                in.Messaggio = 0;
                continue;
            }
            in.Serv = 0;
        }
        const int d = Digit(At(*piece, 5));
        in.Messaggio = static_cast<std::uint8_t>(d >= 1 ? d - 1 : 0);
        in.MaskTel = ReadFlags8(Mid(*piece, 6, 8), IsOne);
    }
}

void Decode1(Tag_GlobalBuffer& img, int& eventi, std::string_view s)
{
    for (auto& u : img.Uscite)
        for (int k = 0; k < 7; ++k) *EventFlag(u, k) = 0;
    eventi = 0;
    std::size_t from = 0;
    for (int i = 0; i < kOutputs; ++i) {
        const std::size_t semi = s.find(';', from);
        const std::size_t end = semi == std::string_view::npos ? s.size() : semi + 1;
        const std::string_view seg = from <= s.size() ? s.substr(from, end - from) : std::string_view();
        Tag_Uscita& u = img.Uscite[static_cast<std::size_t>(i)];
        for (int k = 0; k < 7; ++k) {
            if (seg.find(kEventNames[k]) == std::string_view::npos) continue;
            *EventFlag(u, k) = 1;
            ++eventi;
        }
        if (semi == std::string_view::npos) break;
        from = end;
    }
}

void Decode2(Tag_GlobalBuffer& img, std::string_view s, bool family11)
{
    Tag_Opzioni& o = img.Opzioni;
    auto high = [](char c) { return c == 'H' || c == 'h'; };
    if (auto p = Find(s, "IP="))
        for (std::size_t i = 0; i < 4; ++i) img.Ingresso[i].Polarita = high(At(s, *p + 4 + i)) ? 1 : 0;
    if (auto p = Find(s, "OP="))
        for (std::size_t i = 0; i < kOutputs; ++i) img.Uscite[i].Polarita = high(At(s, *p + 4 + i)) ? 1 : 0;
    if (auto p = Find(s, "VS=")) {
        const char c = At(s, *p + 4);
        if (c == '0' || c == '1' || c == '2') {
            o.Squillo = c == '0';
            o.Voceinlinea = c == '1';
            o.Selezione = c == '2';
        }
    }
    if (auto p = Find(s, "RC=")) {
        const char c = At(s, *p + 4);
        if (c == '0' || c == '1') o.Richiama = c == '1';
    }
    if (auto p = Find(s, "PRE=")) {
        const std::string_view v = s.substr(*p + 4, 4);
        o.Prefisso = v.substr(0, v.find(';'));
    }
    if (family11)
        if (auto p = Find(s, "BD=")) {
            const int d = Digit(At(s, *p + 4));
            o.CifreRim = d < 0 ? 0 : d;
        }
}

void Decode3(Tag_GlobalBuffer& img, std::string_view s)
{
    for (int i = 0; i < 4; ++i) {
        const auto piece = Keyed(s, "AS" + std::to_string(i + 1));
        if (!piece) continue;
        Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        const int a = Digit(At(*piece, 5));
        const int r = Digit(At(*piece, 6));
        in.SmsA = static_cast<std::uint8_t>(a < 0 ? 0 : a);
        in.SmsR = static_cast<std::uint8_t>(r < 0 ? 0 : r);
        in.MaskSms = ReadFlags8(Mid(*piece, 7, 8), IsOne);
    }
}

void Decode4(Tag_GlobalBuffer& img, int& eventi, std::string_view s)
{
    Tag_Opzioni& o = img.Opzioni;
    if (auto p = FindNoCase(s, "OR=")) {
        for (std::size_t i = 0; i < kOutputs; ++i) {
            const char c = At(s, *p + 4 + i);
            if (c == '\0') break;
            Tag_Uscita& u = img.Uscite[i];
            if (c != '0') {
                u.OUTRESERV = 1;
                for (int k = 0; k < 7; ++k) *EventFlag(u, k) = 0;
            } else {
                u.OUTRESERV = 0;
            }
        }
        // A reserved output loses its event flags: count what is left.
        eventi = CountOutputEvents(img);
    }
    if (auto v = Between(s, "#", "#")) o.CodUscSms = *v;
    if (auto p = Find(s, "CG=")) {
        const int d = Digit(At(s, *p + 4));
        Tag_Ingresso& in4 = img.Ingresso[3];
        if (d <= 0) {
            o.UsaGsm = 0;
            o.CommutaChiama = 0;
        } else if (d == 1) {
            o.UsaGsm = 1;
            o.CommutaChiama = 0;
            in4.Serv = 0;
        } else if (d == 2) {
            o.UsaGsm = 0;
            o.CommutaChiama = 1;
            in4.Serv = 0;
            in4.MaskTel = 1;
        }
    }
}

void Decode5(Tag_GlobalBuffer& img, std::string_view s)
{
    if (!s.empty() && (s.front() == '\n' || s.front() == '\r')) s.remove_prefix(1);
    std::size_t from = 0;
    for (int i = 0; i < kOutputs; ++i) {
        const std::size_t semi = s.find(';', from);
        if (semi == std::string_view::npos) break;
        img.Uscite[static_cast<std::size_t>(i)].Messaggio = s.substr(from, semi - from);
        from = semi + 1;
    }
}

}  // namespace

int RecordCount(double release) { return Family11(release) ? kRecordCount : 3; }

std::string BuildRecord(const Tag_GlobalBuffer& image, int r, double release)
{
    const bool f11 = Family11(release);
    switch (r) {
    case 0: return Record0(image, f11);
    case 1: return Record1(image);
    case 2: return Record2(image, f11);
    case 3: return Record3(image);
    case 4: return Record4(image);
    case 5: return Record5(image);
    default:
        if (r >= 6 && r < kRecordCount) {
            const std::string t = TrimControls(image.Sms[static_cast<std::size_t>(r - 5)].view());
            return t.empty() ? std::string(" ") : t;
        }
        return {};
    }
}

void DecodeRecord(Tag_GlobalBuffer& image, int& eventiAssegnati, int r, std::string_view text, double release)
{
    const bool f11 = Family11(release);
    if (r >= 0 && r <= 5 && text.size() <= 5) return;
    switch (r) {
    case 0: Decode0(image, text, f11); break;
    case 1: Decode1(image, eventiAssegnati, text); break;
    case 2: Decode2(image, text, f11); break;
    case 3: Decode3(image, text); break;
    case 4: Decode4(image, eventiAssegnati, text); break;
    case 5: Decode5(image, text); break;
    default:
        if (r >= 6 && r < kRecordCount && !text.empty()) {
            auto& sms = image.Sms[static_cast<std::size_t>(r - 5)];
            sms = TrimControls(text);
            if (FindNoCase(sms.view(), "cmgr")) sms.clear();
        }
        break;
    }
}

}  // namespace pelix
