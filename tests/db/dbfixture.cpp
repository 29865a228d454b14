#include "dbfixture.h"

#include "db/convert.h"
#include "dbrefit/structure.h"
#include "model/datetime.h"
#include "model/imageinit.h"
#include "model/imagejson.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace pelix::test {

bool OnServer() { return qEnvironmentVariable("PELIX_TEST_BACKEND").compare(u"postgresql", Qt::CaseInsensitive) == 0; }

QString ServerBaseAddress() { return qEnvironmentVariable("PELIX_TEST_PG"); }

QString ServerAddress(const QString& database)
{
    QUrl url(ServerBaseAddress());
    url.setPath(u'/' + database);
    return url.toString();
}

namespace {

std::atomic<int> serverCounter{0};

// The tables on the server, made once per test program in a database the
// tests' own databases are copied from.
const QString& TemplateServerDatabase(Feedback& fb)
{
    static QTemporaryDir dir;
    static const QString name = [&] {
        const QString n = QStringLiteral("pelix_template_%1").arg(QCoreApplication::applicationPid());
        db::CreateServerDatabase(ServerBaseAddress(), n);
        // Dropped when the last test is done, while the application still runs.
        struct DropAtEnd : ::testing::Environment {
            QString name;
            explicit DropAtEnd(QString n) : name(std::move(n)) {}
            void TearDown() override
            {
                try {
                    db::DropServerDatabase(ServerBaseAddress(), name);
                } catch (const db::DbError&) {
                }
            }
        };
        ::testing::AddGlobalTestEnvironment(new DropAtEnd(n));
        refit::PrepareTables(dir.path() + QStringLiteral("/Data"), SourceDataFolder() + QStringLiteral("/STRUCT"), fb,
                             ServerAddress(n));
        return n;
    }();
    return name;
}

// The tables are made once per test program and copied for each test: making
// them costs a commit per table.
const QString& TemplateDataFolder(Feedback& fb)
{
    static QTemporaryDir dir;
    static const QString data = [&] {
        const QString d = dir.path() + QStringLiteral("/Data");
        refit::PrepareTables(d, SourceDataFolder() + QStringLiteral("/STRUCT"), fb);
        return d;
    }();
    return data;
}

void CopyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QFileInfo& fi : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (fi.isDir())
            CopyFolder(fi.filePath(), to + u'/' + fi.fileName());
        else
            QFile::copy(fi.filePath(), to + u'/' + fi.fileName());
    }
}

}  // namespace

