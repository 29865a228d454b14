#include "common/startup.h"
#include "db/tablefolders.h"
#include "dbrefit/dataupdates.h"
#include "dbrefit/structure.h"
#include "dbrefit/upgrade.h"
#include "support/testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <memory>

using namespace pelix;
using namespace pelix::refit;
using pelix::test::TempFolder;

namespace {

QString StructFolder() { return test::SourceDataFolder() + QStringLiteral("/STRUCT"); }

int CountRows(db::TableFolders& t, const QString& sql)
{
    QSqlQuery q = t.Prepare(sql);
    db::TableFolders::Exec(q);
    return q.next() ? q.value(0).toInt() : -1;
}

QStringList DataFiles(const QString& data)
{
    QStringList files = QDir(data).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    // The database file and its (emptied) journal are not markers.
    return files.filter(QRegularExpression(QStringLiteral("^(?!tables\\.sqlite)")));
}

struct RefitFixture : ::testing::Test {
    TempFolder t;
    RecordingFeedback fb;
    RefitFolders folders = ComputeFolders(t.path(), t.path());

    bool Run(const QString& current = QString())
    {
        Upgrade up(folders, current.isEmpty() ? t.path() : current, StructFolder(), fb);
        if (up.AlreadyDone()) return true;
        up.LoadTexts();
        return up.UpgradeSteps({});
    }
    std::unique_ptr<db::TableFolders> Open() { return std::make_unique<db::TableFolders>(folders.data); }
};

}  // namespace

TEST(Structure, StatementText)
{
    struct Case {
        const char* type;
        int length;
        const char* suffix;
    } cases[] = {{"char", 35, "(35)"}, {"CHAR", 4, "(4)"}, {"BYTES", 10, "(11)"}, {"Bytes", 0, "(1)"},
                 {"INTEGER", 35, ""},  {"DATE", 0, ""}};
    for (const auto& c : cases) EXPECT_EQ(SizeSuffix(QString::fromLatin1(c.type), c.length), c.suffix) << c.type;

    StructTable keyless;
    keyless.columns = {{QStringLiteral("A"), QStringLiteral("INTEGER"), 0}, {QStringLiteral("B"), QStringLiteral("char"), 35}};
    EXPECT_EQ(CreateTableStatement(QStringLiteral("\"T\""), keyless),
              "CREATE TABLE \"T\"\n(\n\"A\" INTEGER,\n\"B\" char(35)\n)");
    StructTable keyed = keyless;
    keyed.primary = QStringLiteral("A");
    EXPECT_EQ(CreateTableStatement(QStringLiteral("\"T\""), keyed),
              "CREATE TABLE \"T\"\n(\n\"A\" INTEGER,\n\"B\" char(35),\nPRIMARY KEY(A)\n)");
}

TEST_F(RefitFixture, ExistingTablesGetTheirMissingColumnsOnlyWhenAsked)
{
    PrepareTables(folders.data, StructFolder(), fb);
    ASSERT_TRUE(fb.messages.empty());
    auto db = Open();
    db->SubSchema(QStringLiteral("PELIX"));
    db->Exec(QStringLiteral("DROP TABLE PELIX.GPRS"));
    db->Exec(QStringLiteral("CREATE TABLE PELIX.GPRS (SerialCli INTEGER, APN CHAR(32), APN2 CHAR(32), IP CHAR(12), "
                            "IP2 CHAR(12), Port INTEGER, Port2 INTEGER, Super INTEGER, SIM CHAR(21), Account CHAR(10), "
                            "DNIS CHAR(12), CID1 CHAR(16), CID2 CHAR(16))"));
    const QString pelix = folders.data + QStringLiteral("/PELIX");

    CreateTables(*db, true, {}, true, fb);  // create only: left as it is
    EXPECT_FALSE(TableHasField(*db, pelix, QStringLiteral("GPRS"), QStringLiteral("UserName")));

    CreateTables(*db, false, {}, true, fb);
    EXPECT_TRUE(TableHasField(*db, pelix, QStringLiteral("gprs"), QStringLiteral("username")));
    EXPECT_TRUE(TableHasField(*db, pelix, QStringLiteral("GPRS"), QStringLiteral("Pwd")));
    EXPECT_TRUE(AddMissingColumns(*db, pelix, QStringLiteral("GPRS"), 10).isEmpty());  // complete: nothing runs
    EXPECT_TRUE(fb.messages.empty());
    EXPECT_TRUE(QFileInfo::exists(folders.data + QStringLiteral("/AltFlag.501")));

    db->Exec(QStringLiteral("ALTER TABLE PELIX.GPRS DROP COLUMN Pwd"));
    db->Exec(QStringLiteral("ALTER TABLE PELIX.GPRS DROP COLUMN CID2"));
    EXPECT_EQ(AddMissingColumns(*db, pelix, QStringLiteral("GPRS"), 10),
              QStringList({QStringLiteral("CID2 CHAR(16)"), QStringLiteral("Pwd CHAR(32)")}));
}

