// What the read and write commands do when the device misbehaves, the checks
// they make before touching it, and the exact commands of the PELIX-A write.
#include "devicefixture.h"

#include "link/codec/records.h"
#include "link/codec/sections.h"
#include "link/devicecommands.h"
#include "link/secondgen_device.h"
#include "model/datetime.h"
#include "model/imageinit.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;
using sim::Model;
using sim::Module;

namespace {

// Every command ends with the progress display closed and the flag down.
void ExpectProgressClosed(DeviceBench& b)
{
    EXPECT_GE(b.fb.progressClosed, 1);
    EXPECT_FALSE(b.state.flags.progress.load());
    EXPECT_EQ(b.fb.busyDepth, 0);
}

TEST(FirstGenWrite, ARefusedRecordIsAFailedWriteAndGivesThePortBack)
{
    sim::Faults f;
    f.errorContaining = {"IP="};  // record 2
    DeviceBench b(sim::DefaultState(Model::A, Module::Native, "1.12"), f);
    b.state.cliente.Rel_firmware = "1.12";
    FillRichImageA(b.state, true);
    EXPECT_FALSE(WriteDeviceCommand(b.ctx));
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0].text, b.state.Text(53));
    EXPECT_EQ(b.fb.messages[0].type, MsgType::Error);
    EXPECT_FALSE(b.port.isOpen());
    ExpectProgressClosed(b);
    // Records 0 and 1 stay stored; nothing after the refused one is tried.
    const auto store = b.DeviceState().stores.at("SM").messages;
    EXPECT_EQ(store.size(), 3u);
    EXPECT_EQ(b.Count("AT+CMGW"), 3);
}

