#include "inputrules.h"

namespace pelix {

namespace {

void Silence(Tag_Ingresso& in)
{
    in.Messaggio = 0;
    in.MaskTel = 0;
    in.MaskSms = 0;
    in.SmsA = 0;
    in.SmsR = 0;
}

}  // namespace

void ApplyInput4Rule(Tag_GlobalBuffer& image, bool release11)
{
    Tag_Opzioni& o = image.Opzioni;
    if (!release11) {
        o.UsaGsm = 0;
        return;
    }
    if (o.UsaGsm == 0) return;
    Silence(image.Ingresso[3]);
    image.Ingresso[3].Serv = 0;
    o.CommutaChiama = 0;
}

void ToggleCommutaChiama(Tag_GlobalBuffer& image)
{
    Tag_Opzioni& o = image.Opzioni;
    Tag_Ingresso& in = image.Ingresso[3];
    if (o.CommutaChiama) {
        o.CommutaChiama = 0;
        in.MaskTel = 0;
        return;
    }
    o.CommutaChiama = 1;
    Silence(in);
    in.MaskTel = 1;
    in.Serv = 0;
    o.UsaGsm = 0;
}

void ToggleService(Tag_GlobalBuffer& image, int input, bool release11)
{
    Tag_Ingresso& in = image.Ingresso[static_cast<std::size_t>(input)];
    if (!release11) {
        in.Serv = 0;
        return;
    }
    in.Serv = in.Serv ? 0 : 1;
    if (!in.Serv) return;
    Silence(in);
    if (input == 3) {
        image.Opzioni.UsaGsm = 0;
        image.Opzioni.CommutaChiama = 0;
    }
}

}  // namespace pelix