TEST_F(RefitFixture, FromAnEmptyFolderToAStartablePelix)
{
    EXPECT_FALSE(StartupCheck(t.path(), QStringLiteral("English"), fb));
    fb.messages.clear();

    ASSERT_TRUE(Run());
    EXPECT_TRUE(fb.messages.empty()) << fb.messages.front().text;
    EXPECT_TRUE(StartupCheck(t.path(), QStringLiteral("English"), fb));
    // Four markers of a plain edition, and the table-creation note.
    EXPECT_EQ(DataFiles(folders.data),
              QStringList({QStringLiteral("altflag.402"), QStringLiteral("AltFlag.501"), QStringLiteral("altflag.540"),
                           QStringLiteral("dataflag"), QStringLiteral("tmpflag")}));

    auto db = Open();
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE Utente = 'master'")), 1);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM COMUNE")), 1);
    db->SubSchema(QStringLiteral("LUMERA"));
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM LUMERA.AVTEL")), 10);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM LUMERA.RICTONI")), 130);
    db.reset();

    // A second start ends at once and changes nothing.
    Upgrade again(folders, t.path(), StructFolder(), fb);
    EXPECT_TRUE(again.AlreadyDone());

    // A run without "altflag.540" but with earlier markers adds no second
    // installation row.
    QFile::remove(folders.data + QStringLiteral("/altflag.540"));
    ASSERT_TRUE(Run());
    db = Open();
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM COMUNE")), 1);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM USERS")), 1);
}

TEST_F(RefitFixture, MultiEditionLeavesNineMarkers)
{
    t.write(QStringLiteral("PERSONAL.INI"), "[Personal]\n80ZONE=Lumera Multi\n");
    ASSERT_TRUE(Run());
    QStringList markers = DataFiles(folders.data);
    markers.removeAll(QStringLiteral("AltFlag.501"));
    EXPECT_EQ(markers.size(), 9) << markers.join(u' ').toStdString();
    EXPECT_TRUE(markers.contains(QStringLiteral("altflag.30")));
}

TEST_F(RefitFixture, CorrectionsOfOlderTablesFollowTheirMarkers)
{
    struct Case {
        const char* what;
        QStringList markers;
        int opzTel;
        int opzioni3;
    } cases[] = {
        {"510 only", {QStringLiteral("altflag.510")}, -1, 255},
        {"510 and 30", {QStringLiteral("altflag.510"), QStringLiteral("altflag.30")}, 0, 255},
        {"510 and 401", {QStringLiteral("altflag.510"), QStringLiteral("altflag.401")}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder base;
        const RefitFolders f = ComputeFolders(base.path(), base.path());
        PrepareTables(f.data, StructFolder(), fb);
        {
            db::TableFolders db(f.data);
            db.SubSchema(QStringLiteral("QUADREL2"));
            db.Exec(QStringLiteral("INSERT INTO QUADREL2.Q_COMUN (SerialCli, OpzTel) VALUES (1, 0)"));
            db.Exec(QStringLiteral("INSERT INTO QUADREL2.LUMERA (SerialCli, Opzioni3) VALUES (1, 0)"));
        }
        for (const QString& m : c.markers) base.write(QStringLiteral("Data/") + m, {});
        Upgrade up(f, base.path(), StructFolder(), fb);
        ASSERT_TRUE(up.UpgradeSteps({}));
        db::TableFolders db(f.data);
        db.SubSchema(QStringLiteral("QUADREL2"));
        EXPECT_EQ(CountRows(db, QStringLiteral("SELECT OpzTel FROM QUADREL2.Q_COMUN")), c.opzTel);
        EXPECT_EQ(CountRows(db, QStringLiteral("SELECT Opzioni3 FROM QUADREL2.LUMERA")), c.opzioni3);
        // With "altflag.510" the country sets are not seeded.
        db.SubSchema(QStringLiteral("LUMERA"));
        EXPECT_EQ(CountRows(db, QStringLiteral("SELECT COUNT(*) FROM LUMERA.AVTEL")), 0);
    }
}

TEST_F(RefitFixture, CountrySeedingKeepsWhatIsThere)
{
    PrepareTables(folders.data, StructFolder(), fb);
    auto db = Open();
    const QString lumera = folders.data + QStringLiteral("/LUMERA");
    db->SubSchema(QStringLiteral("LUMERA"));
    db->Exec(QStringLiteral("INSERT INTO LUMERA.AVTEL (DesParam, PausaAltri) VALUES ('ITALIA', 1234)"));

    EXPECT_EQ(SeedCountryParameters(*db, lumera, fb), 9);
    EXPECT_EQ(SeedCountryParameters(*db, lumera, fb), 0);  // the second time inserts nothing
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM LUMERA.AVTEL")), 10);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT PausaAltri FROM LUMERA.AVTEL WHERE DesParam = 'ITALIA'")), 1234);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM LUMERA.RICTONI r JOIN LUMERA.AVTEL a ON "
                                            "a.CodParam = r.CodParam WHERE a.DesParam = 'ITALIA'")), 0);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM LUMERA.RICTONI")), 9 * 13);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT High FROM LUMERA.RICTONI r JOIN LUMERA.AVTEL a ON "
                                            "a.CodParam = r.CodParam WHERE a.DesParam = 'SPAIN' AND Progres = 12")), 14);

    struct Stored {
        const char* set;
        const char* column;
        int value;
    } stored[] = {
        {"SPAIN", "PausaPrimoSecondo", 4980},    {"SPAIN", "Intervallo", 3000},
        {"SPAIN", "PausaInterdigit", 130},       {"SPAIN", "LungValidaSquillo", 900},
        {"EUROPEAN GENERIC", "LungValidaSquillo", 210},
        {"NEDERLAND", "PausaAltri", 60000},      {"PARTELZENTA", "PausaInterdigit", 80},
        {"PARTELZENTA", "PausaPrimoSecondo", 10000}, {"PARTELZENTA", "ZentaCreated", 1},
    };
    for (const auto& s : stored)
        EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT %1 FROM LUMERA.AVTEL WHERE DesParam = '%2'")
                                     .arg(QString::fromLatin1(s.column), QString::fromLatin1(s.set))),
                  s.value)
            << s.set << " " << s.column;
    EXPECT_TRUE(fb.messages.empty());
}

