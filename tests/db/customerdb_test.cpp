#include "dbfixture.h"

#include "db/convert.h"
#include "model/datetime.h"
#include "model/imageinit.h"

#include <QDateTime>
#include <QSqlQuery>

using namespace pelix;
using pelix::test::DbFixture;

namespace {

constexpr const char* kAllTables[] = {"Clienti", "NumTel", "Messaggi", "Sms",    "Ingresso",
                                      "Uscite",  "Opzioni", "ComDig",  "Eventi", "GPRS"};

struct RoundTripCase {
    int model;
    int phoneRows;
    int inputRows;
    int gprsRows;
};

class RoundTrip : public DbFixture, public ::testing::WithParamInterface<RoundTripCase> {};

}  // namespace

TEST_P(RoundTrip, SavedCustomerLoadsBackFieldForField)
{
    const RoundTripCase c = GetParam();
    NewCustomer(c.model, "Rossi " + std::to_string(c.model), "0007");
    const Tag_GlobalBuffer saved = st.image;
    const Tag_Cliente header = st.cliente;
    ASSERT_TRUE(db->SaveCustomer("gate code 1234"));
    const int serial = st.cliente.SerialCli;
    ASSERT_GT(serial, 0);

    EXPECT_EQ(Count("Clienti", serial), 1);
    EXPECT_EQ(Count("NumTel", serial), c.phoneRows);
    EXPECT_EQ(Count("Ingresso", serial), c.inputRows);
    EXPECT_EQ(Count("GPRS", serial), c.gprsRows);
    EXPECT_EQ(Count("Messaggi", serial), 8);
    EXPECT_EQ(Count("Sms", serial), 9);
    EXPECT_EQ(Count("Uscite", serial), 5);
    EXPECT_EQ(Count("Eventi", serial), 18);
    EXPECT_EQ(Count("ComDig", serial), 1);
    EXPECT_EQ(Count("Opzioni", serial), 1);

    InitImage(st, st.image, true);
    st.EventiAssegnati = 0;
    ASSERT_TRUE(db->LoadCustomer(serial));
    Tag_GlobalBuffer expected = saved;
    test::TakeUnstoredFields(expected, st.image, c.model);
    EXPECT_EQ(test::FirstDifference(st.cliente, expected, st.image), "");
    EXPECT_EQ(st.EventiAssegnati, 2);  // BP on output 1 and MS on output 5

    EXPECT_EQ(st.cliente.SerialCli, serial);
    EXPECT_EQ(st.cliente.Nome, header.Nome);
    EXPECT_EQ(st.cliente.DescrImpianto, header.DescrImpianto);
    EXPECT_EQ(st.cliente.CodiceCliente, "0007");
    EXPECT_EQ(st.cliente.TipoCentrale, c.model);
    EXPECT_EQ(st.cliente.Rel_firmware, "2.10");
    EXPECT_EQ(st.cliente.NotePresenti, 1);
    EXPECT_EQ(st.cliente.DataUltModifica, DatePart(NowDateTime()));
    std::string note;
    ASSERT_TRUE(db->ReadNote(serial, note));
    EXPECT_EQ(note, "gate code 1234");
    EXPECT_TRUE(fb.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Models, RoundTrip,
                         ::testing::Values(RoundTripCase{kModelG, 95, 8, 1}, RoundTripCase{kModelA, 8, 4, 0},
                                           RoundTripCase{kModelI, 95, 7, 0}),
                         [](const auto& info) { return "Model" + std::to_string(info.param.model); });

TEST_F(DbFixture, ColumnsHoldTheStoredForms)
{
    NewCustomer(kModelG, "Bianchi", "0001");
    st.image.Opzioni.SegPrimoUnix = DateTimeToUnix(ToDateTime(QDateTime(QDate(2006, 5, 4), QTime(13, 45, 30))));
    st.image.Opzioni.ControlloCreditoAttivo = 0;
    st.image.Opzioni.ControlloCredito = 5;
    ASSERT_TRUE(db->SaveCustomer(""));
    const int serial = st.cliente.SerialCli;

    EXPECT_EQ(Value("ComDig", "SegDataPrimo", serial).toString(), "2006-05-04");
    EXPECT_EQ(Value("ComDig", "SegOraPrimo", serial).toTime(), QTime(13, 45));
    EXPECT_EQ(Value("Opzioni", "SMSIntervallo1", serial).toInt(), 30);
    EXPECT_EQ(Value("Opzioni", "SMSIntervallo2", serial).toInt(), 2);
    EXPECT_EQ(Value("Opzioni", "ControlloCredito", serial).toInt(), 0);
    EXPECT_EQ(Value("GPRS", "IP", serial).toString(), "192168001020");
    EXPECT_EQ(Value("GPRS", "IP2", serial).toString(), "010000255007");

    InitImage(st, st.image, true);
    ASSERT_TRUE(db->LoadCustomer(serial));
    EXPECT_EQ(st.image.Opzioni.SegPrimoUnix, DateTimeToUnix(ToDateTime(QDateTime(QDate(2006, 5, 4), QTime(13, 45)))));
    EXPECT_EQ(st.image.Opzioni.SMSIntervallo, 30u + 2u * 65536u);
    EXPECT_EQ(st.image.Opzioni.ControlloCreditoAttivo, 0);
    EXPECT_EQ(st.image.Opzioni.ControlloCredito, 1);  // a stored 0 loads as "off, setting 1"
    EXPECT_EQ(st.image.GPRS.SuperAttiva, 1);
}

TEST(Conversions, IpDigits)
{
    struct Case {
        const char* digits;
        std::array<std::uint8_t, 4> ip;
    } cases[] = {
        {"192168001020", {192, 168, 1, 20}},
        {"000000000000", {0, 0, 0, 0}},
        {"255255255255", {255, 255, 255, 255}},
        {"19216800", {192, 168, 0, 0}},     // short: missing octets are 0
        {"1x2168001020", {0, 168, 1, 20}},  // not a number: 0
        {"999168001020", {0, 168, 1, 20}},  // not an octet: 0, not its low byte
        {"", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(db::IpFromDigits(c.digits), c.ip) << c.digits;
    EXPECT_EQ(db::IpToDigits({1, 22, 255, 0}), "001022255000");
}

TEST_F(DbFixture, OlderOptionsTableWithoutAdtColumnLoadsAsOneAndStillSaves)
{
    Exec(QStringLiteral("DROP TABLE PELIX.Opzioni"));
    Exec(QStringLiteral("CREATE TABLE PELIX.Opzioni (SerialCli INTEGER, Voceinlinea INTEGER, Squillo INTEGER, "
                        "Selezione INTEGER, Prefisso VARCHAR(4), Richiama INTEGER, CodUscSms VARCHAR(8), CifreRim INTEGER, "
                        "UsaGsm INTEGER, CommutaChiama INTEGER, SMSDataPrimo DATE, SMSOraPrimo TIME, "
                        "SMSIntervallo1 INTEGER, SMSIntervallo2 INTEGER, ControlloCredito INTEGER, Priorita INTEGER, "
                        "StringaControllo VARCHAR(7))"));
    NewCustomer(kModelG, "Verdi", "0002");
    ASSERT_TRUE(db->SaveCustomer(""));
    const int serial = st.cliente.SerialCli;
    EXPECT_EQ(Count("Opzioni", serial), 1);
    InitImage(st, st.image, true);
    st.image.GPRS.NtelChiamataADT = 0;
    ASSERT_TRUE(db->LoadCustomer(serial));
    EXPECT_EQ(st.image.GPRS.NtelChiamataADT, 1);
    EXPECT_EQ(st.image.Opzioni.StringaControllo, "*124#");
    EXPECT_TRUE(fb.messages.empty());
}

// ---------------------------------------------------------------- header outcomes

TEST_F(DbFixture, HeaderOutcomes)
{
    NewCustomer(kModelG, "Esposito", "0010");
    ASSERT_TRUE(db->SaveCustomer("first"));
    const int esposito = st.cliente.SerialCli;
    NewCustomer(kModelA, "Greco", "0011");
    ASSERT_TRUE(db->SaveCustomer(""));
    const int greco = st.cliente.SerialCli;
    ASSERT_NE(esposito, greco);

    struct Case {
        const char* what;
        std::string name;
        std::string code;
        int model;
        MsgAnswer answer;
        int result;
        std::string message;
        int serialAfter;  // the header's SerialCli afterwards (-1: unchanged)
    } cases[] = {
        {"same name, other model", "Esposito", "0010", kModelA, MsgAnswer::Yes, kHeaderOtherModel, st.Text(128), -1},
        {"same name, overwrite declined", "Esposito", "0010", kModelG, MsgAnswer::No, kHeaderDeclined, st.Text(130), -1},
        {"same name, code of another customer", "Esposito", "0011", kModelG, MsgAnswer::Yes, kHeaderCodeTaken,
         st.Text(129) + " \"Greco\"", -1},
        {"new name, code of another customer", "Ferrari", "0011", kModelG, MsgAnswer::Yes, kHeaderCodeTaken,
         st.Text(129) + " \"Greco\"", -1},
        {"same name, overwrite accepted", "Esposito", "0010", kModelG, MsgAnswer::Yes, kHeaderStored, st.Text(130),
         esposito},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fb.messages.clear();
        fb.answers = {c.answer};
        Tag_Cliente h;
        h.SerialCli = 0;
        h.Nome = c.name;
        h.CodiceCliente = c.code;
        h.TipoCentrale = static_cast<std::uint8_t>(c.model);
        h.Comune = "Changed";
        EXPECT_EQ(db->SaveCustomerHeader(h, c.model, "second"), c.result);
        ASSERT_EQ(fb.messages.size(), 1u);
        EXPECT_EQ(fb.messages[0].text, c.message);
        EXPECT_EQ(h.SerialCli, c.serialAfter < 0 ? 0 : c.serialAfter);
        std::string note;
        ASSERT_TRUE(db->ReadNote(esposito, note));
        EXPECT_EQ(note, c.result == kHeaderStored ? "second" : "first");
        EXPECT_EQ(Count("Clienti", esposito) + Count("Clienti", greco), 2);
    }
    std::vector<CustomerListEntry> list;
    ASSERT_TRUE(db->ListCustomers(list));
    EXPECT_EQ(list.size(), 2u);  // nothing was added by the refused saves
}

TEST_F(DbFixture, DeclinedOverwriteLeavesDatabaseUntouched)
{
    NewCustomer(kModelI, "Romano", "0020", 1);
    ASSERT_TRUE(db->SaveCustomer(""));
    const int serial = st.cliente.SerialCli;
    const Tag_GlobalBuffer first = st.image;

    NewCustomer(kModelI, "Romano", "0020", 2);
    fb.answers = {MsgAnswer::No};
    EXPECT_FALSE(db->SaveCustomer(""));
    EXPECT_EQ(st.cliente.SerialCli, 0);

    InitImage(st, st.image, true);
    ASSERT_TRUE(db->LoadCustomer(serial));
    Tag_GlobalBuffer expected = first;
    test::TakeUnstoredFields(expected, st.image, kModelI);
    EXPECT_EQ(test::FirstDifference(st.cliente, expected, st.image), "");
}

// ---------------------------------------------------------------- codes

TEST_F(DbFixture, NextCustomerCode)
{
    EXPECT_EQ(db->NextCustomerCode(), "0000");

    QSqlQuery q = db->Tables()->Prepare(QStringLiteral("INSERT INTO Clienti (Nome, CodiceCliente, TipoCentrale) VALUES (?, ?, 19)"));
    auto add = [&](int from, int to) {
        db->Tables()->Begin();
        for (int n = from; n <= to; ++n) {
            q.bindValue(0, QStringLiteral("C%1").arg(n));
            q.bindValue(1, QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')));
            db::TableFolders::Exec(q);
        }
        db->Tables()->Commit();
    };
    add(1, 41);
    EXPECT_EQ(db->NextCustomerCode(), "0000");  // 0000 free wins whatever else is used
    add(0, 0);
    EXPECT_EQ(db->NextCustomerCode(), "0042");
    add(42, 9999);
    fb.messages.clear();
    EXPECT_EQ(db->NextCustomerCode(), "");  // no code rather than one another customer holds
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0].text, st.Text(kTextNoFreeCustomerCode));
    EXPECT_FALSE(st.Text(kTextNoFreeCustomerCode).empty());
    EXPECT_EQ(fb.busyDepth, 0);

    // A new customer made now gets no code at all.
    InitImage(st, st.image, true);
    EXPECT_TRUE(st.cliente.CodiceCliente.empty());
}

// ---------------------------------------------------------------- delete

TEST_F(DbFixture, DeleteRemovesRowsFromAllTenTables)
{
    NewCustomer(kModelG, "Colombo", "0030");
    ASSERT_TRUE(db->SaveCustomer("n"));
    const int serial = st.cliente.SerialCli;
    for (const char* table : kAllTables) ASSERT_GT(Count(table, serial), 0) << table;

    EXPECT_TRUE(db->DeleteCustomer(serial));
    for (const char* table : kAllTables) EXPECT_EQ(Count(table, serial), 0) << table;
    InitImage(st, st.image, true);
    EXPECT_FALSE(db->LoadCustomer(serial));

    // SQLite hands the freed serial number to the next customer, which must
    // not find the old configuration rows (here: GPRS, which a PELIX-A never
    // writes). A server numbers on and never reuses one.
    NewCustomer(kModelA, "Ricci", "0031", 5);
    ASSERT_TRUE(db->SaveCustomer(""));
    if (!db->Tables()->IsServer()) {
        ASSERT_EQ(st.cliente.SerialCli, serial) << "the serial number was not reused";
    }
    EXPECT_EQ(Count("GPRS", st.cliente.SerialCli), 0);
    EXPECT_EQ(Count("NumTel", st.cliente.SerialCli), 8);
}

TEST_F(DbFixture, DeleteOnMissingChildTableSkipsIt)
{
    NewCustomer(kModelA, "Marino", "0040");
    ASSERT_TRUE(db->SaveCustomer(""));
    Exec(QStringLiteral("DROP TABLE PELIX.GPRS"));
    EXPECT_TRUE(db->DeleteCustomer(st.cliente.SerialCli));
    EXPECT_EQ(Count("Clienti", st.cliente.SerialCli), 0);
    EXPECT_TRUE(fb.messages.empty());
}

// ---------------------------------------------------------------- one transaction

TEST_F(DbFixture, FailingTableLeavesPreviousCustomerWhole)
{
    NewCustomer(kModelG, "Gallo", "0050", 1);
    ASSERT_TRUE(db->SaveCustomer("old note"));
    const int serial = st.cliente.SerialCli;
    const Tag_GlobalBuffer before = st.image;

    // The last table written fails: everything written before it must go.
    FailInserts(QStringLiteral("PELIX"), QStringLiteral("GPRS"), QStringLiteral("disk full"));
    NewCustomer(kModelG, "Gallo", "0050", 2);
    fb.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(db->SaveCustomer("new note"));
    EXPECT_TRUE(fb.Said("disk full"));

    NewCustomer(kModelG, "Conti", "0051", 3);
    EXPECT_FALSE(db->SaveCustomer(""));
    EXPECT_EQ(st.cliente.SerialCli, 0);  // no serial of a row that does not exist
    EXPECT_FALSE(db->FindByName("Conti").has_value());

    InitImage(st, st.image, true);
    ASSERT_TRUE(db->LoadCustomer(serial));
    Tag_GlobalBuffer expected = before;
    test::TakeUnstoredFields(expected, st.image, kModelG);
    EXPECT_EQ(test::FirstDifference(st.cliente, expected, st.image), "");
    std::string note;
    ASSERT_TRUE(db->ReadNote(serial, note));
    EXPECT_EQ(note, "old note");
}

TEST_F(DbFixture, DatabaseErrorInHeaderGivesCodeFour)
{
    FailInserts(QStringLiteral("main"), QStringLiteral("Clienti"), QStringLiteral("locked"));
    Tag_Cliente h;
    h.Nome = "Bruno";
    h.CodiceCliente = "0060";
    EXPECT_EQ(db->SaveCustomerHeader(h, kModelG, ""), kHeaderDatabaseError);
    EXPECT_EQ(h.SerialCli, 0);
    EXPECT_TRUE(fb.Said("locked"));
}

TEST_F(DbFixture, ListInNameAndCodeOrder)
{
    NewCustomer(kModelG, "Zeta", "0001");
    ASSERT_TRUE(db->SaveCustomer(""));
    NewCustomer(kModelA, "Alfa", "0002");
    ASSERT_TRUE(db->SaveCustomer(""));
    std::vector<CustomerListEntry> list;
    ASSERT_TRUE(db->ListCustomers(list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Nome, "Alfa");
    EXPECT_EQ(list[0].TipoCentrale, kModelA);
    ASSERT_TRUE(db->ListCustomers(list, QStringLiteral("CodiceCliente")));
    EXPECT_EQ(list[0].Nome, "Zeta");
}

TEST_F(DbFixture, MissingTableIsReportedAndTheOthersStillLoad)
{
    NewCustomer(kModelG, "Lombardi", "0070");
    ASSERT_TRUE(db->SaveCustomer(""));
    const int serial = st.cliente.SerialCli;
    Exec(QStringLiteral("DROP TABLE PELIX.Ingresso"));

    InitImage(st, st.image, true);
    EXPECT_TRUE(db->LoadCustomer(serial));
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_NE(QString::fromStdString(fb.messages[0].text).indexOf(u"Ingresso", 0, Qt::CaseInsensitive), -1)
        << fb.messages[0].text;
    EXPECT_EQ(fb.busyDepth, 0);
    EXPECT_EQ(st.image.Ingresso[0].SMSAttiv, "");         // left at its default
    EXPECT_EQ(st.image.Uscite[0].Messaggio, "Uscita 0 1");  // the tables after it still load
    EXPECT_EQ(st.image.GPRS.APN, "internet.it");

    // Saving needs every table: it fails as a whole and says so.
    fb.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(db->SaveCustomer(""));
    EXPECT_EQ(fb.messages.size(), 3u);  // the overwrite question, then the error
}
