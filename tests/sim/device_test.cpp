// The simulated device, driven byte by byte from the device's side: what it
// answers must be what a real communicator sends, or the link tests prove
// nothing.
#include "sim/device.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace pelix::sim;

namespace {

std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

Device Make(Model m, Module mod = Module::Motorola, Faults f = {}) { return Device(DefaultState(m, mod), f); }

}  // namespace

TEST(SimController, AnswersOneByteCommandsWithChecksums)
{
    DeviceState s = DefaultState(Model::G, Module::Motorola);
    s.signal = 0x80;
    s.warnings = 0x11;
    s.supply = 0xC0;
    s.inputs = 0x21;
    s.outputValues = {7, 8, 9, 10, 255};
    s.counter1 = 0x01020304;
    s.counter2 = -1;
    Device d(s, {});
    struct Case {
        const char* command;
        std::string reply;
    } cases[] = {
        {"?", Bytes({'P', 'R', 'G', 0xE9})},
        {"7", Bytes({0x80, 0x11, 0xC0, 0x51})},
        {"8", Bytes({0x21, 0x00, 7, 0x28})},
        {"9", Bytes({8, 9, 10, 27})},
        {"6", Bytes({'1', '0', '5', 0x96})},
        {";", Bytes({4, 3, 2, 1})},
        {"<", "ERR"},
        {"\xFF", "\xFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(d.Receive(c.command), c.reply) << c.command;
}

TEST(SimController, ThroughConnectionCarriesBytesToTheModuleUntil0xFF)
{
    Device d = Make(Model::I, Module::Ericsson);
    EXPECT_EQ(d.Receive("\xC3"), "\xFE");
    // "?" is now text for the module, not a controller command.
    EXPECT_EQ(d.Receive("AT+CGMI\r"), "\r\nERICSSON\r\n\r\nOK\r\n");
    EXPECT_EQ(d.Receive("\xFF"), "\xFF");
    EXPECT_EQ(d.Receive("?").substr(0, 3), "PRG");
}

TEST(SimController, StatusBitsFollowTheSimAndTheFaults)
{
    DeviceState s = DefaultState(Model::I, Module::Motorola);
    s.pinEnabled = s.pinRequired = true;
    s.notReady = true;
    s.busy = true;
    Device d(s, {});
    EXPECT_EQ(static_cast<unsigned char>(d.Receive("8")[1]), 0x03);
    EXPECT_EQ(static_cast<unsigned char>(d.Receive("=")[1]) & 0x02, 0x02);
    Faults bad;
    bad.badChecksum = true;
    Device b(DefaultState(Model::G, Module::Motorola), bad);
    EXPECT_EQ(b.Receive("?"), Bytes({'P', 'R', 'G', 0xEA}));
}

TEST(SimModule, EchoIsOffUntilAskedAndThePromptHasNoCr)
{
    Device d = Make(Model::A);
    EXPECT_EQ(d.Receive("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("ATE1\r"), "\r\nOK\r\n");  // echo starts with the next character
    EXPECT_EQ(d.Receive("AT\r"), "AT\r\r\nOK\r\n");
    d.Receive("ATE0\r");
    EXPECT_EQ(d.Receive("AT+CMGW\r"), "\r\n> ");
}

TEST(SimModule, StoredMessagesTakeTheLowestFreeSlot)
{
    Device d = Make(Model::A);  // slot 1 holds the release line
    d.Receive("AT+CMGF=1\r");
    EXPECT_EQ(d.Receive("AT+CMGR=1\r"), "\r\n+CMGR: \"STO UNSENT\",\"\",\r\nPELIX-A REV.1.05\r\n\r\nOK\r\n");
    d.Receive("AT+CMGW,,\"STO UNSENT\"\r");
    EXPECT_EQ(d.Receive("first\x1A"), "\r\n+CMGW: 2\r\n\r\nOK\r\n");
    d.Receive("AT+CMGW\r");
    EXPECT_EQ(d.Receive("second\x1A"), "\r\n+CMGW: 3\r\n\r\nOK\r\n");
    EXPECT_EQ(d.Receive("at+cmgd=2\r"), "\r\nOK\r\n");
    d.Receive("AT+CMGW\r");
    EXPECT_EQ(d.Receive("third\x1A"), "\r\n+CMGW: 2\r\n\r\nOK\r\n");
    // An empty slot answers with a bare header.
    EXPECT_EQ(d.Receive("AT+CMGR=9\r"), "\r\n+CMGR: 0,,0\r\n\r\nOK\r\n");
    const std::string list = d.Receive("AT+CMGL=\"ALL\"\r");
    EXPECT_NE(list.find("+CMGL: 2,\"STO UNSENT\",\"\",,\r\nthird\r\n"), std::string::npos) << list;
    EXPECT_EQ(d.Receive("AT+CMGD=1,4\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CMGL=\"ALL\"\r"), "\r\nOK\r\n");
}

TEST(SimModule, PhoneBookKeepsItsSizeAndTextLimit)
{
    Device d = Make(Model::G);  // Motorola phone memory: 500 entries, 16 characters
    d.Receive("\xCC");
    EXPECT_EQ(d.Receive("AT+CPBS=\"ME\"\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPBW=?\r"), "\r\n+CPBW: (1-500),40,(129,145),16\r\n\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPBW=101,\"0212345\",,\"Sixteen chars ok\"\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPBW=102,\"0212345\",,\"Seventeen chars!!\"\r"), "\r\n+CME ERROR: 24\r\n");
    EXPECT_EQ(d.Receive("AT+CPBW=501,\"1\",,\"x\"\r"), "\r\n+CME ERROR: 21\r\n");
    // The unquoted form the PELIX-A write sends.
    EXPECT_EQ(d.Receive("AT+CPBW=5,0123456,,TELNUM5\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPBR=1,200\r"),
              "\r\n+CPBR: 5,\"0123456\",129,\"TELNUM5\"\r\n"
              "\r\n+CPBR: 101,\"0212345\",129,\"Sixteen chars ok\"\r\n\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPBW=5\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPBR=1,10\r"), "\r\nOK\r\n");
}

TEST(SimModule, PinGuardsTheSimAndIsCountedDown)
{
    DeviceState s = DefaultState(Model::I, Module::Motorola);
    s.pinEnabled = s.pinRequired = true;
    Device d(s, {});
    d.Receive("\xC3");
    EXPECT_EQ(d.Receive("AT+CPBR=1,10\r"), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(d.Receive("AT+CPIN?\r"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CPIN=\"0000\"\r"), "\r\n+CME ERROR: 16\r\n");
    EXPECT_EQ(d.state().pinTries, 2);
    EXPECT_EQ(d.Receive("AT+CPIN=\"1234\"\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT+CLCK=\"SC\",0,\"1234\"\r"), "\r\nOK\r\n");
    EXPECT_FALSE(d.state().pinEnabled);
    EXPECT_EQ(d.Receive("AT+CUSD=1, \"*123#\"\r"), "\r\nOK\r\n\r\n+CUSD: 0,\"Credit 10.00 EUR\",15\r\n");
}

TEST(SimFaults, ErrorSilenceAndDroppedBytes)
{
    Faults f;
    f.errorCommands.insert(CommandName("AT+cpbw"));
    Device d = Make(Model::A, Module::Native, f);
    EXPECT_EQ(d.Receive("AT+CPBW=1,\"1\",,\"x\"\r"), "\r\nERROR\r\n");
    EXPECT_EQ(d.Receive("AT+CPBR=1\r"), "\r\nOK\r\n");

    f = {};
    f.silent = true;
    Device s = Make(Model::G, Module::Motorola, f);
    EXPECT_EQ(s.Receive("?"), "");

    f = {};
    f.dropEvery = 2;
    Device g = Make(Model::G, Module::Motorola, f);
    EXPECT_EQ(g.Receive("?"), "PG");

    // A refused controller command answers "ERR" and changes nothing.
    f = {};
    f.errorCommands.insert("<32>");
    Device i = Make(Model::I, Module::Motorola, f);
    EXPECT_EQ(i.Receive("2"), std::string("ERR") + char('E' + 'R' + 'R'));
    EXPECT_EQ(i.state().outputsA, 0);
    EXPECT_EQ(i.Receive("1").substr(0, 3), "ACK");
}

TEST(SimState, JsonKeepsEverythingTheDeviceStores)
{
    Device d = Make(Model::I, Module::Ericsson);
    d.Receive("\xCC");
    d.Receive("AT+CPBW=3,\"+3902\",145,\"Anna\"\r");
    d.Receive("AT+CMGW=2\r");
    d.Receive("section\x1A");
    d.Receive("AT+CLCK=\"SC\",1,\"1234\"\r");
    ASSERT_TRUE(d.TakeDirty());

    pelix::test::TempFolder tmp;
    ASSERT_TRUE(SaveStateFile(tmp.file("state.json"), d.state(), nullptr));
    DeviceState back = DefaultState(Model::G, Module::Motorola);
    ASSERT_TRUE(LoadStateFile(tmp.file("state.json"), back, nullptr));
    EXPECT_EQ(back.model, Model::I);
    EXPECT_EQ(back.module, Module::Ericsson);
    EXPECT_EQ(back.phoneBooks["SM"].entries[3].number, "+3902");
    EXPECT_EQ(back.phoneBooks["SM"].entries[3].type, 145);
    EXPECT_EQ(back.phoneBooks["SM"].entries[3].text, "Anna");
    EXPECT_EQ(back.stores["SM"].messages[1].text, "section");
    EXPECT_EQ(back.stores["SM"].messages[1].address, "2");
    EXPECT_TRUE(back.pinEnabled);
}

TEST(SimFaults, RefusesCommandsAndTextsHoldingAGivenTextAndABareAt)
{
    Faults f;
    f.errorContaining = {"\"PX3\"", "secret"};
    f.errorCommands.insert(CommandName("AT"));
    Device d = Make(Model::A, Module::Native, f);
    EXPECT_EQ(d.Receive("AT+CPBW=3,\"1\",,\"PX3\"\r"), "\r\nERROR\r\n");
    EXPECT_EQ(d.Receive("AT+CPBW=2,\"1\",,\"PX2\"\r"), "\r\nOK\r\n");
    EXPECT_EQ(d.Receive("AT\r"), "\r\nERROR\r\n");
    EXPECT_EQ(d.Receive("AT+CMGW\r"), "\r\n> ");
    EXPECT_EQ(d.Receive("a secret text\x1A"), "\r\nERROR\r\n");
    EXPECT_EQ(d.state().stores.at("SM").messages.size(), 1u);  // only the release line
}
