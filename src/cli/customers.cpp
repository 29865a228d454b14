// pelixctl customers: the customer database from the command line.
//
//   customers list [--by-code]
//   customers show CUSTOMER
//   customers export CUSTOMER [FILE]        JSON form of header and image (stdout without FILE)
//   customers import FILE [--overwrite]     stored by the same rules as the save window
//   customers delete CUSTOMER
//   customers copy --from WHERE --to WHERE [--overwrite]
//                                           every customer, with name, code and
//                                           date of last change; WHERE is a data
//                                           folder (SQLite) or postgresql://...
//
// CUSTOMER is a customer's name or, when no customer has that name, its serial
// number.
#include "cli.h"

#include "db/convert.h"
#include "db/customerdb.h"
#include "db/location.h"
#include "model/datetime.h"
#include "model/imageinit.h"
#include "model/imagejson.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace pelix::cli {

namespace {

std::string ModelName(int model)
{
    switch (model) {
    case kModelG: return "PELIX-G";
    case kModelA: return "PELIX-A";
    case kModelI: return "PELIX-I";
    default: return "model " + std::to_string(model);
    }
}

int Usage()
{
    PrintError("usage: pelixctl customers list [--by-code]");
    PrintError("       pelixctl customers show CUSTOMER");
    PrintError("       pelixctl customers export CUSTOMER [FILE]");
    PrintError("       pelixctl customers import FILE [--overwrite]");
    PrintError("       pelixctl customers delete CUSTOMER");
    PrintError("       pelixctl customers copy --from WHERE --to WHERE [--overwrite]");
    PrintError("         (WHERE: a data folder, or postgresql://USER@HOST:PORT/DATABASE)");
    return 2;
}

// The customer named `key`, or the one whose serial number it is.
std::optional<CustomerListEntry> Find(CustomerDatabase& db, const QString& key)
{
    std::vector<CustomerListEntry> all;
    if (!db.ListCustomers(all)) return std::nullopt;
    const std::string name = ToCp1252(key);
    for (const auto& c : all)
        if (c.Nome == name) return c;
    bool isNumber = false;
    const int serial = key.toInt(&isNumber);
    if (isNumber)
        for (const auto& c : all)
            if (c.SerialCli == serial) return c;
    PrintError("no customer " + name);
    return std::nullopt;
}

// Header and image of `c` in the state, with the defaults of its own model
// under whatever the tables do not hold.
bool Load(Context& ctx, CustomerDatabase& db, const CustomerListEntry& c)
{
    ProgramState& st = *ctx.state;
    st.cliente.TipoCentrale = static_cast<std::uint8_t>(c.TipoCentrale);
    CustomerCodeSource* codes = st.codes;
    st.codes = nullptr;  // the code comes from the table
    InitImage(st, st.image, true);
    st.codes = codes;
    return db.LoadCustomer(c.SerialCli);
}

int List(Context& ctx, CustomerDatabase& db)
{
    std::vector<CustomerListEntry> all;
    const bool byCode = ctx.args.contains(QStringLiteral("--by-code"));
    if (!db.ListCustomers(all, byCode ? QStringLiteral("CodiceCliente") : QStringLiteral("Nome"))) return 1;
    for (const auto& c : all)
        PrintLine(PadLeft(std::to_string(c.SerialCli), 6, ' ') + "  " + PadRight(c.CodiceCliente, 4, ' ') + "  " +
                  PadRight(ModelName(c.TipoCentrale), 8, ' ') + "  " + c.Nome);
    return 0;
}

int Show(Context& ctx, CustomerDatabase& db)
{
    if (ctx.args.size() != 2) return Usage();
    const auto c = Find(db, ctx.args[1]);
    if (!c || !Load(ctx, db, *c)) return 1;
    const Tag_Cliente& h = ctx.state->cliente;
    std::string note;
    db.ReadNote(h.SerialCli, note);
    PrintLine("Serial:        " + std::to_string(h.SerialCli));
    PrintLine("Name:          " + h.Nome.str());
    PrintLine("Code:          " + h.CodiceCliente.str());
    PrintLine("Model:         " + ModelName(h.TipoCentrale));
    PrintLine("Firmware:      " + h.Rel_firmware.str());
    PrintLine("Address:       " + h.Indirizzo.str());
    PrintLine("Town:          " + h.Comune.str());
    PrintLine("Telephone:     " + h.Telefono.str());
    PrintLine("SIM telephone: " + h.TelCentrale.str());
    PrintLine("Installation:  " + h.DescrImpianto.str());
    PrintLine("Last change:   " + db::DateText(h.DataUltModifica).toStdString());
    PrintLine("Note:          " + note);
    int numbers = 0;
    for (int i = 0; i < PhoneEntriesInUse(h.TipoCentrale); ++i)
        if (!ctx.state->image.NumTel[static_cast<std::size_t>(i)].Numero.empty()) ++numbers;
    PrintLine("Phone numbers: " + std::to_string(numbers) + " of " + std::to_string(PhoneEntriesInUse(h.TipoCentrale)));
    return 0;
}

int Export(Context& ctx, CustomerDatabase& db)
{
    if (ctx.args.size() < 2 || ctx.args.size() > 3) return Usage();
    const auto c = Find(db, ctx.args[1]);
    if (!c || !Load(ctx, db, *c)) return 1;
    const QByteArray json = ImageToJsonText(ctx.state->cliente, ctx.state->image);
    if (ctx.args.size() == 2) {
        std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
        return 0;
    }
    QFile out(ctx.args[2]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(json) != json.size()) {
        PrintError("cannot write " + ctx.args[2].toStdString() + ": " + out.errorString().toStdString());
        return 1;
    }
    return 0;
}

int Import(Context& ctx, CustomerDatabase& db)
{
    const bool overwrite = ctx.args.contains(QStringLiteral("--overwrite"));
    QStringList rest = ctx.args.mid(1);
    rest.removeAll(QStringLiteral("--overwrite"));
    if (rest.size() != 1) return Usage();
    QFile in(rest[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        PrintError("cannot read " + rest[0].toStdString() + ": " + in.errorString().toStdString());
        return 1;
    }
    ProgramState& st = *ctx.state;
    Tag_Cliente header = st.cliente;
    Tag_GlobalBuffer image;
    std::string error;
    if (!ImageFromJsonText(in.readAll(), st.texts, header, image, error)) {
        PrintError(rest[0].toStdString() + ": " + error);
        return 1;
    }
    if (TrimSpaces(header.Nome.view()).empty()) {
        PrintError(rest[0].toStdString() + ": the customer has no name");
        return 1;
    }
    // The name decides which customer this is, as in the save window.
    header.SerialCli = 0;
    std::string note;
    if (const auto existing = db.FindByName(header.Nome.str())) {
        if (!overwrite) {
            PrintError("a customer named " + header.Nome.str() + " exists already (use --overwrite to replace it)");
            return 1;
        }
        // The note is not part of the JSON form, and a form without a code
        // keeps the one the customer has.
        db.ReadNote(*existing, note);
        if (header.CodiceCliente.empty()) {
            std::vector<CustomerListEntry> all;
            db.ListCustomers(all);
            for (const auto& c : all)
                if (c.SerialCli == *existing) header.CodiceCliente = c.CodiceCliente;
        }
    }
    if (header.CodiceCliente.empty()) header.CodiceCliente = db.NextCustomerCode();
    if (header.CodiceCliente.empty()) return 1;
    header.CodiceCliente = PadLeft(header.CodiceCliente.view(), 4, '0');
    header.NotePresenti = note.empty() ? 0 : 1;
    st.cliente = header;
    st.image = image;
    ctx.feedback.answerToQuestions = overwrite ? MsgAnswer::Yes : MsgAnswer::No;
    if (!db.SaveCustomer(note)) return 1;
    PrintLine("stored " + st.cliente.Nome.str() + " as customer " + std::to_string(st.cliente.SerialCli) + ", code " +
              st.cliente.CodiceCliente.str());
    return 0;
}

int Delete(Context& ctx, CustomerDatabase& db)
{
    if (ctx.args.size() != 2) return Usage();
    const auto c = Find(db, ctx.args[1]);
    if (!c) return 1;
    if (!db.DeleteCustomer(c->SerialCli)) return 1;
    PrintLine("deleted " + c->Nome);
    return 0;
}

// Opens the customers `where` names: a server address or a data folder.
bool OpenNamed(Context& ctx, CustomerDatabase& db, const QString& where)
{
    ProgramState& st = *ctx.state;
    const bool server = db::IsServerAddress(where);
    st.settings.Database = server ? where : QString();
    if (!server && !QFileInfo(where).isDir()) {
        PrintError("no data folder " + where.toStdString());
        return false;
    }
    if (!db.SetTableLocations(server ? st.folders.data : where)) return false;
    if (!db.Tables()->TableExists(QStringLiteral("main"), QStringLiteral("Clienti"))) {
        PrintError("no customer tables in " + where.toStdString() + " (make them with: dbrefit --unattended --database " +
                   (server ? where.toStdString() : std::string("\"\"")) + ")");
        return false;
    }
    return true;
}

int Copy(Context& ctx)
{
    QString from, to;
    bool overwrite = false;
    for (int i = 1; i < ctx.args.size(); ++i) {
        const QString& a = ctx.args[i];
        if ((a == u"--from" || a == u"--to") && i + 1 < ctx.args.size())
            (a == u"--from" ? from : to) = ctx.args[++i];
        else if (a == u"--overwrite")
            overwrite = true;
        else
            return Usage();
    }
    if (from.isEmpty() || to.isEmpty()) return Usage();

    ProgramState& st = *ctx.state;
    CustomerDatabase source(st);
    CustomerDatabase target(st);
    if (!OpenNamed(ctx, source, from) || !OpenNamed(ctx, target, to)) return 1;
    std::vector<CustomerListEntry> all;
    if (!source.ListCustomers(all)) return 1;

    // A customer whose name the target holds already is replaced only when
    // asked to; a code held there by another customer is never taken.
    ctx.feedback.answerToQuestions = MsgAnswer::Yes;
    int copied = 0;
    for (const auto& c : all) {
        if (!overwrite && target.FindByName(c.Nome)) {
            PrintError("not copied: " + c.Nome + " (the target has a customer of that name; --overwrite replaces it)");
            continue;
        }
        std::string note;
        if (Load(ctx, source, c) && source.ReadNote(c.SerialCli, note)) {
            st.cliente.SerialCli = 0;
            const DateTime modified = st.cliente.DataUltModifica;
            if (target.SaveCustomer(note, &modified)) {
                ++copied;
                continue;
            }
        }
        PrintError("not copied: " + c.Nome);
    }
    PrintLine("copied " + std::to_string(copied) + " of " + std::to_string(all.size()) + " customers");
    return copied == static_cast<int>(all.size()) ? 0 : 1;
}

}  // namespace

int RunCustomers(Context& ctx)
{
    if (ctx.args.isEmpty()) return Usage();
    // Copying opens two databases of its own.
    if (ctx.args[0] == u"copy") return Copy(ctx);
    CustomerDatabase db(*ctx.state);
    if (!db.SetTableLocations()) return 1;
    ctx.state->codes = &db;
    struct Sub {
        const char* name;
        int (*run)(Context&, CustomerDatabase&);
    } subs[] = {{"list", List}, {"show", Show}, {"export", Export}, {"import", Import}, {"delete", Delete}};
    int result = -1;
    for (const auto& s : subs)
        if (ctx.args[0] == QLatin1String(s.name)) result = s.run(ctx, db);
    ctx.state->codes = nullptr;
    return result < 0 ? Usage() : result;
}

}  // namespace pelix::cli
