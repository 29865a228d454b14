// pelixctl customers, run as the installer would: export, import under the save
// rules, name clashes, delete.
#include "dbfixture.h"

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
        p.waitForFinished(30000);
        return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
    }
};

TEST_F(CliFixture, ExportImportAndNameClash)
{
    QDir(t.path()).mkpath(QStringLiteral("LANGUAGE/English"));
    for (const char* ext : {".ln3", ".ln6", ".500"})
        QFile::copy(test::SourceDataFolder() + QStringLiteral("/LANGUAGE/English/English") + QLatin1String(ext),
                    t.file(QStringLiteral("LANGUAGE/English/English") + QLatin1String(ext)));
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
