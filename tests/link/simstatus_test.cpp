// SIM status and the unlock sequence of both PIN dialogs, against the simulated
// device. The dialog is a script here: it presses a button with a PIN until the
// sequence gives it a result.
#include "linkfixture.h"

#include "link/simstatus.h"

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;
using sim::Model;

namespace {

struct ScriptedDialog : PinDialogs {
    UnlockButton button = UnlockButton::PinAndSwitchOff;
    std::vector<std::string> pins;  // one per press
    int shown = 0;
    int presses = 0;
    PinDialogResult ShowUnlockDialog(LinkContext& ctx, UnlockVariant variant) override
    {
        ++shown;
        for (const std::string& pin : pins) {
            ++presses;
            const auto r = UnlockPressed(ctx, variant, button, [&] { return pin; });
            if (r != PinDialogResult::None) return r;
        }
        return PinDialogResult::Cancel;  // the user closed the dialog
    }
};

sim::DeviceState Locked(Model m)
{
    sim::DeviceState st = Device(m);
    st.pinEnabled = st.pinRequired = true;
    return st;
}

}  // namespace

TEST(SimCheck, NoPinRequestNoDialog)
{
    for (Model m : {Model::I, Model::G}) {
        SimLink link(Device(m));
        ScriptedDialog dialog;
        EXPECT_TRUE(SimCheck(link.ctx, m == Model::G ? UnlockVariant::PelixG : UnlockVariant::PelixI, dialog));
        EXPECT_EQ(dialog.shown, 0);
        EXPECT_FALSE(link.port.isOpen());
        EXPECT_EQ(link.Journal(), std::vector<std::string>{"<38>"});
    }
}

TEST(SimCheck, NoStatusReplyIsFalseWithoutAMessage)
{
    sim::Faults bad;
    bad.badChecksum = true;
    SimLink link(Locked(Model::I), bad);
    ScriptedDialog dialog;
    EXPECT_FALSE(SimCheck(link.ctx, UnlockVariant::PelixI, dialog));
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_TRUE(link.fb.messages.empty());
}

TEST(Unlock, PinOnlyButtonOfPelixISendsNoClck)
{
    SimLink link(Locked(Model::I));
    ScriptedDialog dialog;
    dialog.button = UnlockButton::PinOnly;
    dialog.pins = {" 1234 "};  // typed with blanks: sent without them
    EXPECT_TRUE(SimCheck(link.ctx, UnlockVariant::PelixI, dialog));
    EXPECT_EQ(dialog.shown, 1);
    const auto st = link.DeviceState();
    EXPECT_FALSE(st.pinRequired);
    EXPECT_TRUE(st.pinEnabled);
    EXPECT_EQ(link.Count("AT+CPIN=\"1234\""), 1);
    EXPECT_EQ(link.Count("AT+CLCK"), 0);
    // The line went back to the controller.
    EXPECT_EQ(link.Journal().back(), "<FF>");
    EXPECT_TRUE(link.fb.messages.empty());
}

TEST(Unlock, PinAndSwitchOffOnBothModels)
{
    for (Model m : {Model::I, Model::G}) {
        SimLink link(Locked(m));
        ScriptedDialog dialog;
        dialog.pins = {"1234"};
        EXPECT_TRUE(SimCheck(link.ctx, m == Model::G ? UnlockVariant::PelixG : UnlockVariant::PelixI, dialog));
        const auto st = link.DeviceState();
        EXPECT_FALSE(st.pinRequired);
        EXPECT_FALSE(st.pinEnabled);
        EXPECT_EQ(link.Count("AT+CLCK=\"SC\",0,\"1234\""), 1);
        EXPECT_EQ(link.fb.busyDepth, 0);
    }
}

TEST(Unlock, SwitchOffRefusedThreeTimesKeepsTheDialogOpen)
{
    sim::Faults f;
    f.errorCommands.insert("+CLCK");
    SimLink link(Locked(Model::G), f);
    ScriptedDialog dialog;
    dialog.pins = {"1234"};
    EXPECT_FALSE(SimCheck(link.ctx, UnlockVariant::PelixG, dialog));  // closed by the user afterwards
    EXPECT_EQ(link.Count("AT+CLCK"), 3);
    EXPECT_EQ(link.fb.messages.size(), 1u);
    EXPECT_EQ(link.fb.messages[0].text, link.state.Text(234));
    EXPECT_FALSE(link.DeviceState().pinRequired);  // the PIN itself was taken
    EXPECT_EQ(link.Journal().back(), "<FF>");
}

TEST(Unlock, WrongOrUnsafePinAborts)
{
    for (const std::string pin : {"9999", "12\"\r"}) {
        SimLink link(Locked(Model::I));
        ScriptedDialog dialog;
        dialog.button = UnlockButton::PinOnly;
        dialog.pins = {pin, "1234"};
        EXPECT_FALSE(SimCheck(link.ctx, UnlockVariant::PelixI, dialog));
        EXPECT_EQ(dialog.presses, 1);
        EXPECT_TRUE(link.fb.Said(link.state.Text(234)));
        EXPECT_TRUE(link.DeviceState().pinRequired);
        EXPECT_EQ(link.Count("AT+CPIN"), pin == "9999" ? 1 : 0);
    }
}

TEST(Unlock, ControllerNotAnsweringPrgAbortsWithoutMessage)
{
    SimLink link(Locked(Model::G));
    ASSERT_TRUE(PortOpen(link.port));
    {
        std::lock_guard lock(link.server.mutex());
        link.device.faults().badChecksum = true;
    }
    EXPECT_EQ(UnlockPressed(link.ctx, UnlockVariant::PelixG, UnlockButton::PinAndSwitchOff, [] { return "1234"; }),
              PinDialogResult::Abort);
    EXPECT_TRUE(link.fb.messages.empty());
    EXPECT_EQ(link.Journal(), std::vector<std::string>{"<3F>"});
}

TEST(SimStatus, NotReadyBitMakesTheQueryFalse)
{
    sim::DeviceState st = Device(Model::I);
    {
        SimLink link(st);
        ASSERT_TRUE(PortOpen(link.port));
        EXPECT_TRUE(SimStatusQuery(link.ctx));
        EXPECT_TRUE(link.port.isOpen());
    }
    st.notReady = true;
    SimLink link(st);
    ASSERT_TRUE(PortOpen(link.port));
    EXPECT_FALSE(SimStatusQuery(link.ctx));
}

TEST(SimStatus, ButtonsNeedMoreThanThreeCharacters)
{
    EXPECT_FALSE(PinButtonsEnabled("123"));
    EXPECT_TRUE(PinButtonsEnabled("1234"));
    EXPECT_EQ(kPinFieldMax, 6);
}
