#include "imagejson.h"

#include "model/datetime.h"
#include "model/imageinit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

namespace pelix {

namespace {

// One description of the JSON layout, walked by the writer and by the reader.
template <class V, class T> void VisitNumTel(V& v, T& n)
{
    v.str("Descrizione", n.Descrizione);
    v.str("Numero", n.Numero);
    v.flag("Avvisatore", n.Avvisatore);
    v.byte("Uscite", n.Uscite);
}

template <class V, class T> void VisitIngresso(V& v, T& i)
{
    v.byte("Polarita", i.Polarita);
    v.byte("Messaggio", i.Messaggio);
    v.byte("MaskTel", i.MaskTel);
    v.byte("MaskSms", i.MaskSms);
    v.byte("SmsA", i.SmsA);
    v.byte("SmsR", i.SmsR);
    v.flag("Serv", i.Serv);
    v.str("SMSAttiv", i.SMSAttiv);
    v.str("SMSRipr", i.SMSRipr);
    v.flag("ServPELIX_I_1", i.ServPELIX_I_1);
    v.flag("ServPELIX_I_2", i.ServPELIX_I_2);
}

template <class V, class T> void VisitUscita(V& v, T& u)
{
    v.byte("Polarita", u.Polarita);
    v.flag("FP", u.FP);
    v.flag("FG", u.FG);
    v.flag("BC", u.BC);
    v.flag("BP", u.BP);
    v.flag("CO", u.CO);
    v.flag("CI", u.CI);
    v.flag("MS", u.MS);
    v.flag("OUTRESERV", u.OUTRESERV);
    v.str("Messaggio", u.Messaggio);
    v.byte("MaskEventiPELIX_I", u.MaskEventiPELIX_I);
    v.byte("Tipo", u.Tipo);
    v.byte("TempoOn", u.TempoOn);
    v.byte("Conferma", u.Conferma);
}

template <class V, class T> void VisitOpzioni(V& v, T& o)
{
    v.byte("Voceinlinea", o.Voceinlinea);
    v.byte("Squillo", o.Squillo);
    v.byte("Selezione", o.Selezione);
    v.str("Prefisso", o.Prefisso);
    v.byte("Richiama", o.Richiama);
    v.str("CodUscSms", o.CodUscSms);
    v.i32("CifreRim", o.CifreRim);
    v.byte("UsaGsm", o.UsaGsm);
    v.byte("CommutaChiama", o.CommutaChiama);
    v.str("NtelADT", o.NtelADT);
    v.dateTime("SMSDataPrimo", o.SMSDataPrimo);
    v.dateTime("SMSOraPrimo", o.SMSOraPrimo);
    v.u32("SMSIntervallo", o.SMSIntervallo);
    v.flag("ControlloCreditoAttivo", o.ControlloCreditoAttivo);
    v.byte("ControlloCredito", o.ControlloCredito);
    v.byte("Priorita", o.Priorita);
    v.str("StringaControllo", o.StringaControllo);
    v.u32("SegPrimoUnix", o.SegPrimoUnix);
    v.u32("SMSPrimoUnix", o.SMSPrimoUnix);
}

template <class V, class T> void VisitEvento(V& v, T& e)
{
    v.str("CodiceUtente", e.CodiceUtente);
    v.str("CodiceEvento1", e.CodiceEvento1);
    v.str("CodiceEvento2", e.CodiceEvento2);
    v.byte("Invia", e.Invia);
}

template <class V, class T> void VisitComDig(V& v, T& c)
{
    v.str("Numero1", c.Numero1);
    v.str("Numero2", c.Numero2);
    v.str("Numero3", c.Numero3);
    v.str("Numero4", c.Numero4);
    v.objects("Eventi", c.Eventi, [](V& sub, auto& e) { VisitEvento(sub, e); });
    v.dateTime("SegDataPrimo", c.SegDataPrimo);
    v.dateTime("SegOraPrimo", c.SegOraPrimo);
    v.u32("SegIntervallo", c.SegIntervallo);
}

template <class V, class T> void VisitGPRS(V& v, T& g)
{
    v.ip("IP", g.IP);
    v.ip("IP2", g.IP2);
    v.i32("Port2", g.Port2);
    v.i32("Port", g.Port);
    v.str("APN", g.APN);
    v.str("APN2", g.APN2);
    v.str("CID1", g.CID1);
    v.str("CID2", g.CID2);
    v.i32("Super", g.Super);
    v.flag("SuperAttiva", g.SuperAttiva);
    v.flag("CIDPresente", g.CIDPresente);
    v.str("Account", g.Account);
    v.str("DNIS", g.DNIS);
    v.str("SIM", g.SIM);
    v.flag("NtelChiamataADT", g.NtelChiamataADT);
    v.str("UserName", g.UserName);
    v.str("Pwd", g.Pwd);
}

template <class V, class T> void VisitCliente(V& v, T& h)
{
    v.i32("SerialCli", h.SerialCli);
    v.str("Nome", h.Nome);
    v.str("Indirizzo", h.Indirizzo);
    v.str("Comune", h.Comune);
    v.str("Telefono", h.Telefono);
    v.str("TelCentrale", h.TelCentrale);
    v.byte("TipoCentrale", h.TipoCentrale);
    v.str("DescrImpianto", h.DescrImpianto);
    v.str("CodiceCliente", h.CodiceCliente);
    v.dateTime("DataUltModifica", h.DataUltModifica);
    v.flag("NotePresenti", h.NotePresenti);
    v.str("Rel_firmware", h.Rel_firmware);
}

template <class V, class T> void VisitImage(V& v, T& img)
{
    v.objects("NumTel", img.NumTel, [](V& sub, auto& n) { VisitNumTel(sub, n); });
    v.texts("Messaggi", img.Messaggi);
    v.objects("Ingresso", img.Ingresso, [](V& sub, auto& i) { VisitIngresso(sub, i); });
    v.objects("Uscite", img.Uscite, [](V& sub, auto& u) { VisitUscita(sub, u); });
    v.object("Opzioni", img.Opzioni, [](V& sub, auto& o) { VisitOpzioni(sub, o); });
    v.texts("Sms", img.Sms);
    v.object("ComDig", img.ComDig, [](V& sub, auto& c) { VisitComDig(sub, c); });
    v.object("GPRS", img.GPRS, [](V& sub, auto& g) { VisitGPRS(sub, g); });
}

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

template <class S> QString TextOf(const S& s)
{
    if constexpr (std::is_same_v<S, std::string>) return FromCp1252(s);
    else return FromCp1252(s.view());
}

class Writer {
public:
    QJsonObject obj;

