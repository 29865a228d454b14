#include "devicefixture.h"

#include "model/datetime.h"
#include "model/imageinit.h"
#include "model/imagejson.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace pelix::test {

namespace {

void Diff(const QJsonValue& a, const QJsonValue& b, const std::string& path, std::vector<std::string>& out)
{
    if (a.isObject() && b.isObject()) {
        const QJsonObject oa = a.toObject(), ob = b.toObject();
        for (auto it = oa.begin(); it != oa.end(); ++it)
            Diff(it.value(), ob.value(it.key()), path + (path.empty() ? "" : ".") + it.key().toStdString(), out);
        return;
    }
    if (a.isArray() && b.isArray()) {
        const QJsonArray aa = a.toArray(), ab = b.toArray();
        for (qsizetype i = 0; i < aa.size(); ++i)
            Diff(aa[i], i < ab.size() ? ab[i] : QJsonValue(), path + "[" + std::to_string(i) + "]", out);
        return;
    }
    if (a != b) out.push_back(path);
}

}  // namespace

std::vector<std::string> ImageDifferences(const Tag_GlobalBuffer& a, const Tag_GlobalBuffer& b)
{
    const Tag_Cliente h;
    std::vector<std::string> out;
    Diff(ImageToJson(h, a), ImageToJson(h, b), "", out);
    if (out.empty() && !(a == b)) {
        // Equal as JSON, yet not equal: name the member (a date below the
        // millisecond, for example).
        const char* names[] = {"NumTel", "Messaggi", "Ingresso", "Uscite", "Opzioni", "Sms", "ComDig", "GPRS"};
        const bool same[] = {a.NumTel == b.NumTel, a.Messaggi == b.Messaggi, a.Ingresso == b.Ingresso,
                             a.Uscite == b.Uscite, a.Opzioni == b.Opzioni, a.Sms == b.Sms, a.ComDig == b.ComDig,
                             a.GPRS == b.GPRS};
        for (std::size_t i = 0; i < std::size(names); ++i)
            if (!same[i]) out.push_back(std::string(names[i]) + " (outside the JSON form)");
    }
    return out;
}

void TakeFields(Tag_GlobalBuffer& expected, const Tag_GlobalBuffer& from, const std::vector<std::string>& paths)
{
    for (const std::string& p : paths) {
        if (p == "GPRS.SIM") expected.GPRS.SIM = from.GPRS.SIM;
        else if (p == "Opzioni.SMSDataPrimo") expected.Opzioni.SMSDataPrimo = from.Opzioni.SMSDataPrimo;
        else if (p == "Opzioni.SMSOraPrimo") expected.Opzioni.SMSOraPrimo = from.Opzioni.SMSOraPrimo;
        else if (p == "Opzioni.SMSPrimoUnix") expected.Opzioni.SMSPrimoUnix = from.Opzioni.SMSPrimoUnix;
        else if (p == "Opzioni.SegPrimoUnix") expected.Opzioni.SegPrimoUnix = from.Opzioni.SegPrimoUnix;
        else if (p == "ComDig.SegDataPrimo") expected.ComDig.SegDataPrimo = from.ComDig.SegDataPrimo;
        else if (p == "ComDig.SegOraPrimo") expected.ComDig.SegOraPrimo = from.ComDig.SegOraPrimo;
        else if (p.rfind("NumTel[", 0) == 0) {
            const std::size_t i = std::stoul(p.substr(7));
            expected.NumTel[i] = from.NumTel[i];
        } else {
            ADD_FAILURE() << "TakeFields does not know " << p;
        }
    }
}

