// A process killed in the middle of a save leaves the customer as it was or
// wholly saved: never some tables of one save and some of another.
#include "dbfixture.h"

#include "model/imageinit.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <random>
#include <set>

using namespace pelix;
using pelix::test::DbFixture;

namespace pelix::test {
void FillGeneration(Tag_GlobalBuffer& image, int generation);
}

namespace {

// The generation of every table's rows of the customer now in the image.
std::set<std::string> Generations(const Tag_GlobalBuffer& img)
{
    std::set<std::string> g;
    for (int i = 0; i < 95; ++i) g.insert(img.NumTel[static_cast<std::size_t>(i)].Numero.str());
    for (const auto& m : img.Messaggi) g.insert(m);
    for (const auto& s : img.Sms) g.insert(s.str());
    for (const auto& in : img.Ingresso) g.insert(in.SMSAttiv.str());
    for (const auto& u : img.Uscite) g.insert(u.Messaggio.str());
    g.insert(img.ComDig.Numero1.str());
    g.insert(img.GPRS.APN.str());
    return g;
}

}  // namespace

TEST_F(DbFixture, KilledSaveLeavesCustomerWhole)
{
    st.cliente.TipoCentrale = kModelG;
    InitImage(st, st.image, true);
    st.cliente.Nome = "Crash";
    st.cliente.CodiceCliente = "0001";
    test::FillGeneration(st.image, 0);
    ASSERT_TRUE(db->SaveCustomer("0"));
    const int serial = st.cliente.SerialCli;
    st.codes = nullptr;
    db.reset();  // the child has the database to itself

    std::mt19937 random(12345);
    int hotJournals = 0;
    int lastGeneration = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess child;
        child.start(QStringLiteral(PELIX_SAVE_LOOP), {st.folders.data, QStringLiteral("Crash"), st.settings.Database});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
        QThread::msleep(5 + random() % 40);
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(5000));

        // A journal left with content means the kill came inside a transaction.
        for (const QString& folder : {st.folders.data, st.folders.data + QStringLiteral("/PELIX")})
            if (QFileInfo(folder + QStringLiteral("/tables.sqlite-journal")).size() > 0) ++hotJournals;

        CustomerDatabase check(st);
        ASSERT_TRUE(check.SetTableLocations());
        InitImage(st, st.image, true);
        ASSERT_TRUE(check.LoadCustomer(serial));
        const auto generations = Generations(st.image);
        ASSERT_EQ(generations.size(), 1u) << "tables of different saves: " << *generations.begin() << " and "
                                          << *generations.rbegin();
        std::string note;
        ASSERT_TRUE(check.ReadNote(serial, note));
        EXPECT_EQ(note, *generations.begin());  // the header belongs to the same save
        lastGeneration = std::stoi(note);
    }
    EXPECT_GT(lastGeneration, 0);
    // Without this the kills all fell between saves and proved nothing. (A
    // server keeps no journal in the data folder to tell by.)
    if (!server) {
        EXPECT_GT(hotJournals, 0);
    }
    EXPECT_TRUE(fb.messages.empty());
}
