// Arbitrary bytes from a device, through the line and byte readers and the
// reply parsers. The bytes wait in a socket pair that stands for the serial
// line; with a character time-out of zero a reader takes what is queued and
// stops when it runs dry, exactly as on a silent line.
#include "link/controller.h"
#include "link/exchange.h"
#include "link/identify.h"


#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

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

void Check(const std::string& line, std::size_t max)
{
    if (line.size() > max) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Bench b;
    if (size < 1 || size > 4096) return 0;
    const std::uint8_t mode = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::string bytes(text, size - 1);

    PortFlush(b.port);
    if (!bytes.empty() && ::write(b.device, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return 0;
    b.state.cliente.TipoCentrale = (mode & 0x40) ? kModelA : kModelI;
    std::string line;
    for (int guard = 0; PortInQueue(b.port) > 0 && guard < 5000; ++guard) {
        switch (mode % 6) {
        case 0: ModemReadLine(b.ctx, line); Check(line, kShortLineMax + 1); break;
        case 1: ModemReadLongLine(b.ctx, line); Check(line, kLongLineMax + 1); break;
        case 2: ModemReadRawLine(b.ctx, line); Check(line, kRawLineMax); break;
        case 3: ModemReadUntilOk(b.ctx, line); Check(line, kUntilOkMax + 1); break;
        default: {
            ReplyBytes buf;
            int received = 0;
            const int n = (mode >> 3) % 101;
            ModemReadBytes(b.ctx, buf, n, mode & 1, &received);
            if (received > n + 1) std::abort();
            (void)BytesToText(buf, 0, n + 1);
            break;
        }
        }
    }
    std::vector<std::string> lines;
    SplitReplyLines(bytes, lines);
    const std::string maker = IdManufacturer(bytes);
    (void)IdModel(bytes, maker);
    (void)IdModel(bytes, "MOTOROLA");
    (void)IdQuoted(bytes, true);
    (void)IdSimData(bytes, true);
    (void)IdOperator(bytes);
    double v = 0;
    (void)LeadingReleaseNumber(bytes, v);
    return 0;
}
