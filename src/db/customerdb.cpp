#include "customerdb.h"

#include "common/paths.h"
#include "db/convert.h"
#include "model/datetime.h"

#include <QDir>
#include <QSqlRecord>

#include <algorithm>
#include <array>
#include <bitset>
#include <functional>
#include <map>
#include <vector>

namespace pelix {

using db::DbError;
using db::TableFolders;
using db::Transaction;

namespace {

// The nine configuration tables, all in the "PELIX" sub-folder.
constexpr std::array<const char*, 9> kConfigTables = {"NumTel", "Messaggi", "Sms",   "Ingresso", "Uscite",
                                                     "Opzioni", "ComDig",   "Eventi", "GPRS"};

QString Q(std::string_view cp1252) { return FromCp1252(cp1252); }
template <std::size_t N>
QString Q(const CountedString<N>& s)
{
    return FromCp1252(s.view());
}
// Logical columns take a truth value: PostgreSQL refuses a number there.
bool Flag(std::uint8_t v) { return v != 0; }

// Reads the columns of the current row by name, without regard to case.
class Row {
public:
    explicit Row(const QSqlQuery& q) : q_(q)
    {
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i) index_[r.fieldName(i).toUpper()] = i;
    }
    bool Has(const char* name) const { return index_.count(QString::fromLatin1(name).toUpper()) != 0; }
    QVariant V(const char* name) const
    {
        const auto it = index_.find(QString::fromLatin1(name).toUpper());
        if (it == index_.end()) throw DbError(std::string("Field '") + name + "' not found.");
        return q_.value(it->second);
    }
    std::int64_t Int(const char* name) const { return V(name).toLongLong(); }
    std::uint8_t Byte(const char* name) const { return static_cast<std::uint8_t>(Int(name) & 0xFF); }
    std::uint8_t Logical(const char* name) const { return V(name).toBool() ? 1 : 0; }
    std::string Text(const char* name) const { return ToCp1252(V(name).toString()); }

private:
    const QSqlQuery& q_;
    std::map<QString, int> index_;
};

// Rows of fixed columns for one table, written together by Write(): as few
// statements as the database takes, since on a server each one is a round trip.
class Inserter {
public:
    Inserter(TableFolders& t, const QString& schema, const char* table, std::initializer_list<const char*> columns)
        : t_(t), schema_(schema), table_(QString::fromLatin1(table))
    {
        for (const char* c : columns) columns_ << QString::fromLatin1(c);
    }
    Inserter& Insert(const QVariantList& values)
    {
        rows_.push_back(values);
        return *this;
    }
    void Write()
    {
        const int n = static_cast<int>(columns_.size());
        // Well under the 999 values an older SQLite takes in one statement.
        const std::size_t perStatement = static_cast<std::size_t>(std::max(1, 900 / n));
        const QString one = u'(' + QStringList(n, QStringLiteral("?")).join(u", ") + u')';
        const QString head = QStringLiteral("INSERT INTO ") + t_.Qualified(schema_, table_) + QStringLiteral(" (") +
                             columns_.join(u", ") + QStringLiteral(") VALUES ");
        for (std::size_t start = 0; start < rows_.size(); start += perStatement) {
            const std::size_t count = std::min(perStatement, rows_.size() - start);
            QSqlQuery q = t_.Prepare(head + QStringList(static_cast<int>(count), one).join(u", "));
            int k = 0;
            for (std::size_t r = start; r < start + count; ++r)
                for (int i = 0; i < n; ++i) q.bindValue(k++, rows_[r].value(i));
            TableFolders::Exec(q);
        }
        rows_.clear();
    }

private:
    TableFolders& t_;
    QString schema_;
    QString table_;
    QStringList columns_;
    std::vector<QVariantList> rows_;
};

QSqlQuery SelectOfCustomer(TableFolders& t, const QString& schema, const char* table, int serial)
{
    QSqlQuery q = t.Prepare(QStringLiteral("SELECT * FROM ") + t.Qualified(schema, QString::fromLatin1(table)) +
                            QStringLiteral(" WHERE SerialCli = ?"));
    q.addBindValue(serial);
    TableFolders::Exec(q);
    return q;
}

}  // namespace

CustomerDatabase::CustomerDatabase(ProgramState& st) : st_(st) {}
CustomerDatabase::~CustomerDatabase() = default;

