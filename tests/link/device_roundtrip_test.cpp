// A rich configuration written into the simulated device and read back, for
// every model and module: what comes back equals what was written except for
// the fields the stored formats do not carry, each named with its reason.
#include "devicefixture.h"

#include "link/codec/records.h"
#include "link/codec/sections.h"
#include "link/devicecommands.h"
#include "model/datetime.h"
#include "model/imageinit.h"

#include <functional>

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;
using sim::Model;
using sim::Module;

namespace {

// The dates of the periodic SMS and report are not stored: the device counts
// the minutes from the write (PELIX-I entry 100), and a read takes them from
// the controller's counters, which the simulated controller does not derive
// from that entry. So they come back as the read's defaults.
const std::vector<std::string> kPeriodicDates = {"Opzioni.SMSDataPrimo", "Opzioni.SMSOraPrimo",
                                                 "ComDig.SegDataPrimo", "ComDig.SegOraPrimo"};

struct SecondGenCase {
    const char* name;
    Model model;
    Module module;
    std::vector<std::string> notCarried;
    // What else the case checks on the device and the image after the read.
    std::function<void(DeviceBench&, const Tag_GlobalBuffer& written)> check;
};

class SecondGenRoundTrip : public ::testing::TestWithParam<SecondGenCase> {};

TEST_P(SecondGenRoundTrip, WrittenConfigurationReadsBackEqual)
{
    const SecondGenCase& c = GetParam();
    sim::DeviceState dev = Device(c.model, c.module);
    dev.counter1 = 90;  // minutes to the first periodic SMS, as the controller counts them
    DeviceBench bench(dev);
    FillRichImage(bench.state);
    // Longer than the simulated phone memory takes (16 characters).
    bench.state.image.NumTel[3].Descrizione = c.module == Module::Ericsson ? "Eighteen chars lbl" : "A label of twenty ch";
    ASSERT_TRUE(WriteDeviceCommand(bench.ctx)) << (bench.fb.messages.empty() ? "" : bench.fb.messages[0].text);
    // The write keeps in the image the labels as the phone book took them.
    const Tag_GlobalBuffer written = bench.state.image;

    bench.state.image = Tag_GlobalBuffer{};
    ASSERT_TRUE(ReadDeviceCommand(bench.ctx)) << (bench.fb.messages.empty() ? "" : bench.fb.messages[0].text);
    EXPECT_TRUE(bench.fb.messages.empty());

    Tag_GlobalBuffer expected = written;
    std::vector<std::string> notCarried = kPeriodicDates;
    notCarried.insert(notCarried.end(), c.notCarried.begin(), c.notCarried.end());
    TakeFields(expected, bench.state.image, notCarried);
    const auto diff = ImageDifferences(expected, bench.state.image);
    EXPECT_TRUE(diff.empty()) << ::testing::PrintToString(diff);
    EXPECT_FALSE(bench.port.isOpen());
    EXPECT_FALSE(bench.ThroughConnected());
    c.check(bench, written);
}

// PELIX-G: every non-empty slot is a message reached through its "PX" entry.
void CheckDirectoryG(DeviceBench& b, const Tag_GlobalBuffer& written)
{
    EXPECT_EQ(written.NumTel[3].Descrizione.str(), "A label of twent");
    const auto dev = b.DeviceState();
    const auto& book = dev.phoneBooks.at("ME").entries;
    const auto& store = dev.stores.at("ME").messages;
    EXPECT_EQ(book.at(104).text, "A label of twent");
    const TSMSSlots built = BuildSections(written, kModelG, b.info.simIdentity(), 0);
    std::size_t stored = 0;
    for (int n = 1; n <= kSlotCount; ++n) {
        const std::string& text = built[static_cast<std::size_t>(n - 1)].Testo;
        if (text.empty()) continue;
        ++stored;
        ASSERT_TRUE(book.count(n)) << n;
        EXPECT_EQ(book.at(n).text, "PX" + std::to_string(n));
        const std::string& message = store.at(std::stoi(book.at(n).number)).text;
        // Section 3 carries the time of the write; the others are as built.
        if (n == 3) EXPECT_EQ(message.substr(0, 20), text.substr(0, 20));
        else EXPECT_EQ(message, text) << n;
    }
    EXPECT_EQ(store.size(), stored);
    EXPECT_EQ(book.count(6 + 2 + 1), 0u);  // input 2 has no activation text: no message, no entry
    // The write ends by setting the device clock and the combined message storage.
    EXPECT_EQ(b.Count("AT+CCLK=\""), 1);
    EXPECT_EQ(dev.store, "MT");
}

// PELIX-I with a Motorola module: entry 100 packs the timers and the user code;
// the read takes the first periodic SMS from the controller's counter.
void CheckTimersI(DeviceBench& b, const Tag_GlobalBuffer&)
{
    const auto dev = b.DeviceState();
    const auto& e = dev.phoneBooks.at("ME").entries.at(100);
    EXPECT_EQ(e.text, "#4321");
    ASSERT_EQ(e.number.size(), 12u);
    // Tomorrow at the same hour and minute: 1439 or 1440 minutes.
    EXPECT_TRUE(e.number.substr(0, 6) == "001439" || e.number.substr(0, 6) == "001440") << e.number;
    const double minutes = (b.state.image.Opzioni.SMSDataPrimo - NowDateTime()) * 1440.0;
    EXPECT_NEAR(minutes, 90.0, 2.0);
}

// PELIX-I with an Ericsson module: message k is slot k-1, empty texts included,
// read one by one; number 95 lives at entry 95.
void CheckOrderEricsson(DeviceBench& b, const Tag_GlobalBuffer&)
{
    const auto dev = b.DeviceState();
    const auto& messages = dev.stores.at("SM").messages;
    ASSERT_EQ(messages.size(), 25u);
    EXPECT_EQ(messages.at(5).text, "Alarm on input 1");
    EXPECT_EQ(messages.at(6).text, "");
    EXPECT_EQ(dev.phoneBooks.at("SM").entries.at(95).number, "5559494");
    EXPECT_EQ(dev.phoneBooks.at("SM").entries.at(4).text, "Eighteen chars lbl");
    EXPECT_EQ(dev.phoneBooks.at("SM").entries.at(96).text, "CONTACT ID 1");
    EXPECT_EQ(b.Count("AT+CMGL"), 0);
    EXPECT_EQ(b.Count("AT+CMGR="), 25);
}

// PELIX-I has no field for the periodic start times in Unix seconds.
const std::vector<std::string> kUnixTimesI = {"Opzioni.SMSPrimoUnix", "Opzioni.SegPrimoUnix"};

std::vector<std::string> Plus(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The digital-communicator numbers at entries 196-199 come back also as phone
// entries 96-99, beyond the 95 in use.
const std::vector<std::string> kComDigEntries = {"NumTel[95]", "NumTel[96]", "NumTel[97]", "NumTel[98]"};

INSTANTIATE_TEST_SUITE_P(
    Devices, SecondGenRoundTrip,
    ::testing::Values(
        // PELIX-G: the SIM identity of section 6 is the card's, read at the write.
        SecondGenCase{"G", Model::G, Module::Motorola, Plus({"GPRS.SIM"}, kComDigEntries), CheckDirectoryG},
        SecondGenCase{"IMotorola", Model::I, Module::Motorola, Plus(kUnixTimesI, kComDigEntries), CheckTimersI},
        SecondGenCase{"IEricsson", Model::I, Module::Ericsson, kUnixTimesI, CheckOrderEricsson}),
    [](const auto& info) { return std::string(info.param.name); });

// --- PELIX-A -----------------------------------------------------------------------

struct FirstGenCase {
    const char* name;
    const char* release;
    bool family11;
    int slotsWritten;
};

class FirstGenRoundTrip : public ::testing::TestWithParam<FirstGenCase> {};

TEST_P(FirstGenRoundTrip, WrittenConfigurationReadsBackEqual)
{
    const FirstGenCase& c = GetParam();
    DeviceBench bench(sim::DefaultState(Model::A, Module::Native, c.release));
    bench.state.cliente.Rel_firmware = c.release;
    FillRichImageA(bench.state, c.family11);
    ASSERT_TRUE(WriteDeviceCommand(bench.ctx)) << (bench.fb.messages.empty() ? "" : bench.fb.messages[0].text);
    EXPECT_TRUE(bench.fb.messages.empty());
    const Tag_GlobalBuffer written = bench.state.image;

    const auto dev = bench.DeviceState();
    const auto& store = dev.stores.at("SM").messages;
    EXPECT_EQ(static_cast<int>(store.size()), 1 + c.slotsWritten);  // slot 1: the release line
    EXPECT_EQ(store.rbegin()->first, 1 + c.slotsWritten);
    EXPECT_EQ(store.at(3).text, BuildRecord(written, 1, 1.05));
    EXPECT_EQ(dev.phoneBooks.at("SM").entries.at(4).text, "TELNUM4");

    // The read overwrites only what the records carry: start from the defaults.
    InitImage(bench.state, bench.state.image, false);
    Tag_GlobalBuffer expected = bench.state.image;
    const int readsBefore = bench.Count("at+cmgr=");
    ASSERT_TRUE(ReadDeviceCommand(bench.ctx));
    EXPECT_TRUE(bench.fb.messages.empty());
    // The release line, then exactly the family's records.
    EXPECT_EQ(bench.Count("at+cmgr=") - readsBefore, c.slotsWritten + 1);
    EXPECT_EQ(bench.Count("at+cmgr=" + std::to_string(c.slotsWritten + 2)), 0);

    // What the records carry, taken from the written image.
    for (int i = 0; i < 4; ++i) {
        auto& e = expected.Ingresso[static_cast<std::size_t>(i)];
        const auto& w = written.Ingresso[static_cast<std::size_t>(i)];
        e.Messaggio = w.Messaggio;
        e.MaskTel = w.MaskTel;
        e.Polarita = w.Polarita;
        if (c.family11) {
            e.Serv = w.Serv;
            e.SmsA = w.SmsA;
            e.SmsR = w.SmsR;
            e.MaskSms = w.MaskSms;
        }
    }
    for (int i = 0; i < kOutputs; ++i) {
        auto& e = expected.Uscite[static_cast<std::size_t>(i)];
        const auto& w = written.Uscite[static_cast<std::size_t>(i)];
        e.FP = w.FP, e.FG = w.FG, e.BC = w.BC, e.BP = w.BP, e.CO = w.CO, e.CI = w.CI, e.MS = w.MS;
        e.Polarita = w.Polarita;
        if (c.family11) {
            e.OUTRESERV = w.OUTRESERV;
            e.Messaggio = w.Messaggio;
        }
    }
    auto& o = expected.Opzioni;
    const auto& wo = written.Opzioni;
    o.Squillo = wo.Squillo, o.Selezione = wo.Selezione, o.Voceinlinea = wo.Voceinlinea;
    o.Richiama = wo.Richiama;
    o.Prefisso = wo.Prefisso;
    if (c.family11) {
        o.CifreRim = wo.CifreRim;
        o.CodUscSms = wo.CodUscSms;
        o.UsaGsm = wo.UsaGsm;
        o.CommutaChiama = wo.CommutaChiama;
        for (int k = 1; k <= 8; ++k) expected.Sms[static_cast<std::size_t>(k)] = written.Sms[static_cast<std::size_t>(k)];
    }
    for (int n = 0; n < 8; ++n) expected.NumTel[static_cast<std::size_t>(n)].Numero = written.NumTel[static_cast<std::size_t>(n)].Numero;

    const auto diff = ImageDifferences(expected, bench.state.image);
    EXPECT_TRUE(diff.empty()) << ::testing::PrintToString(diff);
    EXPECT_EQ(bench.state.EventiAssegnati, CountOutputEvents(written));
    EXPECT_FALSE(bench.port.isOpen());
}

INSTANTIATE_TEST_SUITE_P(Families, FirstGenRoundTrip,
                         ::testing::Values(FirstGenCase{"Family10", "1.05", false, 3},
                                           FirstGenCase{"Family11", "1.12", true, 14}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
