// Identification of the GSM module: the answers of each maker as they come,
// and the whole sequence against the simulated device.
#include "linkfixture.h"

#include "link/controller.h"
#include "link/identify.h"

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;
using sim::Model;
using sim::Module;

TEST(IdentifyAnswers, MotorolaQuotesAndEricssonPlainLines)
{
    EXPECT_EQ(IdManufacturer("+CGMI: \"Motorola\""), "MOTOROLA");
    EXPECT_EQ(IdManufacturer("ERICSSON"), "ERICSSON");
    EXPECT_EQ(IdManufacturer("   "), "");

    EXPECT_EQ(IdModel("+CGMM: \"GSM900\",\"GSM1800\",\"MODEL=G24\"", "MOTOROLA"), "G24 EU");
    EXPECT_EQ(IdModel("+CGMM: \"GSM850\",\"GSM1900\",\"MODEL=G24\"", "MOTOROLA"), "G24 AM");
    EXPECT_EQ(IdModel("+CGMM: \"MODEL=\"", "MOTOROLA"), "");
    EXPECT_EQ(IdModel("1130202-BVGM47", "ERICSSON"), "GM47 EU");
    EXPECT_EQ(IdModel("GM48", "ERICSSON"), "GM48 AM");
    EXPECT_EQ(IdModel("GR64", "ERICSSON"), "GR64");

    EXPECT_EQ(IdQuoted("+CGMR: \"G24_G_0C.11.62R\"", true), "G24_G_0C.11.62R");
    EXPECT_EQ(IdQuoted("R2B003 prgCXC125582", false), "R2B003 prgCXC125582");
    EXPECT_EQ(IdSimData("+CRSM: 144,0,\"98930100\"", true), "0,\"98930100\"");
    EXPECT_EQ(IdSimData("short", true), "");
    EXPECT_EQ(IdOperator("+COPS: 0,0,\"I TIM\""), "I TIM");
    EXPECT_EQ(IdOperator("+COPS: 0"), "");
}

TEST(Identify, MotorolaModuleOfAPelixG)
{
    SimLink link(Device(Model::G));
    ASSERT_TRUE(PortOpen(link.port));
    EXPECT_TRUE(ModemIdentify(link.ctx, link.info, true, false, IdentifyVariant::PelixG));
    EXPECT_EQ(link.info.manufacturer(), "MOTOROLA");
    EXPECT_EQ(link.info.model(), "G24 EU");
    EXPECT_EQ(link.info.revision(), "G24_G_0C.11.62R");
    EXPECT_EQ(link.info.serial(), "IMEI351234567890123");
    EXPECT_EQ(link.info.simData().substr(0, 3), "0,\"");
    EXPECT_EQ(link.info.operatorName(), "PELIX NET");
    EXPECT_FALSE(link.ThroughConnected());
    EXPECT_EQ(link.Count("<FF>"), 1);
}

TEST(Identify, EricssonModuleOfAPelixIStaysConnectedWhenAsked)
{
    SimLink link(Device(Model::I, Module::Ericsson));
    ASSERT_TRUE(PortOpen(link.port));
    EXPECT_TRUE(ModemIdentify(link.ctx, link.info, false, true, IdentifyVariant::PelixI));
    EXPECT_EQ(link.info.manufacturer(), "ERICSSON");
    EXPECT_EQ(link.info.model(), "GM47 EU");
    EXPECT_EQ(link.info.revision(), "R2B003 prgCXC125582");
    EXPECT_EQ(link.info.serial(), "351234567890123");
    EXPECT_EQ(link.info.simData(), "+CRSM: 144,0,\"98931000002143658709\"");
    EXPECT_TRUE(link.ThroughConnected());
    EXPECT_EQ(link.Journal()[1], "<CC>");
}

TEST(Identify, ARefusedAnswerEndsTheSequenceAndLeavesTheRest)
{
    sim::Faults f;
    f.errorCommands.insert("+CGMM");
    SimLink link(Device(Model::I), f);
    ASSERT_TRUE(PortOpen(link.port));
    link.info.revision() = "untouched";
    EXPECT_TRUE(ModemIdentify(link.ctx, link.info, true, false, IdentifyVariant::PelixI));
    EXPECT_EQ(link.info.manufacturer(), "MOTOROLA");
    EXPECT_EQ(link.info.revision(), "untouched");
    EXPECT_EQ(link.Count("AT+GMR"), 0);
    EXPECT_EQ(link.Count("<FF>"), 1);
}

TEST(Identify, EchoedCommandsAreNotTakenForAnswers)
{
    sim::DeviceState st = Device(Model::I);
    st.echo = true;
    SimLink link(st);
    ASSERT_TRUE(PortOpen(link.port));
    EXPECT_TRUE(ModemIdentify(link.ctx, link.info, true, false, IdentifyVariant::PelixI));
    EXPECT_EQ(link.info.manufacturer(), "MOTOROLA");
    EXPECT_EQ(link.info.operatorName(), "PELIX NET");
}

TEST(Identify, CommandOkSkipsAnEchoThatSpellsOk)
{
    sim::DeviceState st = Device(Model::I);
    st.echo = true;
    sim::Faults f;
    f.errorCommands.insert("+CPBW");
    SimLink link(st, f);
    ASSERT_TRUE(PortOpen(link.port));
    ASSERT_TRUE(CtrlConnect(link.ctx, true));
    EXPECT_FALSE(ModemCommandOk(link.ctx, "AT+CPBW=101,\"0212\",,\"Cook\"\r"));
    EXPECT_TRUE(ModemCommandOk(link.ctx, "AT+CPBS=\"MT\"\r"));
}

TEST(Identify, PelixAModuleInItsOwnOrder)
{
    SimLink link(Device(Model::A));
    ASSERT_TRUE(PortOpen(link.port));
    EXPECT_TRUE(ModemIdentifyA(link.ctx, link.info));
    EXPECT_EQ(link.info.s[0], "PX35");
    EXPECT_EQ(link.info.s[1], "PELIX GSM");
    EXPECT_EQ(link.info.s[2], "REVISION 02.00");
    EXPECT_EQ(link.info.s[3], "351234567890123");
    EXPECT_EQ(link.info.s[4], "89390100001234567890");
}

TEST(Ussd, ShowsTheNetworkAnswerAndRefusesAnUnsafeCode)
{
    SimLink link(Device(Model::I));
    ASSERT_TRUE(PortOpen(link.port));
    EXPECT_TRUE(ModemUssd(link.ctx, true, false, "*123#"));
    ASSERT_EQ(link.fb.messages.size(), 1u);
    EXPECT_EQ(link.fb.messages[0].text, "\"Credit 10.00 EUR\",15");
    EXPECT_EQ(link.fb.messages[0].type, MsgType::Information);
    EXPECT_EQ(link.Count("AT+CUSD=1, \"*123#\""), 1);

    EXPECT_TRUE(ModemUssd(link.ctx, true, false, "*1\"\rAT+CPBW=1"));
    EXPECT_EQ(link.fb.messages.back().text, link.state.Text(164));
    EXPECT_EQ(link.Count("AT+CPBW"), 0);
    EXPECT_EQ(link.Count("AT+CUSD"), 1);
}