bool CustomerDatabase::SetTableLocations() { return SetTableLocations(st_.folders.data); }

bool CustomerDatabase::SetTableLocations(const QString& dataFolder)
{
    tables_.reset();
    dataFolder_ = ResolveNoCase(dataFolder);
    configFolder_ = JoinPath(dataFolder_, QStringLiteral("/PELIX"));
    located_ = true;
    lastConnectAttempt_ = std::chrono::steady_clock::now();
    try {
        Connect();
        lastConnectError_.clear();
        return true;
    } catch (const DbError& e) {
        lastConnectError_ = e.what();
        ShowMsg(*st_.feedback, e.what(), MsgType::Error);
        return false;
    }
}

void CustomerDatabase::Connect()
{
    auto t = std::make_unique<TableFolders>(dataFolder_, st_.settings.Database);
    try {
        cfg_ = t->SubSchema(QStringLiteral("PELIX"));
    } catch (const DbError&) {
        // Without the sub-folder every configuration table is missing; each
        // use reports it, as for any other missing table.
        cfg_ = QStringLiteral("PELIX");
    }
    tables_ = std::move(t);
}

TableFolders& CustomerDatabase::Open()
{
    // After the server went away (or could not be reached at the start) an
    // operation connects anew, so the installer need not restart the program
    // once it is back. An unreachable host can take the whole connection
    // time-out to say so: it is not asked again for a while.
    if (tables_ && tables_->Lost() && !tables_->InTransaction()) tables_.reset();
    if (!tables_ && located_) {
        const auto now = std::chrono::steady_clock::now();
        if (lastConnectError_.empty() || now - lastConnectAttempt_ >= std::chrono::seconds(15)) {
            lastConnectAttempt_ = now;
            try {
                Connect();
                lastConnectError_.clear();
            } catch (const DbError& e) {
                lastConnectError_ = e.what();
            }
        }
        if (!tables_) throw DbError(lastConnectError_);
    }
    if (!tables_) throw DbError("The customer database is not open: no data folder was given.");
    return *tables_;
}

void CustomerDatabase::ShowError(const std::string& text) { ShowMsg(*st_.feedback, text, MsgType::Warning); }

void CustomerDatabase::ShowErrorWhileBusy(const std::string& text)
{
    // The box gets the normal arrow; the busy cursor comes back after it.
    Feedback& fb = *st_.feedback;
    fb.Busy(false);
    ShowError(text);
    fb.Busy(true);
}

// ---------------------------------------------------------------- loading

