#include "link/simstatus.h"

#include "link/controller.h"

namespace pelix {

namespace {

constexpr std::uint8_t kPinRequestedBit = 0x01;  // status byte 2, bit 0
constexpr std::uint8_t kNotReadyBit = 0x02;      // status byte 2, bit 1

bool ReadSimStatus(LinkContext& ctx, ReplyBytes& b)
{
    ModemSend(ctx, std::string(1, kCtrlSimStatus));
    return ModemReadBytes(ctx, b, 3, true);
}

// A SIM PIN is digits only. Anything else would be sent inside a quoted AT
// argument, where a quote or a line end would smuggle in another command.
bool IsPin(const std::string& pin)
{
    if (pin.empty()) return false;
    for (char c : pin)
        if (c < '0' || c > '9') return false;
    return true;
}

void GiveLineBack(LinkContext& ctx)
{
    WaitT(ctx, 2);
    ModemSend(ctx, std::string(1, kCtrlReleaseLine));
    WaitT(ctx, 2);
    (void)PortReadChar(ctx.port, ctx.charTimeout, &ctx.feedback);
}

}  // namespace

bool PinButtonsEnabled(const std::string& field) { return field.size() > 3; }

bool SimCheck(LinkContext& ctx, UnlockVariant variant, PinDialogs& dialogs)
{
    if (!PortEnsureOpen(ctx.port, ctx.feedback, ctx.Text(119))) return false;
    if (variant == UnlockVariant::PelixG) PortFlush(ctx.port);
    ReplyBytes b;
    bool result = false;
    if (ReadSimStatus(ctx, b)) {
        if ((b[1] & kPinRequestedBit) == 0)
            result = true;
        else
            result = dialogs.ShowUnlockDialog(ctx, variant) == PinDialogResult::Ok;
    }
    PortClose(ctx.port);
    return result;
}

bool SimStatusQuery(LinkContext& ctx)
{
    ReplyBytes b;
    return ReadSimStatus(ctx, b) && (b[1] & kNotReadyBit) == 0;
}

PinDialogResult UnlockPressed(LinkContext& ctx, UnlockVariant variant, UnlockButton button,
                              const std::function<std::string()>& pinField)
{
    BusyScope busy(ctx.feedback);
    PinDialogResult result = PinDialogResult::None;
    const auto refused = [&] { ShowMsg(ctx.feedback, ctx.Text(234), MsgType::Warning, MsgButtons::Ok); };

    ModemSend(ctx, std::string(1, kCtrlReady));
    ReplyBytes b;
    if (!ModemReadBytes(ctx, b, 3, true) || BytesToText(b, 0, 3) != "PRG") {
        result = PinDialogResult::Abort;
    } else {
        ModemSend(ctx, std::string(1, kCtrlConnectRead));
        if (PortReadChar(ctx.port, ctx.charTimeout, &ctx.feedback) == std::string(1, kCtrlConnected)) {
            const std::string pin = TrimSpaces(pinField());
            if (!IsPin(pin) || !ModemCommandOk(ctx, "AT+CPIN=\"" + pin + "\"\r")) {
                refused();
                result = PinDialogResult::Abort;
            } else if (variant == UnlockVariant::PelixI && button == UnlockButton::PinOnly) {
                result = PinDialogResult::Ok;
            } else {
                WaitT(ctx, 10);
                for (int attempt = 0; attempt < 3 && result != PinDialogResult::Ok; ++attempt) {
                    WaitT(ctx, 10);
                    const std::string again = TrimSpaces(pinField());
                    if (IsPin(again) && ModemCommandOk(ctx, "AT+CLCK=\"SC\",0,\"" + again + "\"\r"))
                        result = PinDialogResult::Ok;
                }
                // The PIN itself was taken; the dialog stays open for another try.
                if (result != PinDialogResult::Ok) refused();
            }
        }
        GiveLineBack(ctx);
    }
    if (variant == UnlockVariant::PelixI) WaitFixed(ctx, 10000);
    return result;
}

}  // namespace pelix