    void byte(const char* n, std::uint8_t v) { obj[QLatin1String(n)] = int(v); }
    void flag(const char* n, std::uint8_t v) { obj[QLatin1String(n)] = v != 0; }
    void i32(const char* n, std::int32_t v) { obj[QLatin1String(n)] = qint64(v); }
    void u32(const char* n, std::uint32_t v) { obj[QLatin1String(n)] = qint64(v); }
    void dateTime(const char* n, DateTime v) { obj[QLatin1String(n)] = FromDateTime(v).toString(kDateTimeFormat); }
    template <class S> void str(const char* n, const S& s) { obj[QLatin1String(n)] = TextOf(s); }
    void ip(const char* n, const std::array<std::uint8_t, 4>& ip)
    {
        obj[QLatin1String(n)] = QJsonArray{int(ip[0]), int(ip[1]), int(ip[2]), int(ip[3])};
    }
    template <class A> void texts(const char* n, const A& list)
    {
        QJsonArray a;
        for (const auto& s : list) a.append(TextOf(s));
        obj[QLatin1String(n)] = a;
    }
    template <class T, class F> void object(const char* n, const T& value, F&& visit)
    {
        Writer sub;
        visit(sub, value);
        obj[QLatin1String(n)] = sub.obj;
    }
    template <class A, class F> void objects(const char* n, const A& list, F&& visit)
    {
        QJsonArray a;
        for (const auto& item : list) {
            Writer sub;
            visit(sub, item);
            a.append(sub.obj);
        }
        obj[QLatin1String(n)] = a;
    }
};

struct JsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Reader {
public:
    Reader(const QJsonObject& o, QString path) : obj_(o), path_(std::move(path)) {}

