#include "imageinit.h"

#include "model/datetime.h"

namespace pelix {

namespace {

std::string Numbered(const std::string& label, int n) { return label + " " + PadLeft(std::to_string(n), 2, '0'); }

struct EventDefault {
    const char* code1;
    const char* code2;
};

constexpr EventDefault kEventsG[kEvents] = {
    {"1", "1A"}, {"1", "1A"}, {"1", "2A"}, {"1", "2A"}, {"1", "3A"}, {"1", "3A"},
    {"1", "5A"}, {"1", "5A"}, {"3", "51"}, {"3", "51"}, {"3", "37"}, {"3", "37"},
    {"3", "38"}, {"3", "38"}, {"6", "A3"}, {"5", "52"}, {"6", "24"}, {"3", "54"},
};

constexpr EventDefault kEventsFirstGen[kEvents] = {
    {"1", "3A"}, {"1", "3A"}, {"1", "3A"}, {"1", "3A"}, {"1", "3A"}, {"1", "3A"},
    {"1", "3A"}, {"1", "3A"}, {"3", "51"}, {"3", "51"}, {"3", "A2"}, {"3", "A2"},
    {"6", "A2"}, {"6", "24"}, {"", ""},    {"", ""},    {"", ""},    {"", ""},
};

void InitOutputs(Tag_GlobalBuffer& image)
{
    auto& u = image.Uscite;
    u[0].Polarita = 1; u[0].FP = 1; u[0].MaskEventiPELIX_I = 1;
    u[1].Polarita = 1; u[1].FG = 1; u[1].MaskEventiPELIX_I = 6;
    u[2].Polarita = 1; u[2].BC = 1; u[2].MaskEventiPELIX_I = 8;
    u[3].Polarita = 0; u[3].FP = 1; u[3].MaskEventiPELIX_I = 1;
    u[4].Polarita = 1; u[4].CO = 1; u[4].CI = 1; u[4].MaskEventiPELIX_I = 0;
}

}  // namespace

void InitImage(ProgramState& st, Tag_GlobalBuffer& image, bool resetHeader)
{
    const DateTime now = NowDateTime();
    if (resetHeader) {
        Tag_Cliente& h = st.cliente;
        h.SerialCli = 0;
        h.Nome.clear();
        h.Indirizzo.clear();
        h.Comune.clear();
        h.Telefono.clear();
        h.TelCentrale.clear();
        h.DescrImpianto.clear();
        h.NotePresenti = 0;
        h.CodiceCliente = st.codes ? st.codes->NextCustomerCode() : std::string();
        h.DataUltModifica = now;
    }
    WriteImageDefaults(image, st.Model(), st.texts, now);
    st.EventiAssegnati = kMaxEventiAssegnati;
}

void WriteImageDefaults(Tag_GlobalBuffer& image, int model, const LanguageTexts& texts, DateTime now)
{
    image = Tag_GlobalBuffer{};
    const std::uint32_t nowUnix = DateTimeToUnix(now);

    const std::string phoneLabel = texts.GetLangText(115);
    for (int i = 0; i < kPhoneEntries; ++i) image.NumTel[static_cast<std::size_t>(i)].Descrizione = Numbered(phoneLabel, i + 1);

    const std::string messageLabel = texts.GetLangText(116);
    for (int i = 0; i < kMessageLabels; ++i) image.Messaggi[static_cast<std::size_t>(i)] = Numbered(messageLabel, i + 1);

    for (auto& in : image.Ingresso) in.Polarita = 1;

    InitOutputs(image);

    image.Sms[0] = texts.GetLangText(157);
    const std::string smsLabel = texts.GetLangText(156);
    for (int i = 1; i < kSmsTexts; ++i) image.Sms[static_cast<std::size_t>(i)] = Numbered(smsLabel, i);

    Tag_Opzioni& o = image.Opzioni;
    o.Voceinlinea = 1;
    o.CodUscSms = "7305";
    o.SMSDataPrimo = now;
    o.SMSOraPrimo = now;
    o.ControlloCredito = 1;
    o.StringaControllo = "*123#";
    o.SegPrimoUnix = nowUnix;
    o.SMSPrimoUnix = nowUnix;

    Tag_ComDig& c = image.ComDig;
    const bool modelG = model == kModelG;
    const EventDefault* codes = modelG ? kEventsG : kEventsFirstGen;
    for (int i = 0; i < kEvents; ++i) {
        auto& e = c.Eventi[static_cast<std::size_t>(i)];
        e.CodiceEvento1 = codes[i].code1;
        e.CodiceEvento2 = codes[i].code2;
    }
    if (modelG) {
        c.SegIntervallo = 43200;
        Tag_GPRS& g = image.GPRS;
        g.Super = 1;
        g.Account = std::string(10, '0');
        g.DNIS = std::string(12, '0');
        g.SIM = std::string(21, '0');
        g.NtelChiamataADT = 1;
    } else {
        c.SegDataPrimo = now;
        c.SegOraPrimo = now;
        c.SegIntervallo = 0;
    }
}

bool ImageUnchanged(const ProgramState& st, const Tag_GlobalBuffer& image) { return image == st.reference; }

}  // namespace pelix