bool CustomerDatabase::LoadCustomer(int serial)
{
    Tag_Cliente& h = st_.cliente;
    Tag_GlobalBuffer& img = st_.image;
    try {
        TableFolders& t = Open();
        QSqlQuery q = SelectOfCustomer(t, QStringLiteral("main"), "Clienti", serial);
        if (!q.next()) return false;
        const Row r(q);
        h.SerialCli = serial;
        h.Nome = r.Text("Nome");
        h.Indirizzo = r.Text("Indirizzo");
        h.Comune = r.Text("Comune");
        h.Telefono = r.Text("Telefono");
        h.TelCentrale = r.Text("TelCentrale");
        h.TipoCentrale = r.Byte("TipoCentrale");
        h.DescrImpianto = r.Text("DescrImpianto");
        h.CodiceCliente = r.Text("CodiceCliente");
        h.Rel_firmware = r.Text("Rel_firmware");
        h.DataUltModifica = db::DateFromColumn(r.V("DataUltModifica"));
        h.NotePresenti = r.V("Note").toString().isEmpty() ? 0 : 1;
    } catch (const DbError& e) {
        ShowError(e.what());
        return false;
    }

    const bool modelG = h.TipoCentrale == kModelG;
    // Each table on its own: a table that cannot be read is reported and the
    // others still load.
    auto each = [&](const char* table, const std::function<void(const Row&, int)>& take) {
        try {
            QSqlQuery q = SelectOfCustomer(Open(), cfg_, table, serial);
            while (q.next()) {
                const Row r(q);
                take(r, static_cast<int>(r.Int("Progress")));
            }
        } catch (const DbError& e) {
            ShowError(e.what());
        }
    };
    auto one = [&](const char* table, const std::function<void(const Row&)>& take) {
        try {
            QSqlQuery q = SelectOfCustomer(Open(), cfg_, table, serial);
            while (q.next()) take(Row(q));
        } catch (const DbError& e) {
            ShowError(e.what());
        }
    };
    auto in = [](int p, int n) { return p >= 0 && p < n; };

    each("NumTel", [&](const Row& r, int p) {
        if (!in(p, kPhoneEntries)) return;
        auto& e = img.NumTel[static_cast<std::size_t>(p)];
        e.Descrizione = r.Text("Descrizione");
        e.Numero = r.Text("Numero");
        e.Avvisatore = r.Logical("Avvisatore");
        e.Uscite = r.Byte("Uscite");
    });
    each("Messaggi", [&](const Row& r, int p) {
        if (in(p, kMessageLabels)) img.Messaggi[static_cast<std::size_t>(p)] = CountedString<20>(r.Text("Descrizione")).str();
    });
    each("Sms", [&](const Row& r, int p) {
        if (in(p, kSmsTexts)) img.Sms[static_cast<std::size_t>(p)] = r.Text("Descrizione");
    });
    each("Ingresso", [&](const Row& r, int p) {
        if (!in(p, kInputs)) return;
        auto& e = img.Ingresso[static_cast<std::size_t>(p)];
        e.Polarita = r.Byte("Polarita");
        e.Messaggio = r.Byte("Messaggio");
        e.MaskTel = r.Byte("MaskTel");
        e.MaskSms = r.Byte("MaskSms");
        e.SmsA = r.Byte("SmsA");
        e.SmsR = r.Byte("SmsR");
        e.Serv = r.Logical("Serv");
        e.SMSAttiv = r.Text("SMSAttiv");
        e.SMSRipr = r.Text("SMSRipr");
        e.ServPELIX_I_1 = r.Logical("ServPELIX_I_1");
        e.ServPELIX_I_2 = r.Logical("ServPELIX_I_2");
    });
    st_.EventiAssegnati = 0;
    each("Uscite", [&](const Row& r, int p) {
        if (!in(p, kOutputs)) return;
        auto& e = img.Uscite[static_cast<std::size_t>(p)];
        e.Polarita = r.Byte("Polarita");
        e.FP = r.Logical("FP");
        e.FG = r.Logical("FG");
        e.BC = r.Logical("BC");
        e.BP = r.Logical("BP");
        e.CO = r.Logical("CO");
        e.CI = r.Logical("CI");
        e.MS = r.Logical("MS");
        e.OUTRESERV = r.Logical("OUTRESERV");
        e.Messaggio = r.Text("Messaggio");
        e.MaskEventiPELIX_I = r.Byte("MaskEventiPELIX_I");
        e.Tipo = r.Byte("Tipo");
        e.TempoOn = r.Byte("TempoOn");
        e.Conferma = r.Byte("Conferma");
        st_.EventiAssegnati += e.FP + e.FG + e.BC + e.BP + e.CO + e.CI + e.MS;
    });

    Tag_ComDig& cd = img.ComDig;
    Tag_Opzioni& o = img.Opzioni;
    one("ComDig", [&](const Row& r) {
        cd.Numero1 = r.Text("Numero1");
        cd.Numero2 = r.Text("Numero2");
        cd.Numero3 = r.Text("Numero3");
        cd.Numero4 = r.Text("Numero4");
        if (modelG) {
            o.SegPrimoUnix = db::UnixFromColumns(r.V("SegDataPrimo"), r.V("SegOraPrimo"));
        } else {
            cd.SegDataPrimo = db::DateFromColumn(r.V("SegDataPrimo"));
            cd.SegOraPrimo = db::TimeFromColumn(r.V("SegOraPrimo"));
        }
        cd.SegIntervallo = db::JoinInterval(r.Int("SegIntervallo1"), r.Int("SegIntervallo2"));
    });
    each("Eventi", [&](const Row& r, int p) {
        if (!in(p, kEvents)) return;
        auto& e = cd.Eventi[static_cast<std::size_t>(p)];
        e.CodiceUtente = r.Text("CodiceUtente");
        e.CodiceEvento1 = r.Text("CodiceEvento1");
        e.CodiceEvento2 = r.Text("CodiceEvento2");
        e.Invia = r.Byte("Invia");
    });
    one("Opzioni", [&](const Row& r) {
        o.Voceinlinea = r.Byte("Voceinlinea");
        o.Squillo = r.Byte("Squillo");
        o.Selezione = r.Byte("Selezione");
        o.Prefisso = r.Text("Prefisso");
        o.Richiama = r.Byte("Richiama");
        o.CodUscSms = r.Text("CodUscSms");
        o.CifreRim = static_cast<std::int32_t>(r.Int("CifreRim"));
        o.UsaGsm = r.Byte("UsaGsm");
        o.CommutaChiama = r.Byte("CommutaChiama");
        // Tables of older releases lack the column: events then go over GPRS.
        img.GPRS.NtelChiamataADT = r.Has("NtelChiamataADT") ? r.Byte("NtelChiamataADT") : 1;
        o.SMSIntervallo = db::JoinInterval(r.Int("SMSIntervallo1"), r.Int("SMSIntervallo2"));
        if (modelG) {
            o.SMSPrimoUnix = db::UnixFromColumns(r.V("SMSDataPrimo"), r.V("SMSOraPrimo"));
            o.StringaControllo = r.Text("StringaControllo");
        } else {
            o.SMSDataPrimo = db::DateFromColumn(r.V("SMSDataPrimo"));
            o.SMSOraPrimo = db::TimeFromColumn(r.V("SMSOraPrimo"));
        }
        db::CreditFromColumn(r.Int("ControlloCredito"), o.ControlloCreditoAttivo, o.ControlloCredito);
        o.Priorita = r.Byte("Priorita");
    });
    if (modelG) {
        Tag_GPRS& g = img.GPRS;
        one("GPRS", [&](const Row& r) {
            g.APN = r.Text("APN");
            g.APN2 = r.Text("APN2");
            g.IP = db::IpFromDigits(r.Text("IP"));
            g.IP2 = db::IpFromDigits(r.Text("IP2"));
            g.Port = static_cast<std::int32_t>(r.Int("Port"));
            g.Port2 = static_cast<std::int32_t>(r.Int("Port2"));
            g.Super = static_cast<std::int32_t>(r.Int("Super"));
            g.SuperAttiva = g.Super > 0 ? 1 : 0;
            g.SIM = r.Text("SIM");
            g.Account = r.Text("Account");
            g.DNIS = r.Text("DNIS");
            g.CID1 = r.Text("CID1");
            g.CID2 = r.Text("CID2");
            g.UserName = r.Text("UserName");
            g.Pwd = r.Text("Pwd");
        });
    }
    return true;
}

