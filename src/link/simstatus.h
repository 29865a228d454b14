// SIM status through the controller, and the unlock sequence behind the PIN
// dialogs of PELIX-I and PELIX-G. The dialogs themselves are windows; they are
// reached through PinDialogs so that this logic runs without them.
#pragma once

#include "link/exchange.h"

#include <functional>
#include <string>

namespace pelix {

enum class UnlockVariant { PelixI, PelixG };
// PELIX-I has both buttons; PELIX-G only the first.
enum class UnlockButton { PinAndSwitchOff /* Tag 10 */, PinOnly /* Tag 20 */ };
// The dialog's modal result; None leaves the dialog open.
enum class PinDialogResult { None, Ok, Abort, Cancel };

constexpr int kPinFieldMax = 6;
// The dialog's buttons are enabled when the field holds more than 3 characters.
bool PinButtonsEnabled(const std::string& field);

// The unlock dialog, shown modally. Its buttons call UnlockPressed and close the
// dialog with the result it returns (when not None).
class PinDialogs {
public:
    virtual ~PinDialogs() = default;
    virtual PinDialogResult ShowUnlockDialog(LinkContext& ctx, UnlockVariant variant) = 0;
};

// Asks the controller whether the SIM wants its PIN and only then shows the
// dialog. True when no PIN is wanted or the dialog closed with Ok. Opens the
// port (PortEnsureOpen) and closes it at the end.
bool SimCheck(LinkContext& ctx, UnlockVariant variant, PinDialogs& dialogs);

// "8" on an open port: true when the reply came and the not-ready bit is clear.
bool SimStatusQuery(LinkContext& ctx);

// What a button of the dialog does. `pinField` gives the field's text each time
// the PIN is needed.
PinDialogResult UnlockPressed(LinkContext& ctx, UnlockVariant variant, UnlockButton button,
                              const std::function<std::string()>& pinField);

}  // namespace pelix