    void byte(const char* n, std::uint8_t& v)
    {
        if (auto j = take(n)) v = static_cast<std::uint8_t>(integer(*j, n, 0, 255));
    }
    void flag(const char* n, std::uint8_t& v)
    {
        if (auto j = take(n)) {
            if (!j->isBool()) fail(n, "must be true or false");
            v = j->toBool() ? 1 : 0;
        }
    }
    void i32(const char* n, std::int32_t& v)
    {
        if (auto j = take(n))
            v = static_cast<std::int32_t>(
                integer(*j, n, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    }
    void u32(const char* n, std::uint32_t& v)
    {
        if (auto j = take(n)) v = static_cast<std::uint32_t>(integer(*j, n, 0, std::numeric_limits<std::uint32_t>::max()));
    }
    void dateTime(const char* n, DateTime& v)
    {
        if (auto j = take(n)) {
            if (!j->isString()) fail(n, "must be a date and time text (yyyy-MM-ddTHH:mm:ss.zzz)");
            QDateTime dt = QDateTime::fromString(j->toString(), kDateTimeFormat);
            if (!dt.isValid()) dt = QDateTime::fromString(j->toString(), Qt::ISODate);
            if (!dt.isValid()) fail(n, "is not a valid date and time (yyyy-MM-ddTHH:mm:ss.zzz)");
            v = ToDateTime(dt);
        }
    }
    template <class S> void str(const char* n, S& s)
    {
        if (auto j = take(n)) s = text(*j, n);
    }
    void ip(const char* n, std::array<std::uint8_t, 4>& ip)
    {
        if (auto j = take(n)) {
            if (!j->isArray() || j->toArray().size() != 4) fail(n, "must be an array of four numbers");
            const QJsonArray a = j->toArray();
            for (int i = 0; i < 4; ++i)
                ip[static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(integer(a[i], (std::string(n) + "[" + std::to_string(i) + "]").c_str(), 0, 255));
        }
    }
    template <class A> void texts(const char* n, A& list)
    {
        if (auto j = take(n)) {
            const QJsonArray a = array(*j, n, list.size());
            for (qsizetype i = 0; i < a.size(); ++i)
                list[static_cast<std::size_t>(i)] = text(a[i], (std::string(n) + "[" + std::to_string(i) + "]").c_str());
        }
    }
    template <class T, class F> void object(const char* n, T& value, F&& visit)
    {
        if (auto j = take(n)) {
            if (!j->isObject()) fail(n, "must be an object");
            Reader sub(j->toObject(), child(n));
            visit(sub, value);
            sub.finish();
        }
    }
    template <class A, class F> void objects(const char* n, A& list, F&& visit)
    {
        if (auto j = take(n)) {
            const QJsonArray a = array(*j, n, list.size());
            for (qsizetype i = 0; i < a.size(); ++i) {
                const QString at = child(n) + u'[' + QString::number(i) + u']';
                if (!a[i].isObject()) throw JsonError(at.toStdString() + " must be an object");
                Reader sub(a[i].toObject(), at);
                visit(sub, list[static_cast<std::size_t>(i)]);
                sub.finish();
            }
        }
    }

    // Every member must have been asked for; anything left is unknown.
    void finish() const
    {
        for (auto it = obj_.begin(); it != obj_.end(); ++it)
            if (!seen_.contains(it.key())) throw JsonError("unknown member \"" + child(it.key()).toStdString() + "\"");
    }

private:
    std::optional<QJsonValue> take(const char* n)
    {
        const QString key = QLatin1String(n);
        seen_.insert(key);
        auto it = obj_.find(key);
        if (it == obj_.end()) return std::nullopt;
        return it.value();
    }
    QString child(const QString& n) const { return path_.isEmpty() ? n : path_ + u'.' + n; }
    QString child(const char* n) const { return child(QString::fromLatin1(n)); }
    [[noreturn]] void fail(const char* n, const char* what) const
    {
        throw JsonError(child(n).toStdString() + " " + what);
    }
    qint64 integer(const QJsonValue& j, const char* n, qint64 lo, qint64 hi) const
    {
        if (!j.isDouble()) fail(n, "must be a number");
        const double d = j.toDouble();
        if (d != std::floor(d)) fail(n, "must be a whole number");
        if (d < static_cast<double>(lo) || d > static_cast<double>(hi))
            throw JsonError(child(n).toStdString() + " must be between " + std::to_string(lo) + " and " + std::to_string(hi));
        return static_cast<qint64>(d);
    }
    std::string text(const QJsonValue& j, const char* n) const
    {
        if (!j.isString()) fail(n, "must be a text");
        return ToCp1252(j.toString());
    }
    QJsonArray array(const QJsonValue& j, const char* n, std::size_t max) const
    {
        if (!j.isArray()) fail(n, "must be an array");
        const QJsonArray a = j.toArray();
        if (static_cast<std::size_t>(a.size()) > max)
            throw JsonError(child(n).toStdString() + " has " + std::to_string(a.size()) + " entries, at most " +
                            std::to_string(max) + " are allowed");
        return a;
    }

    const QJsonObject& obj_;
    QString path_;
    QSet<QString> seen_;
};

}  // namespace

QJsonObject ImageToJson(const Tag_Cliente& header, const Tag_GlobalBuffer& image)
{
    Writer w;
    w.object("Cliente", header, [](Writer& sub, const Tag_Cliente& h) { VisitCliente(sub, h); });
    VisitImage(w, image);
    return w.obj;
}

QByteArray ImageToJsonText(const Tag_Cliente& header, const Tag_GlobalBuffer& image)
{
    return QJsonDocument(ImageToJson(header, image)).toJson(QJsonDocument::Indented);
}

bool ImageFromJson(const QJsonObject& json, const LanguageTexts& texts, Tag_Cliente& header, Tag_GlobalBuffer& image,
                   std::string& error)
{
    try {
        Tag_Cliente h;
        h.TipoCentrale = header.TipoCentrale;
        h.Rel_firmware = header.Rel_firmware;
        h.DataUltModifica = NowDateTime();
        Reader top(json, QString());
        top.object("Cliente", h, [](Reader& sub, Tag_Cliente& c) { VisitCliente(sub, c); });
        if (h.TipoCentrale != kModelG && h.TipoCentrale != kModelA && h.TipoCentrale != kModelI)
            throw JsonError("Cliente.TipoCentrale " + std::to_string(h.TipoCentrale) +
                            " is not a model this program configures (19, 21 or 22)");
        Tag_GlobalBuffer img;
        WriteImageDefaults(img, h.TipoCentrale, texts, NowDateTime());
        VisitImage(top, img);
        top.finish();
        header = h;
        image = img;
        return true;
    } catch (const JsonError& e) {
        error = e.what();
        return false;
    }
}

bool ImageFromJsonText(const QByteArray& text, const LanguageTexts& texts, Tag_Cliente& header,
                       Tag_GlobalBuffer& image, std::string& error)
{
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &pe);
    if (pe.error != QJsonParseError::NoError) {
        error = "not valid JSON at offset " + std::to_string(pe.offset) + ": " + pe.errorString().toStdString();
        return false;
    }
    if (!doc.isObject()) {
        error = "the JSON text must hold one object";
        return false;
    }
    return ImageFromJson(doc.object(), texts, header, image, error);
}

}  // namespace pelix