// ---------------------------------------------------------------- saving

CustomerDatabase::HeaderLook CustomerDatabase::LookUp(const Tag_Cliente& header)
{
    TableFolders& t = Open();
    HeaderLook look;
    {
        QSqlQuery q = t.Prepare(QStringLiteral("SELECT SerialCli, Nome FROM Clienti WHERE CodiceCliente = ? LIMIT 1"));
        q.addBindValue(Q(header.CodiceCliente));
        TableFolders::Exec(q);
        if (q.next()) {
            look.codeOwner = q.value(0).toInt();
            look.codeOwnerName = ToCp1252(q.value(1).toString());
        }
    }
    QSqlQuery q = t.Prepare(QStringLiteral("SELECT SerialCli, TipoCentrale FROM Clienti WHERE Nome = ? LIMIT 1"));
    q.addBindValue(Q(header.Nome));
    TableFolders::Exec(q);
    if (q.next()) {
        look.nameOwner = q.value(0).toInt();
        look.nameOwnerModel = static_cast<int>(q.value(1).toLongLong() & 0xFF);
    }
    return look;
}

int CustomerDatabase::Decide(const HeaderLook& look, int model, int& rowSerial)
{
    rowSerial = 0;
    const std::string codeTaken = st_.Text(129) + " \"" + look.codeOwnerName + "\"";
    if (look.nameOwner) {
        if (look.nameOwnerModel != model) {
            ShowMsg(*st_.feedback, st_.Text(128), MsgType::Warning);
            return kHeaderOtherModel;
        }
        if (look.codeOwner && *look.codeOwner != *look.nameOwner) {
            ShowMsg(*st_.feedback, codeTaken, MsgType::Error);
            return kHeaderCodeTaken;
        }
        if (ShowMsg(*st_.feedback, st_.Text(130), MsgType::Warning, MsgButtons::YesNo) != MsgAnswer::Yes)
            return kHeaderDeclined;
        rowSerial = *look.nameOwner;
        return kHeaderStored;
    }
    if (look.codeOwner) {
        ShowMsg(*st_.feedback, codeTaken, MsgType::Error);
        return kHeaderCodeTaken;
    }
    return kHeaderStored;
}