void FillRichImage(ProgramState& st)
{
    InitImage(st, st.image, false);
    Tag_GlobalBuffer& img = st.image;
    const bool g = st.Model() == kModelG;
    const DateTime tomorrow = NowDateTime() + 1.0;

    img.NumTel[0].Numero = "0212345678";
    img.NumTel[0].Descrizione = "Office";
    img.NumTel[2].Numero = "+393331234567";
    img.NumTel[2].Descrizione = "Rossi mobile";
    img.NumTel[3].Numero = "0498765432";
    img.NumTel[4].Numero = "0611112222";
    img.NumTel[94].Numero = "5559494";  // the last entry in use
    img.NumTel[94].Descrizione = "Last one";
    // Output 1 commanded by numbers 3-5.
    for (int k = 2; k <= 4; ++k) img.NumTel[static_cast<std::size_t>(k)].Uscite = 0x01;

    Tag_Uscita& gate = img.Uscite[0];
    gate.OUTRESERV = 1;
    gate.Messaggio = "GATE";
    gate.Conferma = 1;
    gate.Tipo = 1;
    gate.TempoOn = 30;
    img.Uscite[1].Polarita = 0;
    img.Uscite[1].MaskEventiPELIX_I = 0x05;
    img.Uscite[2].MaskEventiPELIX_I = 0xA1;

    const int inputs = g ? 8 : 7;
    for (int i = 0; i < inputs; ++i) {
        Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        in.MaskSms = static_cast<std::uint8_t>(0x11 << (i % 4));
        if (i % 3 == 0) in.SMSAttiv = "Alarm on input " + std::to_string(i + 1);
        if (i % 3 == 1 && i < inputs - 1) in.SMSRipr = "Input " + std::to_string(i + 1) + " restored";
    }
    img.Ingresso[1].Polarita = 0;
    img.Ingresso[0].ServPELIX_I_1 = 1;
    img.Ingresso[2].ServPELIX_I_2 = 1;
    // The last input's text switches the periodic SMS on: its first moment lies ahead.
    img.Ingresso[static_cast<std::size_t>(inputs - 1)].SMSAttiv = "Periodic";
    img.Opzioni.SMSDataPrimo = tomorrow;
    img.Opzioni.SMSOraPrimo = tomorrow;

    Tag_Opzioni& o = img.Opzioni;
    o.SMSIntervallo = 1440;
    o.ControlloCredito = 12;
    o.ControlloCreditoAttivo = 1;
    o.Priorita = 1;
    o.CifreRim = 3;
    o.Prefisso = "0039";
    o.CodUscSms = "4321";

    Tag_ComDig& c = img.ComDig;
    c.Numero1 = "0499998888";
    c.Numero3 = "0217776666";
    c.SegIntervallo = 60;
    for (int m = 0; m < 8; m += 2) {
        for (int k = m; k <= m + 1; ++k) {
            c.Eventi[static_cast<std::size_t>(k)].CodiceUtente = std::to_string(1000 + 111 * m);
            c.Eventi[static_cast<std::size_t>(k)].CodiceEvento1 = "3";
            c.Eventi[static_cast<std::size_t>(k)].CodiceEvento2 = "B" + std::to_string(m);
        }
    }
    c.Eventi[8].CodiceUtente = "4321";
    for (int m : {0, 3, 5, 8, 9, 12}) c.Eventi[static_cast<std::size_t>(m)].Invia = 1;
    if (g) {
        c.Eventi[15].Invia = 1;
        c.Eventi[16].CodiceEvento2 = "77";
        o.StringaControllo = "CRED";
        Tag_GPRS& gp = img.GPRS;
        gp.IP = {10, 0, 0, 1};
        gp.Port = 5000;
        gp.IP2 = {192, 168, 1, 2};
        gp.Port2 = 6000;
        gp.Account = "1234567890";
        gp.DNIS = "000111222333";
        gp.UserName = "user";
        gp.Pwd = "secret";
        gp.SuperAttiva = 1;
        gp.Super = 300;
        gp.APN = "web.example.it";
        gp.APN2 = "backup.example.it";
        gp.CID1 = "5551234";
        gp.CID2 = "5554321";
        gp.NtelChiamataADT = 1;
        o.SegPrimoUnix = DateTimeToUnix(tomorrow) + 3600;
        o.SMSPrimoUnix = DateTimeToUnix(tomorrow);
    }
}

void FillRichImageA(ProgramState& st, bool family11)
{
    InitImage(st, st.image, false);
    Tag_GlobalBuffer& img = st.image;
    img.NumTel[0].Numero = "0212345678";
    img.NumTel[3].Numero = "+393331234567";
    img.NumTel[7].Numero = "5558888";
    for (int i = 0; i < 4; ++i) {
        Tag_Ingresso& in = img.Ingresso[static_cast<std::size_t>(i)];
        in.Messaggio = static_cast<std::uint8_t>(2 * i + 1);
        in.MaskTel = static_cast<std::uint8_t>(0x81 >> i);
        in.Polarita = i == 2 ? 1 : 0;
        in.SmsA = static_cast<std::uint8_t>(i + 1);
        in.SmsR = static_cast<std::uint8_t>(9 - i);
        in.MaskSms = static_cast<std::uint8_t>(0x30 >> i);
    }
    for (auto& u : img.Uscite) u.FP = u.FG = u.BC = u.BP = u.CO = u.CI = u.MS = 0;
    img.Uscite[0].FP = img.Uscite[0].BC = 1;
    img.Uscite[1].FG = img.Uscite[1].CI = 1;
    img.Uscite[2].BP = 1;
    img.Uscite[3].CO = 1;
    img.Uscite[3].MS = 1;
    img.Uscite[3].Polarita = 0;
    Tag_Opzioni& o = img.Opzioni;
    o.Voceinlinea = 0;
    o.Selezione = 1;
    o.Richiama = 1;
    o.Prefisso = "0";
    if (family11) {
        img.Ingresso[1].Serv = 1;
        img.Ingresso[1].Messaggio = 0;
        img.Ingresso[1].MaskTel = 0;
        img.Uscite[4].OUTRESERV = 1;  // reserved: carries no events
        for (int i = 0; i < kOutputs; ++i) img.Uscite[static_cast<std::size_t>(i)].Messaggio = "Out " + std::to_string(i + 1);
        img.Uscite[2].Messaggio.clear();
        o.CifreRim = 4;
        o.CodUscSms = "98765";
        o.UsaGsm = 1;
        for (int k = 1; k <= 8; ++k) img.Sms[static_cast<std::size_t>(k)] = "Text number " + std::to_string(k);
        img.Sms[5].clear();  // stored as one blank, read back empty
    }
    st.EventiAssegnati = CountOutputEvents(img);
}

DeviceBench::DeviceBench(sim::DeviceState device, sim::Faults faults) : SimLink(std::move(device), std::move(faults))
{
    // The message prompt ends without CR and is always sat out for one
    // character time-out, and a record's prompt for the one-second limit: both
    // shorter keep the many prompts of a write quick. A reply still has the
    // whole character time-out to begin.
    ctx.charTimeout = 0.2;
    ctx.secondMs = 50;
    // The PELIX-A sequences read no reply to "ATE0" or to the repeated commands:
    // the next send flushes it, and only the wait between them keeps a late "OK"
    // from being read as the next record. That wait must outlast a reply on a
    // loaded machine.
    if (state.Model() == kModelA) state.settings.TimeOut = 5;
}

}  // namespace pelix::test
