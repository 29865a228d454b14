// pelixctl customers, run as the installer would: export, import under the save
// rules, name clashes, delete.
#include "dbfixture.h"

#include "dbrefit/structure.h"
#include "model/imageinit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

using namespace pelix;
using pelix::test::DbFixture;

namespace {

struct CtlResult {
    int code;
    std::string out;
    std::string err;
};

}  // namespace

struct CliFixture : DbFixture {
    pelix::test::TempFolder config;  // the child's own settings store

    CtlResult Ctl(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PELIX_PELIXCTL),
                QStringList{QStringLiteral("--program-folder"), t.path(), QStringLiteral("--language"),
                            QStringLiteral("English"), QStringLiteral("--database"), st.settings.Database,
                            QStringLiteral("customers")} +
                    args);
        p.waitForFinished(60000);
        return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
    }

    // The program folder gets the English texts the program needs.
    void AddLanguage()
    {
        QDir(t.path()).mkpath(QStringLiteral("LANGUAGE/English"));
        for (const char* ext : {".ln3", ".ln6", ".500"})
            QFile::copy(test::SourceDataFolder() + QStringLiteral("/LANGUAGE/English/English") + QLatin1String(ext),
                        t.file(QStringLiteral("LANGUAGE/English/English") + QLatin1String(ext)));
    }

    // Header, image and note of the stored customer `name`.
    struct Stored {
        Tag_Cliente header;
        Tag_GlobalBuffer image;
        std::string note;
    };
    Stored Read(CustomerDatabase& from, const std::string& name, int model)
    {
        Stored s;
        const auto serial = from.FindByName(name);
        EXPECT_TRUE(serial.has_value()) << name;
        if (!serial) return s;
        st.cliente.TipoCentrale = static_cast<std::uint8_t>(model);
        InitImage(st, st.image, true);
        EXPECT_TRUE(from.LoadCustomer(*serial));
        EXPECT_TRUE(from.ReadNote(*serial, s.note));
        s.header = st.cliente;
        s.image = st.image;
        return s;
    }
};