void CustomerDatabase::WriteHeader(Tag_Cliente& h, int rowSerial, const std::string& note, const DateTime* modified)
{
    TableFolders& t = Open();
    const QVariantList values = {Q(h.Nome),          Q(h.Indirizzo),     Q(h.Comune),
                                 Q(h.Telefono),      Q(h.TelCentrale),   static_cast<int>(h.TipoCentrale),
                                 Q(h.DescrImpianto), Q(h.CodiceCliente), Q(h.Rel_firmware),
                                 db::DateText(modified ? *modified : NowDateTime()), Q(note)};
    QSqlQuery q;
    if (rowSerial != 0) {
        q = t.Prepare(QStringLiteral(
            "UPDATE Clienti SET Nome = ?, Indirizzo = ?, Comune = ?, Telefono = ?, TelCentrale = ?, TipoCentrale = ?, "
            "DescrImpianto = ?, CodiceCliente = ?, Rel_firmware = ?, DataUltModifica = ?, Note = ? WHERE SerialCli = ?"));
        for (const auto& v : values) q.addBindValue(v);
        q.addBindValue(rowSerial);
        TableFolders::Exec(q);
        h.SerialCli = rowSerial;
    } else {
        q = t.Prepare(QStringLiteral(
            "INSERT INTO Clienti (Nome, Indirizzo, Comune, Telefono, TelCentrale, TipoCentrale, DescrImpianto, "
            "CodiceCliente, Rel_firmware, DataUltModifica, Note) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
            "RETURNING SerialCli"));
        for (const auto& v : values) q.addBindValue(v);
        h.SerialCli = TableFolders::ExecReturning(q).toInt();
    }
}

int CustomerDatabase::StoreHeader(Tag_Cliente& h, int model, const std::string& note, bool withConfiguration,
                                  const DateTime* modified)
{
    const std::int32_t before = h.SerialCli;
    try {
        // Another installer may save between the look (and the questions it
        // leads to) and the write: the write then checks again under the lock,
        // and when anything changed the look and the questions are done again.
        for (int attempt = 1;; ++attempt) {
            const HeaderLook look = LookUp(h);
            int rowSerial = 0;
            const int code = Decide(look, model, rowSerial);
            if (code != kHeaderStored) return code;
            // Header and every table together: a failure or a crash half-way
            // leaves the customer as it was.
            Transaction tx(Open());
            Open().LockForWriting(QStringLiteral("main"), QStringLiteral("Clienti"));
            if (LookUp(h) != look) {
                if (attempt < 5) continue;
                throw DbError("Other saves keep changing this customer; it was not stored. Try again.");
            }
            WriteHeader(h, rowSerial, note, modified);
            if (withConfiguration) SaveConfiguration();
            tx.Commit();
            return kHeaderStored;
        }
    } catch (const DbError& e) {
        h.SerialCli = before;
        if (e.UniqueViolation()) {
            // The unique index on the code: someone else's save got there first.
            std::string owner;
            try {
                owner = LookUp(h).codeOwnerName;
            } catch (const DbError&) {
            }
            ShowMsg(*st_.feedback, st_.Text(129) + " \"" + owner + "\"", MsgType::Error);
            return kHeaderCodeTaken;
        }
        ShowMsg(*st_.feedback, e.what(), MsgType::Warning);
        return kHeaderDatabaseError;
    }
}

int CustomerDatabase::SaveCustomerHeader(Tag_Cliente& header, int model, const std::string& note)
{
    return StoreHeader(header, model, note, false, nullptr);
}

bool CustomerDatabase::SaveCustomer(const std::string& note, const DateTime* modified)
{
    return StoreHeader(st_.cliente, st_.cliente.TipoCentrale, note, true, modified) == kHeaderStored;
}