TEST(Encodings, TimingValues)
{
    struct Case {
        int value;
        int step;
        int interdigit;
    } cases[] = {{5000, 4980, 1030}  /* the code stops at 31 */, {3000, 3000, 1030}, {130, 120, 130}, {80, 60, 70},
                 {70, 60, 70},       {0, 0, 70},         {10000, 9990, 1030}};
    for (const auto& c : cases) {
        EXPECT_EQ(CutToStep(c.value), c.step) << c.value;
        EXPECT_EQ(EncodeInterdigit(c.value), c.interdigit) << c.value;
    }
}

TEST_F(RefitFixture, MasterUserIsLeftAlone)
{
    PrepareTables(folders.data, StructFolder(), fb);
    auto db = Open();
    db->Exec(QStringLiteral("INSERT INTO USERS (Utente, PWD, Accesso1, Accesso2, Accesso3) VALUES ('master', 'X', 1, 2, 3)"));
    EnsureMasterUser(*db, folders.data);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT COUNT(*) FROM USERS")), 1);
    EXPECT_EQ(CountRows(*db, QStringLiteral("SELECT Accesso3 FROM USERS")), 3);
}

TEST_F(RefitFixture, OldFilesAreRemoved)
{
    for (const char* f : {"LANGUAGE/English.500", "LANGUAGE/English.012", "LANGUAGE/English.700", "LANGUAGE/English.CMP",
                          "LANGUAGE/English/English.500", "Data/DATAFILE"})
        t.write(QString::fromLatin1(f), "x");
    Upgrade up(folders, t.path(), StructFolder(), fb);
    up.RemoveOldFiles();
    EXPECT_FALSE(t.exists(QStringLiteral("LANGUAGE/English.500")));
    EXPECT_FALSE(t.exists(QStringLiteral("LANGUAGE/English.012")));
    EXPECT_TRUE(t.exists(QStringLiteral("LANGUAGE/English.700")));
    EXPECT_TRUE(t.exists(QStringLiteral("LANGUAGE/English.CMP")));
    EXPECT_TRUE(t.exists(QStringLiteral("LANGUAGE/English/English.500")));  // only the language folder itself
    EXPECT_FALSE(t.exists(QStringLiteral("Data/DATAFILE")));
}

TEST(Folders, BaseFolderFromTheArgument)
{
    TempFolder base, current;
    QDir(base.path()).mkpath(QStringLiteral("data/lumera"));
    const RefitFolders f = ComputeFolders(base.path() + QStringLiteral("/"), current.path());
    EXPECT_EQ(f.base, base.path());
    EXPECT_EQ(f.data, base.path() + QStringLiteral("/data"));  // an existing folder in any letter case
    EXPECT_EQ(f.lumera, base.path() + QStringLiteral("/data/lumera"));
    EXPECT_EQ(ComputeFolders(base.path() + QStringLiteral("/missing"), current.path()).base, current.path());
    EXPECT_EQ(ComputeFolders(QString(), current.path()).data, current.path() + QStringLiteral("/Data"));

    RecordingFeedback fb;
    EXPECT_TRUE(Upgrade(f, current.path(), StructFolder(), fb).NeedsQuestion());
    EXPECT_FALSE(Upgrade(ComputeFolders(current.path(), current.path()), current.path(), StructFolder(), fb).NeedsQuestion());
}

TEST_F(RefitFixture, MalformedStructureFileIsReported)
{
    t.write(QStringLiteral("struct/DBSTRUCT1.txt"), "1 | Clienti.DB\n");
    t.write(QStringLiteral("struct/DBsTRUCT2.txt"), "");
    QDir().mkpath(folders.data);
    db::TableFolders db(folders.data);
    try {
        InstallStructureTables(db, t.file(QStringLiteral("struct")));
        FAIL() << "no error";
    } catch (const db::DbError& e) {
        EXPECT_NE(std::string(e.what()).find("DBSTRUCT1.txt:1"), std::string::npos) << e.what();
    }
}
