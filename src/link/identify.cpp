#include "link/identify.h"

#include "link/controller.h"

namespace pelix {

namespace {

std::string BetweenFirstAndLastQuote(const std::string& s)
{
    const std::size_t first = s.find('"');
    const std::size_t last = s.rfind('"');
    if (first == std::string::npos || last <= first) return {};
    return s.substr(first + 1, last - first - 1);
}

bool Ask(LinkContext& ctx, const char* command, std::string& answer)
{
    return ModemCommandAnswer(ctx, command, answer);
}

}  // namespace

bool IsMotorola(const std::string& manufacturer) { return UpperCase(manufacturer).find("MOTOROLA") != std::string::npos; }

// Motorola:  +CGMI: "Motorola"        -> MOTOROLA
// Ericsson:  ERICSSON                 -> ERICSSON
std::string IdManufacturer(const std::string& answer)
{
    const std::string t = TrimSpaces(answer);
    if (!t.empty() && answer.find('"') == std::string::npos) return answer;
    return UpperCase(BetweenFirstAndLastQuote(answer));
}

// Motorola:  +CGMM: "GSM900","GSM1800","MODEL=G24"   -> G24 EU
//            +CGMM: "GSM850","GSM1900","MODEL=G24"   -> G24 AM
// Ericsson:  GM47 (or a part number ending in it)     -> GM47 EU
std::string IdModel(const std::string& answer, const std::string& manufacturer)
{
    if (!IsMotorola(manufacturer)) {
        if (answer.find("GM47") != std::string::npos) return "GM47 EU";
        if (answer.find("GM48") != std::string::npos) return "GM48 AM";
        return answer;
    }
    std::string model;
    const std::size_t at = answer.find("MODEL");
    const std::size_t last = answer.rfind('"');
    if (at == std::string::npos) {
        model = BetweenFirstAndLastQuote(answer);
    } else if (last != std::string::npos && last > at + 6) {
        model = answer.substr(at + 6, last - at - 6);  // after "MODEL="
    }
    if (answer.find("GSM900") != std::string::npos)
        model += " EU";
    else if (answer.find("GSM1900") != std::string::npos)
        model += " AM";
    return model;
}

// Motorola:  +CGMR: "G24_G_0C.11.62R"  -> G24_G_0C.11.62R
// Ericsson:  R2B003 prgCXC125582       -> unchanged
std::string IdQuoted(const std::string& answer, bool motorola)
{
    return motorola ? BetweenFirstAndLastQuote(answer) : answer;
}

// Motorola:  +CRSM: 144,0,"98..."  -> from its 12th character on
std::string IdSimData(const std::string& answer, bool motorola)
{
    if (!motorola) return answer;
    return answer.size() > 11 ? answer.substr(11) : std::string();
}

// +COPS: 0,0,"I TIM"  -> I TIM
std::string IdOperator(const std::string& answer)
{
    return answer.find('"') == std::string::npos ? std::string() : BetweenFirstAndLastQuote(answer);
}

bool ModemIdentify(LinkContext& ctx, stRecModemInfo& info, bool releaseAfter, bool forWriting, IdentifyVariant variant)
{
    if (!CtrlConnect(ctx, forWriting)) return false;
    std::string a;
    [&] {
        if (!Ask(ctx, "AT+CGMI\r", a)) return;
        info.manufacturer() = IdManufacturer(a);
        const bool motorola = IsMotorola(info.manufacturer());
        WaitT(ctx, 3);
        if (!Ask(ctx, "AT+CGMM\r", a)) return;
        info.model() = IdModel(a, info.manufacturer());
        WaitT(ctx, 3);
        if (!Ask(ctx, "AT+GMR\r", a)) return;
        info.revision() = IdQuoted(a, motorola);
        WaitT(ctx, 3);
        if (!Ask(ctx, "AT+CGSN\r", a)) return;
        info.serial() = IdQuoted(a, motorola);
        WaitT(ctx, 3);
        if (!Ask(ctx, "AT+CRSM=176,242\r", a)) return;
        info.simData() = IdSimData(a, motorola);
        WaitT(ctx, 3);
        if (!Ask(ctx, "AT+COPS?\r", a)) return;
        info.operatorName() = IdOperator(a);
    }();
    if (variant == IdentifyVariant::PelixG) {
        WaitT(ctx, 2);
        if (releaseAfter) {
            PortFlush(ctx.port);
            CtrlRelease(ctx);
            WaitT(ctx, 2);
        }
    } else if (releaseAfter) {
        CtrlRelease(ctx);
    }
    return true;
}

bool ModemIdentifyA(LinkContext& ctx, stRecModemInfo& info)
{
    // Each query reads into a fresh line, so one that gets no answer records
    // nothing rather than the previous query's answer.
    const auto query = [&](const char* command, std::size_t longerThan) {
        ModemSend(ctx, command);
        WaitT(ctx, 2);
        const LinkStopwatch watch(ctx);
        std::string line;
        while (watch.WholeSeconds() <= 5 && !ctx.Closing()) {
            if (ModemReadLine(ctx, line) && line.size() > longerThan) return line;
        }
        return std::string();
    };
    info.s[0] = query("at+gmm", 3);
    if (info.s[0].empty()) return false;
    info.s[1] = query("at+gmi", 4);
    info.s[2] = query("at+gmr", 3);
    info.s[3] = query("at+gsn", 5);
    const std::string scid = query("at^scid", 6);
    info.s[4] = scid.size() > 6 ? TrimSpaces(scid.substr(6)) : std::string();
    return !info.s[0].empty() && !info.s[4].empty();
}

bool ModemUssd(LinkContext& ctx, bool releaseAfter, bool forWriting, const std::string& serviceCode)
{
    if (!CtrlConnect(ctx, forWriting)) return false;
    // The code goes inside a quoted AT argument: a quote or a line end in it
    // would end the command early and send the rest as another command.
    bool safe = !serviceCode.empty();
    for (char c : serviceCode)
        if (c == '"' || c == '\r' || c == '\n' || c == '\x1A' || c == '\x1B') safe = false;
    std::string answer;
    const bool accepted = safe && ModemCommandAnswer(ctx, "AT+CUSD=1, \"" + serviceCode + "\"\r", answer);
    const std::size_t quote = answer.find('"');
    // A refused or empty answer is reported like an answer without text, so the
    // installer is not left without any word.
    if (accepted && !TrimSpaces(answer).empty() && quote != std::string::npos)
        ShowMsg(ctx.feedback, answer.substr(quote), MsgType::Information, MsgButtons::Ok);
    else
        ShowMsg(ctx.feedback, ctx.Text(164), MsgType::Information, MsgButtons::Ok);
    if (releaseAfter) CtrlRelease(ctx);
    return true;
}

}  // namespace pelix