void CustomerDatabase::SaveConfiguration()
{
    TableFolders& t = Open();
    const Tag_GlobalBuffer& img = st_.image;
    const int serial = st_.cliente.SerialCli;
    const int model = st_.cliente.TipoCentrale;
    const bool modelG = model == kModelG;

    // Every configuration table, GPRS too for the other models: the rows of a
    // stored customer are exactly those of its last save.
    for (const char* table : kConfigTables) DeleteRowsOfCustomer(QString::fromLatin1(table), configFolder_, serial);

    {
        Inserter ins(t, cfg_, "NumTel", {"SerialCli", "Progress", "Descrizione", "Numero", "Avvisatore", "Uscite"});
        for (int i = 0; i < PhoneEntriesInUse(model); ++i) {
            const auto& e = img.NumTel[static_cast<std::size_t>(i)];
            ins.Insert({serial, i, Q(e.Descrizione), Q(e.Numero), Flag(e.Avvisatore), e.Uscite});
        }
        ins.Write();
    }
    {
        Inserter ins(t, cfg_, "Messaggi", {"SerialCli", "Progress", "Descrizione"});
        for (int i = 0; i < kMessageLabels; ++i)
            ins.Insert({serial, i, Q(CountedString<20>(img.Messaggi[static_cast<std::size_t>(i)]).view())});
        ins.Write();
    }
    {
        Inserter ins(t, cfg_, "Sms", {"SerialCli", "Progress", "Descrizione"});
        for (int i = 0; i < kSmsTexts; ++i) ins.Insert({serial, i, Q(img.Sms[static_cast<std::size_t>(i)])});
        ins.Write();
    }
    {
        Inserter ins(t, cfg_, "Ingresso",
                     {"SerialCli", "Progress", "Polarita", "Messaggio", "MaskTel", "SmsA", "SmsR", "MaskSms", "Serv",
                      "SMSAttiv", "SMSRipr", "ServPELIX_I_1", "ServPELIX_I_2"});
        for (int i = 0; i < InputsStored(model); ++i) {
            const auto& e = img.Ingresso[static_cast<std::size_t>(i)];
            ins.Insert({serial, i, e.Polarita, e.Messaggio, e.MaskTel, e.SmsA, e.SmsR, e.MaskSms, Flag(e.Serv),
                        Q(e.SMSAttiv), Q(e.SMSRipr), Flag(e.ServPELIX_I_1), Flag(e.ServPELIX_I_2)});
        }
        ins.Write();
    }
    {
        Inserter ins(t, cfg_, "Uscite",
                     {"SerialCli", "Progress", "Polarita", "FP", "FG", "BC", "BP", "CO", "CI", "MS", "OUTRESERV",
                      "Messaggio", "MaskEventiPELIX_I", "Tipo", "TempoOn", "Conferma"});
        for (int i = 0; i < kOutputs; ++i) {
            const auto& e = img.Uscite[static_cast<std::size_t>(i)];
            ins.Insert({serial, i, e.Polarita, Flag(e.FP), Flag(e.FG), Flag(e.BC), Flag(e.BP), Flag(e.CO), Flag(e.CI),
                        Flag(e.MS), Flag(e.OUTRESERV), Q(e.Messaggio), e.MaskEventiPELIX_I, e.Tipo, e.TempoOn,
                        e.Conferma});
        }
        ins.Write();
    }

    const Tag_ComDig& cd = img.ComDig;
    const Tag_Opzioni& o = img.Opzioni;
    QString segDate, segTime, smsDate, smsTime;
    if (modelG) {
        db::UnixToColumns(o.SegPrimoUnix, segDate, segTime);
        db::UnixToColumns(o.SMSPrimoUnix, smsDate, smsTime);
    } else {
        segDate = db::DateText(cd.SegDataPrimo);
        segTime = db::TimeText(cd.SegOraPrimo);
        smsDate = db::DateText(o.SMSDataPrimo);
        smsTime = db::TimeText(o.SMSOraPrimo);
    }
    Inserter(t, cfg_, "ComDig",
             {"SerialCli", "Numero1", "Numero2", "Numero3", "Numero4", "SegDataPrimo", "SegOraPrimo", "SegIntervallo1",
              "SegIntervallo2"})
        .Insert({serial, Q(cd.Numero1), Q(cd.Numero2), Q(cd.Numero3), Q(cd.Numero4), segDate, segTime,
                 static_cast<qlonglong>(db::IntervalLow(cd.SegIntervallo)),
                 static_cast<qlonglong>(db::IntervalHigh(cd.SegIntervallo))})
        .Write();
    {
        Inserter ins(t, cfg_, "Eventi", {"SerialCli", "Progress", "CodiceUtente", "CodiceEvento1", "CodiceEvento2", "Invia"});
        for (int i = 0; i < kEvents; ++i) {
            const auto& e = cd.Eventi[static_cast<std::size_t>(i)];
            ins.Insert({serial, i, Q(e.CodiceUtente), Q(e.CodiceEvento1), Q(e.CodiceEvento2), e.Invia});
        }
        ins.Write();
    }

    QVariantList opz = {serial, o.Voceinlinea, o.Squillo, o.Selezione, Q(o.Prefisso), o.Richiama, Q(o.CodUscSms),
                        o.CifreRim, o.UsaGsm, o.CommutaChiama, smsDate, smsTime,
                        static_cast<qlonglong>(db::IntervalLow(o.SMSIntervallo)),
                        static_cast<qlonglong>(db::IntervalHigh(o.SMSIntervallo)),
                        static_cast<qlonglong>(db::CreditToColumn(o.ControlloCreditoAttivo, o.ControlloCredito)),
                        o.Priorita};
    // Older tables without NtelChiamataADT still take the rest of the row.
    const bool hasAdt = t.HasColumn(cfg_, QStringLiteral("Opzioni"), QStringLiteral("NtelChiamataADT"));
    if (modelG && hasAdt) {
        Inserter(t, cfg_, "Opzioni",
                 {"SerialCli", "VoceInLinea", "Squillo", "Selezione", "Prefisso", "Richiama", "CodUscSms", "CifreRim",
                  "UsaGsm", "CommutaChiama", "SMSDataPrimo", "SMSOraPrimo", "SMSIntervallo1", "SMSIntervallo2",
                  "ControlloCredito", "Priorita", "StringaControllo", "NtelChiamataADT"})
            .Insert(opz << Q(o.StringaControllo) << img.GPRS.NtelChiamataADT)
            .Write();
    } else if (modelG) {
        Inserter(t, cfg_, "Opzioni",
                 {"SerialCli", "VoceInLinea", "Squillo", "Selezione", "Prefisso", "Richiama", "CodUscSms", "CifreRim",
                  "UsaGsm", "CommutaChiama", "SMSDataPrimo", "SMSOraPrimo", "SMSIntervallo1", "SMSIntervallo2",
                  "ControlloCredito", "Priorita", "StringaControllo"})
            .Insert(opz << Q(o.StringaControllo))
            .Write();
    } else if (hasAdt) {
        Inserter(t, cfg_, "Opzioni",
                 {"SerialCli", "VoceInLinea", "Squillo", "Selezione", "Prefisso", "Richiama", "CodUscSms", "CifreRim",
                  "UsaGsm", "CommutaChiama", "SMSDataPrimo", "SMSOraPrimo", "SMSIntervallo1", "SMSIntervallo2",
                  "ControlloCredito", "Priorita", "NtelChiamataADT"})
            .Insert(opz << img.GPRS.NtelChiamataADT)
            .Write();
    } else {
        Inserter(t, cfg_, "Opzioni",
                 {"SerialCli", "VoceInLinea", "Squillo", "Selezione", "Prefisso", "Richiama", "CodUscSms", "CifreRim",
                  "UsaGsm", "CommutaChiama", "SMSDataPrimo", "SMSOraPrimo", "SMSIntervallo1", "SMSIntervallo2",
                  "ControlloCredito", "Priorita"})
            .Insert(opz)
            .Write();
    }

    if (modelG) {
        const Tag_GPRS& g = img.GPRS;
        Inserter(t, cfg_, "GPRS",
                 {"SerialCli", "APN", "APN2", "Port", "Port2", "Super", "IP", "IP2", "UserName", "Pwd", "SIM", "DNIS",
                  "Account", "CID1", "CID2"})
            .Insert({serial, Q(g.APN), Q(g.APN2), g.Port, g.Port2, g.Super, Q(db::IpToDigits(g.IP)),
                     Q(db::IpToDigits(g.IP2)), Q(g.UserName), Q(g.Pwd), Q(g.SIM), Q(g.DNIS), Q(g.Account), Q(g.CID1),
                     Q(g.CID2)})
            .Write();
    }
}