TEST(FirstGenWrite, SendsTheSequenceWithItsRepeatsInOrder)
{
    DeviceBench b(sim::DefaultState(Model::A, Module::Native, "1.05"));
    b.state.cliente.Rel_firmware = "1.05";
    FillRichImageA(b.state, false);
    ASSERT_TRUE(WriteDeviceCommand(b.ctx));
    std::vector<std::string> j = b.Journal();
    const auto hangUp = std::find(j.begin(), j.end(), "ATH");
    ASSERT_NE(hangUp, j.end());
    std::vector<std::string> expected;
    for (int s = 2; s <= 40; ++s)
        for (int k = 0; k < 5; ++k) expected.push_back("at+cmgd=" + std::to_string(s));
    expected.push_back("at+cpbs=\"SM\"");
    for (int n = 1; n <= 8; ++n)
        for (int k = 0; k < 5; ++k) expected.push_back("AT+CPBW=" + std::to_string(n));
    for (const auto& [n, number] : {std::pair{1, "0212345678"}, std::pair{4, "+393331234567"}, std::pair{8, "5558888"}})
        for (int k = 0; k < 5; ++k)
            expected.push_back("AT+CPBW=" + std::to_string(n) + "," + number + ",,TELNUM" + std::to_string(n));
    expected.push_back("at+cmgf=1");
    for (int r = 0; r < 3; ++r) {
        expected.push_back("AT+CMGW,,\"STO UNSENT\"");
        expected.push_back("<text>" + BuildRecord(b.state.image, r, 1.05));
    }
    // The quiet checks and the closing wake-up send bare CRs, which leave no entry.
    const std::vector<std::string> got(hangUp + 1, j.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(b.DeviceState().stores.at("SM").messages.at(3).text, "OS1=FP,BC;OS2=FG,CI;OS3=BP;OS4=CO,MS;OS5=;");
}

TEST(FirstGenWrite, AnEventAnsweredNoWritesNothing)
{
    DeviceBench b(sim::DefaultState(Model::A, Module::Native, "1.05"));
    b.state.cliente.Rel_firmware = "1.05";
    FillRichImageA(b.state, false);
    b.state.image.Uscite[1].FG = 0;  // FG nowhere
    b.fb.answers = {MsgAnswer::No};
    EXPECT_FALSE(WriteDeviceCommand(b.ctx));
    EXPECT_EQ(b.Count("at+cmgd"), 0);
    EXPECT_EQ(b.Count("AT+CPBW"), 0);
    EXPECT_FALSE(b.port.isOpen());
    ExpectProgressClosed(b);
}

TEST(FirstGenCommands, AReleaseOfTheOtherFamilyIsRefusedBeforeAnythingIsSent)
{
    DeviceBench b(sim::DefaultState(Model::A, Module::Native, "1.12"));
    b.state.cliente.Rel_firmware = "1.05";
    EXPECT_FALSE(ReadDeviceCommand(b.ctx));
    EXPECT_TRUE(b.fb.Said(b.state.Text(146)));
    EXPECT_EQ(b.Count("ATE0"), 0);
    EXPECT_FALSE(b.port.isOpen());
    ExpectProgressClosed(b);
}

TEST(OutputEventCheck, QuestionsAndDefaultOutputs)
{
    LinkBench b(kModelA);
    Tag_GlobalBuffer& img = b.state.image;
    for (auto& u : img.Uscite) u = Tag_Uscita{};
    b.fb.defaultAnswer = MsgAnswer::Yes;
    EXPECT_TRUE(CheckOutputEvents(b.ctx, 1.05));
    ASSERT_EQ(b.fb.messages.size(), 7u);
    EXPECT_EQ(b.fb.messages[0].text, b.state.Text(147) + "\r\n" + b.state.Text(148) + "\r\n" + b.state.Text(149));
    EXPECT_EQ(b.fb.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(img.Uscite[0].FP && img.Uscite[1].FG && img.Uscite[2].BC);
    EXPECT_TRUE(img.Uscite[3].BP && img.Uscite[3].MS && img.Uscite[4].CO && img.Uscite[4].CI);
    EXPECT_EQ(CountOutputEvents(img), 7);
    EXPECT_EQ(b.state.EventiAssegnati, 7);

    // A 1.1 device with a reserved output is only asked whether to go on.
    for (auto& u : img.Uscite) u = Tag_Uscita{};
    img.Uscite[4].OUTRESERV = 1;
    b.fb.messages.clear();
    EXPECT_TRUE(CheckOutputEvents(b.ctx, 1.12));
    ASSERT_EQ(b.fb.messages.size(), 7u);
    EXPECT_EQ(b.fb.messages[6].text, b.state.Text(147) + "\r\n" + b.state.Text(155));
    EXPECT_EQ(CountOutputEvents(img), 0);

    // Events already carried are not asked about.
    img.Uscite[4].OUTRESERV = 0;
    img.Uscite[0].FP = img.Uscite[1].FG = img.Uscite[2].BC = img.Uscite[3].BP = img.Uscite[3].MS = 1;
    img.Uscite[4].CO = 1;
    b.fb.messages.clear();
    b.fb.answers = {MsgAnswer::No};
    EXPECT_FALSE(CheckOutputEvents(b.ctx, 1.05));
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_NE(b.fb.messages[0].text.find(b.state.Text(155)), std::string::npos);
    EXPECT_FALSE(img.Uscite[4].CI);
}

// --- PELIX-G and PELIX-I --------------------------------------------------------

struct ReadFault {
    const char* name;
    std::function<void(sim::DeviceState&, sim::Faults&)> set;
    std::vector<int> texts;  // shown, in order
};

class FailedReadG : public ::testing::TestWithParam<ReadFault> {};

TEST_P(FailedReadG, PutsBackTheImageAsItWasAndClosesThePort)
{
    sim::DeviceState dev = Device(Model::G);
    sim::Faults f;
    GetParam().set(dev, f);
    DeviceBench b(dev, f);
    FillRichImage(b.state);
    const Tag_GlobalBuffer before = b.state.image;
    EXPECT_FALSE(ReadDeviceCommand(b.ctx));
    EXPECT_TRUE(b.state.image == before) << ::testing::PrintToString(ImageDifferences(before, b.state.image));
    std::vector<std::string> shown, wanted;
    for (const auto& m : b.fb.messages) shown.push_back(m.text);
    for (int t : GetParam().texts) wanted.push_back(b.state.Text(t));
    EXPECT_EQ(shown, wanted);
    EXPECT_FALSE(b.port.isOpen());
    ExpectProgressClosed(b);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedReadG,
    ::testing::Values(ReadFault{"ModuleAnswersError", [](auto&, auto& f) { f.errorCommands.insert(""); }, {237, 122}},
                      ReadFault{"NotMotorola", [](auto& d, auto&) { d.module = Module::Ericsson; }, {122}},
                      ReadFault{"Silent", [](auto&, auto& f) { f.silent = true; }, {611}},
                      ReadFault{"ListingRefused", [](auto&, auto& f) { f.errorCommands.insert("+CMGL"); }, {122}}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteFault {
    const char* name;
    Model model;
    Module module;
    std::function<void(sim::DeviceState&, sim::Faults&)> set;
    int text;
};

class FailedWrite : public ::testing::TestWithParam<WriteFault> {};

TEST_P(FailedWrite, ReportsTheFailureAndGivesTheLineBack)
{
    const WriteFault& c = GetParam();
    sim::DeviceState dev = Device(c.model, c.module);
    sim::Faults f;
    c.set(dev, f);
    DeviceBench b(dev, f);
    FillRichImage(b.state);
    EXPECT_FALSE(WriteDeviceCommand(b.ctx));
    ASSERT_FALSE(b.fb.messages.empty());
    EXPECT_EQ(b.fb.messages.back().text, c.text == 601 ? b.state.Text(601) + "!\r" + b.state.Text(612) : b.state.Text(c.text));
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_FALSE(b.ThroughConnected());
    ExpectProgressClosed(b);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedWrite,
    ::testing::Values(
        WriteFault{"GBusy", Model::G, Module::Motorola, [](auto& d, auto&) { d.busy = true; }, 601},
        WriteFault{"GNotMotorola", Model::G, Module::Motorola, [](auto& d, auto&) { d.module = Module::Ericsson; }, 123},
        WriteFault{"GTextRefused", Model::G, Module::Motorola,
                   [](auto&, auto& f) { f.errorContaining = {"Alarm on input 1"}; }, 123},
        WriteFault{"GDirectoryEntryRefused", Model::G, Module::Motorola,
                   [](auto&, auto& f) { f.errorContaining = {"\"PX3\""}; }, 123},
        WriteFault{"GSilent", Model::G, Module::Motorola, [](auto&, auto& f) { f.silent = true; }, 237},
        WriteFault{"INotReady", Model::I, Module::Motorola, [](auto& d, auto&) { d.notReady = true; }, 237},
        WriteFault{"IEricssonTextRefused", Model::I, Module::Ericsson,
                   [](auto&, auto& f) { f.errorContaining = {"A=1"}; }, 123},
        WriteFault{"IPhoneBookRefused", Model::I, Module::Motorola,
                   [](auto&, auto& f) { f.errorCommands.insert("+CPBS"); }, 123}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SecondGenWrite, ARefusedDirectoryEntryIsTriedOnceMoreOnlyBeforeAnyWentIn)
{
    for (const auto& [entry, attempts] : {std::pair{"\"PX1\"", 2}, std::pair{"\"PX3\"", 1}}) {
        sim::Faults f;
        f.errorContaining = {entry};
        DeviceBench b(Device(Model::G), f);
        FillRichImage(b.state);
        // The sections alone fill the directory entries this is about.
        for (auto& in : b.state.image.Ingresso) in.SMSAttiv.clear(), in.SMSRipr.clear();
        EXPECT_FALSE(WriteDeviceCommand(b.ctx));
        int sent = 0;
        for (const auto& j : b.Journal())
            if (j.find(entry) != std::string::npos) ++sent;
        EXPECT_EQ(sent, attempts) << entry;
    }
}

TEST(SecondGenWrite, PelixIRefusesAPeriodicSmsStartInThePast)
{
    DeviceBench b(Device(Model::I));
    FillRichImage(b.state);
    b.state.image.Opzioni.SMSDataPrimo = NowDateTime() - 1.0;
    EXPECT_FALSE(WriteDeviceCommand(b.ctx));
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0].text, b.state.Text(506));
    EXPECT_TRUE(b.Journal().empty());
    // Without an activation text there is no periodic SMS to check.
    b.state.image.Ingresso[6].SMSAttiv.clear();
    EXPECT_FALSE(PeriodicSmsPastI(b.state.image, NowDateTime()));
}

TEST(SecondGenWrite, PelixGMovesThePeriodicTimesPastThePresent)
{
    const std::uint32_t now = 1'800'000'000;
    struct Case {
        std::uint32_t first, interval;
        bool inUse;
        std::uint32_t expected;
    } cases[] = {
        {now - 2 * 86400, 1440, true, now},              // two days back, daily: today at the same time
        {now - 2 * 86400 - 30, 1440, true, now - 30},    // 30 s before the present is not a minute before it
        {now - 61, 0, true, now - 61 + 300},             // no interval: steps of five minutes
        {now - 59, 60, true, now - 59},                  // within the minute: left alone
        {now - 86400, 1440, false, now - 86400},         // not in use
    };
    for (const Case& c : cases) {
        Tag_GlobalBuffer img;
        img.Opzioni.SMSPrimoUnix = img.Opzioni.SegPrimoUnix = c.first;
        img.Opzioni.SMSIntervallo = img.ComDig.SegIntervallo = c.interval;
        if (c.inUse) {
            img.Ingresso[7].SMSAttiv = "Periodic";
            img.ComDig.Eventi[14].Invia = 1;
        }
        AdvancePeriodicTimesG(img, now);
        EXPECT_EQ(img.Opzioni.SMSPrimoUnix, c.expected) << c.first;
        EXPECT_EQ(img.Opzioni.SegPrimoUnix, c.expected) << c.first;
    }
}

TEST(SecondGenWrite, TimerEntryCountsWholeMinutesToEachFirstMoment)
{
    Tag_GlobalBuffer img;
    const QDateTime now(QDate(2026, 3, 1), QTime(10, 15, 30));
    img.Opzioni.SMSDataPrimo = ToDateTime(QDateTime(QDate(2026, 3, 2), QTime(0, 0)));
    img.Opzioni.SMSOraPrimo = ToDateTime(QDateTime(QDate(1999, 1, 1), QTime(12, 15, 59)));
    img.ComDig.SegDataPrimo = ToDateTime(QDateTime(QDate(2026, 2, 28), QTime(0, 0)));
    img.ComDig.SegOraPrimo = img.Opzioni.SMSOraPrimo;
    // 2 March 12:15:00 is 1 day, 1 h 59 min 30 s away; the report moment is past.
    EXPECT_EQ(TimerDigits(img, ToDateTime(now)), "001559000000");
}

TEST(ListingParsers, PhoneBookLinesAndDirectoryLookUp)
{
    stRecAgenda e;
    EXPECT_TRUE(ParseAgendaLine("+CPBR: 101,\"0212345678\",129,\"Office\"", e));
    EXPECT_EQ(e.Indice, 101);
    EXPECT_EQ(e.Numero, "0212345678");
    EXPECT_EQ(e.Nome, "Office");
    EXPECT_FALSE(ParseAgendaLine("+CPBR: x,\"1\",129,\"PX1\"", e));
    EXPECT_EQ(e.Indice, -1);
    EXPECT_FALSE(ParseAgendaLine("+CPBR:\"", e));
    EXPECT_FALSE(ParseAgendaLine("", e));

    std::vector<stRecAgenda> listing(3);
    listing[0].Indice = 1, listing[0].Nome = "PX1";
    listing[1].Indice = 10, listing[1].Nome = "PX10";
    listing[2].Indice = 101, listing[2].Nome = "Office";
    EXPECT_EQ(FindDirectoryEntry(listing, "10", true), 1);
    EXPECT_EQ(FindDirectoryEntry(listing, "PX1", false), 0);
    EXPECT_EQ(FindDirectoryEntry(listing, "PX2", false), -1);

    // Message 1 is not message 10 or 11.
    const std::vector<stSms> messages = {{"+CMGL: 10,\"STO UNSENT\",\"\",,", "ten"},
                                         {"+CMGL: 1,\"STO UNSENT\",\"\",,", "one"}};
    std::string text;
    EXPECT_TRUE(ListedMessageText(messages, 1, text));
    EXPECT_EQ(text, "one");
    EXPECT_FALSE(ListedMessageText(messages, 11, text));
}

}  // namespace
