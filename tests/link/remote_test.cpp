// Remote programming: the message texts, building all or only what differs,
// and sending through the attached device's module.
#include "devicefixture.h"

#include "link/remote.h"
#include "model/imageinit.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace pelix;
using namespace pelix::test;
using sim::Model;
using sim::Module;

namespace {

TEST(RemoteTexts, PhoneBookLinesAndMessageFormats)
{
    LinkBench b(kModelI);
    InitImage(b.state, b.state.image, false);
    Tag_GlobalBuffer& img = b.state.image;
    img.NumTel[2].Numero = "0212345678";
    img.NumTel[2].Descrizione = "Office";
    img.NumTel[94].Numero = "999";  // replaced by the centre's number
    img.Opzioni.NtelADT = "0612345678";
    img.ComDig.Numero1 = "0498765432";
    const PhoneBookLines lines = BuildPhoneBookLines(img, kModelI);
    EXPECT_EQ(lines[0], "01");
    EXPECT_EQ(lines[2], "03,\"0212345678\",,\"Office\"");
    EXPECT_EQ(lines[94], "95,\"0612345678\",,\"ADT\"");
    EXPECT_EQ(lines[95], "96,\"0498765432\",,\"CONTACT ID 1\"");
    EXPECT_EQ(lines[96], "97");

    EXPECT_EQ(PhoneBookMessage(lines[2]), "#*v025*03,\"0212345678\",,\"Office\"");
    EXPECT_EQ(PhoneBookMessage(""), "#*v000*");
    EXPECT_EQ(SectionMessage(1, std::string(87, 'x')), "#*b087*" + std::string(87, 'x'));
    EXPECT_EQ(SectionMessage(24, "T"), "#*y001*T");

    // A model with fewer entries in use leaves the lines up to 94 empty.
    const PhoneBookLines few = BuildPhoneBookLines(img, kModelA);
    EXPECT_EQ(few[7], "08");
    EXPECT_EQ(few[8], "");
    EXPECT_EQ(few[93], "");
}

TEST(RemoteBuild, AllModeSendsEverySlotAndEveryLine)
{
    LinkBench b(kModelG);
    FillRichImage(b.state);
    const RemoteMessages all = RemoteBuildAll(b.state, std::string(21, '0'), 1'800'000'000);
    const TSMSSlots s = BuildSections(b.state.image, kModelG, std::string(21, '0'), 1'800'000'000);
    std::size_t nonEmpty = 0;
    for (const TSMS& t : s) nonEmpty += t.Testo.empty() ? 0 : 1;
    ASSERT_EQ(all.size(), nonEmpty + kPhoneBookLines);
    EXPECT_EQ(all[0].text, SectionMessage(0, s[0].Testo));
    EXPECT_EQ(all.back().text, "#*v002*99");
    for (const RemoteMessage& m : all) EXPECT_TRUE(m.checked);
}

TEST(RemoteBuild, CompareModeSendsOnlyDifferencesAndRestoresTheCurrentConfiguration)
{
    LinkBench b(kModelI);
    FillRichImage(b.state);
    b.state.cliente.Nome = "Current customer";
    const Tag_GlobalBuffer image = b.state.image;
    const Tag_Cliente header = b.state.cliente;
    const auto loadSame = [&](ProgramState& st) {
        st.image = image;
        st.cliente.Nome = "Other customer";
        return true;
    };
    RemoteMessages out;
    ASSERT_TRUE(RemoteBuildCompare(b.state, "", 1'800'000'000, loadSame, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(b.state.image == image);
    EXPECT_TRUE(b.state.cliente == header);

    const auto loadChanged = [&](ProgramState& st) {
        st.image = image;
        st.image.NumTel[2].Numero = "111";
        st.image.Ingresso[0].SMSAttiv = "Old text";
        return true;
    };
    ASSERT_TRUE(RemoteBuildCompare(b.state, "", 1'800'000'000, loadChanged, out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].text, SectionMessage(4, "Alarm on input 1"));
    EXPECT_EQ(out[1].text, PhoneBookMessage(BuildPhoneBookLines(image, kModelI)[2]));

    // Also when loading fails or throws.
    const auto fails = [](ProgramState& st) {
        st.image.NumTel[0].Numero = "changed";
        return false;
    };
    EXPECT_FALSE(RemoteBuildCompare(b.state, "", 0, fails, out));
    const auto throws = [](ProgramState& st) -> bool {
        st.cliente.Nome = "changed";
        throw std::runtime_error("database gone");
    };
    EXPECT_THROW(RemoteBuildCompare(b.state, "", 0, throws, out), std::runtime_error);
    EXPECT_TRUE(b.state.image == image);
    EXPECT_TRUE(b.state.cliente == header);
}

RemoteMessages ThreeMessages()
{
    return {{"#*a003*one", true}, {"#*b003*two", true}, {"#*v002*03", true}, {"#*v002*04", false}};
}

TEST(RemoteSend, AnInterruptedSendKeepsWhatRemainsAndASecondSendSendsOnlyThat)
{
    sim::Faults f;
    f.errorContaining = {"#*b003*two"};
    DeviceBench b(Device(Model::G), f);
    RemoteMessages list = ThreeMessages();
    EXPECT_EQ(RemoteSend(b.ctx, "+393330001111", list), RemoteSendResult::Failed);
    EXPECT_TRUE(b.fb.Said(b.state.Text(122)));
    EXPECT_EQ(b.fb.progressCaptions, (std::vector<std::string>{"SMS 0 / 3", "SMS 1 / 3", "ERROR!"}));
    EXPECT_FALSE(list[0].checked);
    EXPECT_TRUE(list[1].checked && list[2].checked);
    EXPECT_FALSE(list[3].checked);
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_FALSE(b.ThroughConnected());

    {
        std::lock_guard lock(b.server.mutex());
        b.device.faults().errorContaining.clear();
    }
    b.fb.progressCaptions.clear();
    EXPECT_EQ(RemoteSend(b.ctx, "+393330001111", list), RemoteSendResult::Sent);
    for (const RemoteMessage& m : list) EXPECT_FALSE(m.checked);
    EXPECT_EQ(b.fb.progressCaptions.back(), "SMS 2 / 2");
    const auto sent = b.DeviceState().sent;
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].text, "#*a003*one");
    EXPECT_EQ(sent[1].text, "#*b003*two");
    EXPECT_EQ(sent[2].text, "#*v002*03");
    EXPECT_EQ(sent[2].number, "+393330001111");
}

TEST(RemoteSend, OnlyAMotorolaModuleSendsAndTheNumberCannotEndTheCommand)
{
    DeviceBench ericsson(Device(Model::I, Module::Ericsson));
    RemoteMessages list = ThreeMessages();
    EXPECT_EQ(RemoteSend(ericsson.ctx, "123", list), RemoteSendResult::NotMotorola);
    EXPECT_TRUE(ericsson.fb.messages.empty());
    EXPECT_TRUE(list[0].checked);
    EXPECT_TRUE(ericsson.DeviceState().sent.empty());

    sim::Faults quiet;
    quiet.silent = true;
    DeviceBench silent(Device(Model::G), quiet);
    EXPECT_EQ(RemoteSend(silent.ctx, "123", list), RemoteSendResult::NoDevice);
    EXPECT_TRUE(silent.fb.Said(silent.state.Text(237)));

    DeviceBench b(Device(Model::G));
    list = {{"#*a001*x", true}};
    EXPECT_EQ(RemoteSend(b.ctx, "12\"3\r\nAT+CMGD=1,4", list), RemoteSendResult::Sent);
    const auto sent = b.DeviceState().sent;
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].number, "123AT+CMGD=1,4");
    EXPECT_EQ(b.Count("AT+CMGD"), 0);
}

}  // namespace