// ---------------------------------------------------------------- deleting

void CustomerDatabase::DeleteRowsOfCustomer(const QString& table, const QString& folder, int serial)
{
    TableFolders& t = Open();
    const QString schema = t.Schema(folder);
    if (!t.TableExists(schema, table)) return;
    QSqlQuery q = t.Prepare(QStringLiteral("DELETE FROM ") + t.Qualified(schema, table) +
                            QStringLiteral(" WHERE SerialCli = ?"));
    q.addBindValue(serial);
    TableFolders::Exec(q);
}

bool CustomerDatabase::DeleteCustomer(int serial)
{
    try {
        // All ten tables: the database may give this serial number to the next
        // new customer, which must not inherit the old events or GPRS settings.
        Transaction tx(Open());
        DeleteRowsOfCustomer(QStringLiteral("Clienti"), dataFolder_, serial);
        for (const char* table : kConfigTables) DeleteRowsOfCustomer(QString::fromLatin1(table), configFolder_, serial);
        tx.Commit();
        return true;
    } catch (const DbError& e) {
        ShowMsg(*st_.feedback, e.what(), MsgType::Warning);
        return false;
    }
}

// ---------------------------------------------------------------- codes and lists

std::string CustomerDatabase::NextCustomerCode()
{
    BusyScope busy(*st_.feedback);
    try {
        std::bitset<10000> used;
        QSqlQuery q = Open().Prepare(QStringLiteral("SELECT CodiceCliente FROM Clienti"));
        TableFolders::Exec(q);
        while (q.next()) {
            const QString code = q.value(0).toString();
            if (code.size() != 4) continue;
            int n = 0;
            bool digits = true;
            for (QChar c : code) {
                if (c < u'0' || c > u'9') { digits = false; break; }
                n = n * 10 + (c.unicode() - u'0');
            }
            if (digits) used.set(static_cast<std::size_t>(n));
        }
        for (int n = 0; n < 10000; ++n)
            if (!used.test(static_cast<std::size_t>(n))) return PadLeft(std::to_string(n), 4, '0');
        // Every code is taken: give none rather than one another customer holds.
        ShowErrorWhileBusy(st_.Text(kTextNoFreeCustomerCode));
    } catch (const DbError& e) {
        ShowErrorWhileBusy(e.what());
    }
    return {};
}