TEST_F(CliFixture, ExportImportAndNameClash)
{
    AddLanguage();
    NewCustomer(kModelG, "Fontana", "0005");
    ASSERT_TRUE(db->SaveCustomer("keep me"));
    const Tag_GlobalBuffer stored = st.image;
    db.reset();  // the program has the tables to itself
    st.codes = nullptr;

    const QString file = t.file(QStringLiteral("fontana.json"));
    CtlResult r = Ctl({QStringLiteral("export"), QStringLiteral("Fontana"), file});
    ASSERT_EQ(r.code, 0) << r.err;

    // The same name again: refused without --overwrite, nothing changes.
    r = Ctl({QStringLiteral("import"), file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("exists already"), std::string::npos) << r.err;

    // Under another name and without a code it becomes a new customer.
    QByteArray json;
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        json = f.readAll();
    }
    json.replace("\"Fontana\"", "\"Fontana bis\"").replace("\"CodiceCliente\": \"0005\"", "\"CodiceCliente\": \"\"");
    const QString copy = t.file(QStringLiteral("copy.json"));
    {
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(json);
    }
    r = Ctl({QStringLiteral("import"), copy});
    ASSERT_EQ(r.code, 0) << r.err;

    r = Ctl({QStringLiteral("import"), file, QStringLiteral("--overwrite")});
    ASSERT_EQ(r.code, 0) << r.err;

    r = Ctl({QStringLiteral("list")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("0005  PELIX-G   Fontana\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0000  PELIX-G   Fontana bis\n"), std::string::npos) << r.out;

    // The copy holds the same configuration; the overwritten one kept its note.
    db = std::make_unique<CustomerDatabase>(st);
    ASSERT_TRUE(db->SetTableLocations());
    for (const char* name : {"Fontana", "Fontana bis"}) {
        SCOPED_TRACE(name);
        const auto serial = db->FindByName(name);
        ASSERT_TRUE(serial.has_value());
        st.cliente.TipoCentrale = kModelG;
        InitImage(st, st.image, true);
        ASSERT_TRUE(db->LoadCustomer(*serial));
        Tag_GlobalBuffer expected = stored;
        test::TakeUnstoredFields(expected, st.image, kModelG);
        EXPECT_EQ(test::FirstDifference(st.cliente, expected, st.image), "");
    }
    std::string note;
    ASSERT_TRUE(db->ReadNote(*db->FindByName("Fontana"), note));
    EXPECT_EQ(note, "keep me");
    db.reset();

    r = Ctl({QStringLiteral("delete"), QStringLiteral("Fontana bis")});
    EXPECT_EQ(r.code, 0) << r.err;
    r = Ctl({QStringLiteral("list")});
    EXPECT_EQ(r.out.find("Fontana bis"), std::string::npos) << r.out;
}

TEST_F(CliFixture, CopyToAnotherDatabaseAndBack)
{
    AddLanguage();
    const struct {
        const char* name;
        const char* code;
        int model;
    } customers[] = {{"Fontana", "0005", kModelG}, {"Greco", "0006", kModelA}, {"Bruno", "0017", kModelI}};
    int seed = 1;
    for (const auto& c : customers) {
        NewCustomer(c.model, c.name, c.code, seed++);
        st.cliente.DataUltModifica = 0;
        ASSERT_TRUE(db->SaveCustomer(std::string("note of ") + c.name));
    }
    std::vector<Stored> before;
    for (const auto& c : customers) before.push_back(Read(*db, c.name, c.model));
    db.reset();
    st.codes = nullptr;
    const QString here = server ? st.settings.Database : st.folders.data;

    // Out to a SQLite data folder, then back into an empty database of the
    // kind this run uses (on the server run: PostgreSQL to SQLite and back).
    test::TempFolder other;
    const QString structure = test::SourceDataFolder() + QStringLiteral("/STRUCT");
    refit::PrepareTables(other.file(QStringLiteral("Data")), structure, fb);
    std::unique_ptr<test::ServerDatabase> freshServer;
    QString fresh = other.file(QStringLiteral("Back"));
    if (server) {
        freshServer = std::make_unique<test::ServerDatabase>();
        fresh = freshServer->Connection();
    }
    refit::PrepareTables(other.file(QStringLiteral("Back")), structure, fb, server ? fresh : QString());
    ASSERT_TRUE(fb.messages.empty()) << fb.messages.front().text;

    CtlResult r = Ctl({QStringLiteral("copy"), QStringLiteral("--from"), here, QStringLiteral("--to"),
                       other.file(QStringLiteral("Data"))});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "copied 3 of 3 customers\n");
    r = Ctl({QStringLiteral("copy"), QStringLiteral("--from"), other.file(QStringLiteral("Data")), QStringLiteral("--to"), fresh});
    ASSERT_EQ(r.code, 0) << r.err;

    st.settings.Database = server ? fresh : QString();
    CustomerDatabase back(st);
    ASSERT_TRUE(back.SetTableLocations(other.file(QStringLiteral("Back"))));
    for (std::size_t i = 0; i < std::size(customers); ++i) {
        SCOPED_TRACE(customers[i].name);
        const Stored after = Read(back, customers[i].name, customers[i].model);
        EXPECT_EQ(after.header.CodiceCliente, before[i].header.CodiceCliente);
        EXPECT_EQ(after.header.DataUltModifica, before[i].header.DataUltModifica);
        EXPECT_EQ(after.note, before[i].note);
        Tag_GlobalBuffer expected = before[i].image;
        test::TakeUnstoredFields(expected, after.image, customers[i].model);
        EXPECT_EQ(test::FirstDifference(after.header, expected, after.image), "");
    }

    // Every name is there already: nothing is replaced unless asked to.
    r = Ctl({QStringLiteral("copy"), QStringLiteral("--from"), here, QStringLiteral("--to"), fresh});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not copied: Greco"), std::string::npos) << r.err;
    r = Ctl({QStringLiteral("copy"), QStringLiteral("--from"), here, QStringLiteral("--to"), fresh,
             QStringLiteral("--overwrite")});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<CustomerListEntry> all;
    ASSERT_TRUE(back.ListCustomers(all));
    EXPECT_EQ(all.size(), 3u);

    // A target without tables is named, with the way to make them.
    r = Ctl({QStringLiteral("copy"), QStringLiteral("--from"), here, QStringLiteral("--to"), other.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("dbrefit"), std::string::npos) << r.err;
}