ServerDatabase::ServerDatabase(const QString& templateName)
    : name_(QStringLiteral("pelix_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(serverCounter.fetch_add(1)))
{
    db::CreateServerDatabase(ServerBaseAddress(), name_, templateName);
}

ServerDatabase::~ServerDatabase()
{
    try {
        db::DropServerDatabase(ServerBaseAddress(), name_);
    } catch (const db::DbError&) {
        // The server goes away with the test run anyway.
    }
}

void DbFixture::SetUp()
{
    st.texts.SetLanguageFolder(SourceDataFolder() + QStringLiteral("/LANGUAGE/"));
    st.texts.LoadLanguage(QStringLiteral("English"), true, fb);
    st.folders = DeriveFolders(t.path(), QStringLiteral(".\\DATA"));
    if (OnServer()) {
        if (ServerBaseAddress().isEmpty()) GTEST_SKIP() << "no PostgreSQL server for the tests (PELIX_TEST_PG)";
        server = std::make_unique<ServerDatabase>(TemplateServerDatabase(fb));
        st.settings.Database = server->Connection();
        QDir().mkpath(st.folders.data);
    } else {
        CopyFolder(TemplateDataFolder(fb), st.folders.data);
    }
    ASSERT_TRUE(fb.messages.empty()) << fb.messages.front().text;
    db = std::make_unique<CustomerDatabase>(st);
    ASSERT_TRUE(db->SetTableLocations());
    st.codes = db.get();
}

void DbFixture::TearDown()
{
    // The connection first: a database in use cannot be dropped cleanly.
    db.reset();
    server.reset();
}

int DbFixture::Count(const char* table, int serial)
{
    const QString schema = QString::fromLatin1(table) == u"Clienti" ? QStringLiteral("main") : QStringLiteral("PELIX");
    QSqlQuery q = db->Tables()->Prepare(QStringLiteral("SELECT COUNT(*) FROM ") +
                                        db->Tables()->Qualified(schema, QString::fromLatin1(table)) +
                                        QStringLiteral(" WHERE SerialCli = ?"));
    q.addBindValue(serial);
    db::TableFolders::Exec(q);
    return q.next() ? q.value(0).toInt() : -1;
}

QVariant DbFixture::Value(const char* table, const char* column, int serial)
{
    const QString schema = QString::fromLatin1(table) == u"Clienti" ? QStringLiteral("main") : QStringLiteral("PELIX");
    QSqlQuery q = db->Tables()->Prepare(QStringLiteral("SELECT ") + QString::fromLatin1(column) + QStringLiteral(" FROM ") +
                                        db->Tables()->Qualified(schema, QString::fromLatin1(table)) +
                                        QStringLiteral(" WHERE SerialCli = ?"));
    q.addBindValue(serial);
    db::TableFolders::Exec(q);
    return q.next() ? q.value(0) : QVariant();
}

void DbFixture::Exec(const QString& sql) { db->Tables()->Exec(sql); }

void DbFixture::FailInserts(const QString& schema, const QString& table, const QString& message)
{
    db::TableFolders& tf = *db->Tables();
    const QString name = QStringLiteral("fail_") + table.toLower();
    if (tf.IsServer()) {
        Exec(QStringLiteral("CREATE FUNCTION main.%1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION '%2'; "
                            "END $$")
                 .arg(name, message));
        Exec(QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 FOR EACH ROW EXECUTE FUNCTION main.%1()")
                 .arg(name, tf.Qualified(schema, table)));
    } else {
        Exec(QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 BEGIN SELECT RAISE(ABORT, '%3'); END")
                 .arg(tf.Qualified(schema, name), tf.Quote(table), message));
    }
}

void DbFixture::NewCustomer(int model, const std::string& name, const std::string& code, int seed)
{
    st.cliente.TipoCentrale = static_cast<std::uint8_t>(model);
    InitImage(st, st.image, true);
    st.cliente.Nome = name;
    st.cliente.CodiceCliente = code;
    st.cliente.Indirizzo = "Via Roma " + std::to_string(seed);
    st.cliente.Comune = "Bergamo";
    st.cliente.Telefono = "035 123456";
    st.cliente.TelCentrale = "+39 333 1234567";
    st.cliente.DescrImpianto = "Magazzino \xE8 uffici";  // Windows-1252 text survives
    st.cliente.Rel_firmware = "2.10";
    FillStoredFields(st.image, model, seed);
}

void FillStoredFields(Tag_GlobalBuffer& img, int model, int seed)
{
    const std::string s = std::to_string(seed);
    for (int i = 0; i < PhoneEntriesInUse(model); ++i) {
        auto& e = img.NumTel[static_cast<std::size_t>(i)];
        e.Descrizione = "Nr " + s + "-" + std::to_string(i);
        e.Numero = "+39" + std::to_string(300000000 + i * 7 + seed);
        e.Avvisatore = static_cast<std::uint8_t>((i + seed) % 2);
        e.Uscite = static_cast<std::uint8_t>((i * 5 + seed) & 0x0F);
    }
    for (int i = 0; i < kMessageLabels; ++i) img.Messaggi[static_cast<std::size_t>(i)] = "Voce " + s + "." + std::to_string(i);
    for (int i = 0; i < kSmsTexts; ++i)
        img.Sms[static_cast<std::size_t>(i)] = "Allarme \xE0 " + s + " " + std::to_string(i) + std::string(100, 'x');
    for (int i = 0; i < InputsStored(model); ++i) {
        auto& e = img.Ingresso[static_cast<std::size_t>(i)];
        e.Polarita = static_cast<std::uint8_t>(i % 2);
        e.Messaggio = static_cast<std::uint8_t>((i + seed) % 8);
        e.MaskTel = static_cast<std::uint8_t>(0x80 | i);
        e.MaskSms = static_cast<std::uint8_t>(0x40 | i);
        e.SmsA = static_cast<std::uint8_t>(i + 1);
        e.SmsR = static_cast<std::uint8_t>(8 - i);
        e.Serv = static_cast<std::uint8_t>(i == 2);
        e.SMSAttiv = "In " + std::to_string(i) + " attivo " + s;
        e.SMSRipr = "In " + std::to_string(i) + " ripristino " + s;
        e.ServPELIX_I_1 = static_cast<std::uint8_t>(i == 1);
        e.ServPELIX_I_2 = static_cast<std::uint8_t>(i == 3);
    }
    for (int i = 0; i < kOutputs; ++i) {
        auto& e = img.Uscite[static_cast<std::size_t>(i)];
        e = Tag_Uscita{};
        e.Polarita = static_cast<std::uint8_t>(i % 2);
        e.BP = static_cast<std::uint8_t>(i == 0);
        e.MS = static_cast<std::uint8_t>(i == 4);
        e.OUTRESERV = static_cast<std::uint8_t>(i == 3);
        e.Messaggio = "Uscita " + std::to_string(i) + " " + s;
        e.MaskEventiPELIX_I = static_cast<std::uint8_t>(0xF0 + i);
        e.Tipo = static_cast<std::uint8_t>(i == 1);
        e.TempoOn = i == 1 ? 200 : 0;
        e.Conferma = static_cast<std::uint8_t>(i % 3);
    }
    Tag_Opzioni& o = img.Opzioni;
    o.Voceinlinea = 0;
    o.Squillo = 1;
    o.Selezione = 1;
    o.Prefisso = "0" + s;
    o.Richiama = 1;
    o.CodUscSms = "12" + s;
    o.CifreRim = 70000 + seed;
    o.UsaGsm = 2;
    o.CommutaChiama = 1;
    o.SMSIntervallo = 30 + 2 * 65536;
    o.ControlloCreditoAttivo = 1;
    o.ControlloCredito = 3;
    o.Priorita = 1;
    Tag_ComDig& cd = img.ComDig;
    cd.Numero1 = "0351" + s;
    cd.Numero2 = "0352" + s;
    cd.Numero3 = "0353" + s;
    cd.Numero4 = "0354" + s;
    for (int i = 0; i < kEvents; ++i) {
        auto& e = cd.Eventi[static_cast<std::size_t>(i)];
        e.CodiceUtente = PadLeft(std::to_string(i + seed), 4, '0');
        e.CodiceEvento1 = std::to_string(i % 10);
        e.CodiceEvento2 = "A" + std::to_string(i % 10);
        e.Invia = static_cast<std::uint8_t>(i % 2);
    }
    cd.SegIntervallo = 70000;
    img.GPRS.NtelChiamataADT = model == kModelG ? 0 : 1;
    if (model == kModelG) {
        o.StringaControllo = "*124#";
        o.SegPrimoUnix = DateTimeToUnix(ToDateTime(QDateTime(QDate(2006, 5, 4), QTime(13, 45))));
        o.SMSPrimoUnix = DateTimeToUnix(ToDateTime(QDateTime(QDate(2007, 1, 2), QTime(0, 1))));
        Tag_GPRS& g = img.GPRS;
        g.IP = {192, 168, 1, 20};
        g.IP2 = {10, 0, 255, 7};
        g.Port = 5001;
        g.Port2 = 65535;
        g.APN = "internet.it";
        g.APN2 = "backup.apn";
        g.CID1 = "CID-" + s;
        g.CID2 = "CID2-" + s;
        g.Super = 600;
        g.SuperAttiva = 1;
        g.Account = "1234" + s;
        g.DNIS = "987654321" + s;
        g.SIM = "8939" + std::string(17, '1');
        g.UserName = "user" + s;
        g.Pwd = "p\xE4ss" + s;
    } else {
        // Whole days and a time of day, as the date and time columns hold them.
        cd.SegDataPrimo = 39000 + seed;
        cd.SegOraPrimo = (10 * 3600 + 20 * 60 + 30) / 86400.0;
        o.SMSDataPrimo = 39100 + seed;
        o.SMSOraPrimo = (23 * 3600 + 59 * 60) / 86400.0;
    }
}

void TakeUnstoredFields(Tag_GlobalBuffer& expected, const Tag_GlobalBuffer& loaded, int model)
{
    // Whichever form of the first-message times the model does not keep is
    // re-initialised to the time of loading.
    if (model == kModelG) {
        expected.Opzioni.SMSDataPrimo = loaded.Opzioni.SMSDataPrimo;
        expected.Opzioni.SMSOraPrimo = loaded.Opzioni.SMSOraPrimo;
    } else {
        expected.Opzioni.SMSPrimoUnix = loaded.Opzioni.SMSPrimoUnix;
        expected.Opzioni.SegPrimoUnix = loaded.Opzioni.SegPrimoUnix;
    }
}

std::string FirstDifference(const Tag_Cliente& h, const Tag_GlobalBuffer& a, const Tag_GlobalBuffer& b)
{
    const QList<QByteArray> la = ImageToJsonText(h, a).split('\n');
    const QList<QByteArray> lb = ImageToJsonText(h, b).split('\n');
    for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i) {
        const QByteArray x = la.value(i), y = lb.value(i);
        if (x != y) return "line " + std::to_string(i) + ": " + x.toStdString() + " <> " + y.toStdString();
    }
    return a == b ? std::string() : std::string("images differ outside their JSON form");
}

}  // namespace pelix::test