bool CustomerDatabase::ListCustomers(std::vector<CustomerListEntry>& out, const QString& indexField)
{
    out.clear();
    const QString order = indexField.compare(u"CodiceCliente", Qt::CaseInsensitive) == 0 ? QStringLiteral("CodiceCliente")
                                                                                          : QStringLiteral("Nome");
    try {
        QSqlQuery q = Open().Prepare(QStringLiteral(
            "SELECT SerialCli, Nome, CodiceCliente, TipoCentrale, Comune, Rel_firmware FROM Clienti ORDER BY ") + order);
        TableFolders::Exec(q);
        while (q.next()) {
            CustomerListEntry e;
            e.SerialCli = q.value(0).toInt();
            e.Nome = ToCp1252(q.value(1).toString());
            e.CodiceCliente = ToCp1252(q.value(2).toString());
            e.TipoCentrale = q.value(3).toInt();
            e.Comune = ToCp1252(q.value(4).toString());
            e.Rel_firmware = ToCp1252(q.value(5).toString());
            out.push_back(std::move(e));
        }
        return true;
    } catch (const DbError& e) {
        ShowMsg(*st_.feedback, e.what(), MsgType::Error);
        return false;
    }
}

std::optional<int> CustomerDatabase::FindByName(const std::string& nome)
{
    try {
        QSqlQuery q = Open().Prepare(QStringLiteral("SELECT SerialCli FROM Clienti WHERE Nome = ? LIMIT 1"));
        q.addBindValue(Q(CountedString<35>(nome)));
        TableFolders::Exec(q);
        if (q.next()) return q.value(0).toInt();
    } catch (const DbError& e) {
        ShowMsg(*st_.feedback, e.what(), MsgType::Warning);
    }
    return std::nullopt;
}

bool CustomerDatabase::ReadNote(int serial, std::string& note)
{
    try {
        QSqlQuery q = Open().Prepare(QStringLiteral("SELECT Note FROM Clienti WHERE SerialCli = ?"));
        q.addBindValue(serial);
        TableFolders::Exec(q);
        if (!q.next()) return false;
        note = ToCp1252(q.value(0).toString());
        return true;
    } catch (const DbError& e) {
        ShowMsg(*st_.feedback, e.what(), MsgType::Warning);
        return false;
    }
}

}  // namespace pelix
