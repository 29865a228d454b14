// Remote programming: the configuration of a PELIX-G or PELIX-I turned into
// configuration SMS ("#*" messages) and sent to a distant communicator through
// the GSM module of the device on the serial port.
#pragma once

#include "link/codec/sections.h"
#include "link/linkcontext.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace pelix {

constexpr int kPhoneBookLines = 99;
using PhoneBookLines = std::array<std::string, kPhoneBookLines>;

// Lines 01-99: the numbers in use, entry 95 the number of the receiving centre
// (NtelADT), 96-99 the digital-communicator numbers; unused entries below 95 are
// empty lines.
PhoneBookLines BuildPhoneBookLines(const Tag_GlobalBuffer& image, int model);

// "#*", the slot's letter ("a" for slot 0 ... "y" for 24), the text's length in
// three digits, "*", the text.
std::string SectionMessage(int slot, const std::string& text);
// "#*v", the length in three digits, "*", the phone-book line.
std::string PhoneBookMessage(const std::string& line);

// One configuration SMS; `checked` marks what is still to be sent.
struct RemoteMessage {
    std::string text;
    bool checked = true;
};
using RemoteMessages = std::vector<RemoteMessage>;

// Every message of the current configuration (the PELIX-G form when the current
// model is PELIX-G, the PELIX-I form otherwise): the non-empty slots, then all
// 99 phone-book lines. All checked.
RemoteMessages RemoteBuildAll(const ProgramState& st, const std::string& simIdentity, std::uint32_t nowUnix);

// Only the messages whose text differs from another configuration's. `loadOther`
// loads that configuration into st.image and st.cliente (after the image was
// reset to its defaults) and returns false when it cannot. The image and the
// header are the same afterwards as before, whatever happened. False when the
// other configuration could not be loaded (`out` is then empty).
bool RemoteBuildCompare(ProgramState& st, const std::string& simIdentity, std::uint32_t nowUnix,
                        const std::function<bool(ProgramState&)>& loadOther, RemoteMessages& out);

enum class RemoteSendResult {
    Sent,         // every checked message went out
    NoDevice,     // the local device or its controller did not answer (text 237)
    Failed,       // a prompt did not come or a message was refused (text 122)
    NotMotorola,  // the local module cannot send: nothing sent, nothing said
};

// Sends the checked messages in order to `destination` through the module of
// the attached device, unchecking each one once it is sent, so that after an
// interruption what remains is still checked. The progress display shows
// "SMS k / n"; the messages of the failures are shown through ctx.feedback.
// `afterEach`, when given, is called after each message sent (to keep a copy of
// what remains).
RemoteSendResult RemoteSend(LinkContext& ctx, const std::string& destination, RemoteMessages& messages,
                            const std::function<void(const RemoteMessages&)>& afterEach = {});

}  // namespace pelix
