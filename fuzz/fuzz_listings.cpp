// Arbitrary replies to the phone-book and message listings of the
// second-generation read: the parsers must keep every index and text inside the
// image whatever the device sends. The bytes
// wait in a socket pair that stands for the serial line; with a character
// time-out of zero a listing ends when the bytes run dry, as on a silent line.
#include "link/secondgen_device.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

using namespace pelix;

namespace {

struct Bench {
    RecordingFeedback fb;
    ProgramState state{fb};
    stRecPort port;
    stRecModemInfo info;
    LinkContext ctx{port, info, state, fb};
    int device = -1;

    Bench()
    {
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sv) != 0) std::abort();
        port.handle = sv[0];
        device = sv[1];
        ctx.charTimeout = 0;
        ctx.secondMs = 1;
        state.settings.TimeOut = 0;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Bench b;
    if (size < 1 || size > 8192) return 0;
    const std::uint8_t mode = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    PortFlush(b.port);
    b.state.image = Tag_GlobalBuffer{};
    b.state.cliente.TipoCentrale = (mode & 0x10) ? kModelG : kModelI;

    stRecAgenda entry;
    (void)ParseAgendaLine(bytes, entry);

    if (!bytes.empty() && ::write(b.device, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return 0;
    std::vector<stRecAgenda> listing;
    std::vector<stSms> messages;
    if (mode % 4 < 3) {
        const StorageForm forms[3] = {StorageForm::PelixG, StorageForm::PelixIMotorola, StorageForm::PelixIEricsson};
        ReadPhoneBookListing(b.ctx, listing, forms[mode % 4]);
        if (listing.size() > kListingMax) std::abort();
        for (const stRecAgenda& e : listing) (void)FindDirectoryEntry(listing, e.Numero, true);
    } else {
        ReadMessageListing(b.ctx, messages);
        if (messages.size() > kListingMax) std::abort();
        std::string text;
        for (std::int32_t i = -1; i < 30; ++i)
            if (ListedMessageText(messages, i, text)) DecodeSlot(b.state.image, b.state.Model(), i, text);
    }
    return 0;
}
