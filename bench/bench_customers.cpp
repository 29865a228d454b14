// Times the customer database on a temporary data folder made from the shipped
// structure tables: saving and loading one full PELIX-G customer, and listing
// 32000 customers in name order. Prints the mean of each.
//
//   bench_customers [STRUCT-FOLDER]
#include "db/customerdb.h"
#include "dbrefit/structure.h"
#include "model/imageinit.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString structFolder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                          : QCoreApplication::applicationDirPath() + QStringLiteral("/STRUCT");
    QTemporaryDir base;
    pelix::RecordingFeedback fb;
    fb.defaultAnswer = pelix::MsgAnswer::Yes;  // every save after the first overwrites
    const QString data = base.path() + QStringLiteral("/Data");
    pelix::refit::PrepareTables(data, structFolder, fb);
    if (!fb.messages.empty()) {
        std::fprintf(stderr, "%s\n", fb.messages.front().text.c_str());
        return 1;
    }

    pelix::ProgramState st(fb);
    pelix::CustomerDatabase db(st);
    if (!db.SetTableLocations(data)) return 1;

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

    const int rounds = 50;
    auto t0 = Clock::now();
    for (int i = 0; i < rounds; ++i)
        if (!db.SaveCustomer("note")) return 1;
    const double save = Ms(Clock::now() - t0) / rounds;
    const int serial = st.cliente.SerialCli;

    t0 = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        pelix::InitImage(st, st.image, true);
        if (!db.LoadCustomer(serial)) return 1;
    }
    const double load = Ms(Clock::now() - t0) / rounds;

    // 32000 customers, written straight into the header table.
    auto& t = *db.Tables();
    t.Begin();
    QSqlQuery ins = t.Prepare(QStringLiteral(
        "INSERT INTO Clienti (Nome, CodiceCliente, TipoCentrale, Comune, Rel_firmware) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 1; i < 32000; ++i) {
        ins.bindValue(0, QStringLiteral("Customer %1").arg((i * 7919) % 32000, 5, 10, QLatin1Char('0')));
        ins.bindValue(1, QStringLiteral("%1").arg(i % 10000, 4, 10, QLatin1Char('0')));
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
        if (!db.ListCustomers(list)) return 1;
    const double listing = Ms(Clock::now() - t0) / listRounds;

    std::printf("save of a full PELIX-G customer:   %8.2f ms (target 20 ms)\n", save);
    std::printf("load of a full PELIX-G customer:   %8.2f ms (target 10 ms)\n", load);
    std::printf("list of %zu customers by name:  %8.2f ms (target 300 ms)\n", list.size(), listing);
    return 0;
}
