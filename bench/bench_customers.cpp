// Times the customer database made from the shipped structure tables: saving
// and loading one full PELIX-G customer, and listing 32000 customers in name
// order. Prints the mean of each, on SQLite and, when a PostgreSQL server is
// given, on that server side by side.
//
//   bench_customers [STRUCT-FOLDER]
//
// The server comes from PELIX_TEST_PG (scripts/bench-customers starts one): the
// benchmark makes a database of its own there and drops it at the end.
#include "db/customerdb.h"
#include "dbrefit/structure.h"
#include "model/imageinit.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figures {
    double save = 0;
    double load = 0;
    double list = 0;
    std::size_t listed = 0;
};

// The three figures on the tables `connection` names (empty: SQLite in `data`).
std::optional<Figures> Measure(const QString& data, const QString& structFolder, const QString& connection)
{
    pelix::RecordingFeedback fb;
    fb.defaultAnswer = pelix::MsgAnswer::Yes;  // every save after the first overwrites
    pelix::refit::PrepareTables(data, structFolder, fb, connection);
    if (!fb.messages.empty()) {
        std::fprintf(stderr, "%s\n", fb.messages.front().text.c_str());
        return std::nullopt;
    }

    pelix::ProgramState st(fb);
    st.settings.Database = connection;
    pelix::CustomerDatabase db(st);
    if (!db.SetTableLocations(data)) return std::nullopt;

    // A full PELIX-G customer: every phone entry and text in use.
    st.cliente.TipoCentrale = pelix::kModelG;
    pelix::InitImage(st, st.image, true);
    st.cliente.Nome = "Benchmark";
    st.cliente.CodiceCliente = "0001";
    for (int i = 0; i < pelix::kPhoneEntries; ++i) {
        st.image.NumTel[static_cast<std::size_t>(i)].Descrizione = "Number " + std::to_string(i);
        st.image.NumTel[static_cast<std::size_t>(i)].Numero = "+39333" + std::to_string(1000000 + i);
    }
    for (auto& s : st.image.Sms) s = std::string(140, 's');
    for (auto& in : st.image.Ingresso) in.SMSAttiv = std::string(100, 'a');

    Figures f;
    const int rounds = 50;
    auto t0 = Clock::now();
    for (int i = 0; i < rounds; ++i)
        if (!db.SaveCustomer("note")) return std::nullopt;
    f.save = Ms(Clock::now() - t0) / rounds;
    const int serial = st.cliente.SerialCli;

    t0 = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        pelix::InitImage(st, st.image, true);
        if (!db.LoadCustomer(serial)) return std::nullopt;
    }
    f.load = Ms(Clock::now() - t0) / rounds;

    // 32000 customers, written straight into the header table. There are only
    // 10000 codes (0001 is the customer above); the customers after those have none.
    auto& t = *db.Tables();
    t.Begin();
    QSqlQuery ins = t.Prepare(QStringLiteral(
        "INSERT INTO Clienti (Nome, CodiceCliente, TipoCentrale, Comune, Rel_firmware) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 1; i < 32000; ++i) {
        ins.bindValue(0, QStringLiteral("Customer %1").arg((i * 7919) % 32000, 5, 10, QLatin1Char('0')));
        ins.bindValue(1, i < 9999 ? QVariant(QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0'))) : QVariant());
        ins.bindValue(2, i % 3 == 0 ? 21 : 19);
        ins.bindValue(3, QStringLiteral("Town"));
        ins.bindValue(4, QStringLiteral("1.00"));
        pelix::db::TableFolders::Exec(ins);
    }
    t.Commit();
    std::vector<pelix::CustomerListEntry> list;
    const int listRounds = 5;
    t0 = Clock::now();
    for (int i = 0; i < listRounds; ++i)
        if (!db.ListCustomers(list)) return std::nullopt;
    f.list = Ms(Clock::now() - t0) / listRounds;
    f.listed = list.size();
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString structFolder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                          : QCoreApplication::applicationDirPath() + QStringLiteral("/STRUCT");
    QTemporaryDir base;
    const auto sqlite = Measure(base.path() + QStringLiteral("/Data"), structFolder, QString());
    if (!sqlite) return 1;

    std::optional<Figures> server;
    const QString serverBase = qEnvironmentVariable("PELIX_TEST_PG");
    if (!serverBase.isEmpty()) {
        const QString name = QStringLiteral("pelix_bench_%1").arg(QCoreApplication::applicationPid());
        QUrl url(serverBase);
        url.setPath(u'/' + name);
        try {
            pelix::db::CreateServerDatabase(serverBase, name);
            server = Measure(base.path() + QStringLiteral("/ServerData"), structFolder, url.toString());
            pelix::db::DropServerDatabase(serverBase, name);
        } catch (const pelix::db::DbError& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        if (!server) return 1;
    }

    std::printf("%-36s %12s %12s\n", "", "SQLite", server ? "PostgreSQL" : "");
    auto row = [&](const char* what, double a, std::optional<double> b, const char* target) {
        if (b)
            std::printf("%-36s %9.2f ms %9.2f ms   (target %s)\n", what, a, *b, target);
        else
            std::printf("%-36s %9.2f ms %12s   (target %s)\n", what, a, "-", target);
    };
    row("save of a full PELIX-G customer", sqlite->save, server ? std::optional(server->save) : std::nullopt, "20 ms");
    row("load of a full PELIX-G customer", sqlite->load, server ? std::optional(server->load) : std::nullopt, "10 ms");
    const std::string listing = "list of " + std::to_string(sqlite->listed) + " customers by name";
    row(listing.c_str(), sqlite->list, server ? std::optional(server->list) : std::nullopt, "300 ms");
    if (!server) std::printf("(no PostgreSQL server: run scripts/bench-customers for both)\n");
    return 0;
}
