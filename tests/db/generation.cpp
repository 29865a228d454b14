#include "model/image.h"

namespace pelix::test {

// Marks every table's rows with `generation`.
void FillGeneration(Tag_GlobalBuffer& image, int generation)
{
    const std::string g = std::to_string(generation);
    for (auto& e : image.NumTel) e.Numero = g;
    for (auto& m : image.Messaggi) m = g;
    for (auto& s : image.Sms) s = g;
    for (auto& in : image.Ingresso) in.SMSAttiv = g;
    for (auto& u : image.Uscite) u.Messaggio = g;
    image.Opzioni.Prefisso = g.substr(g.size() > 4 ? g.size() - 4 : 0);
    image.ComDig.Numero1 = g;
    for (auto& e : image.ComDig.Eventi) e.CodiceUtente = g.substr(g.size() > 4 ? g.size() - 4 : 0);
    image.GPRS.APN = g;
}

}  // namespace pelix::test
