// Arbitrary bytes on the simulated device's line: controller commands, AT
// command lines and message prompts in any order.
#include "sim/device.h"

#include <cstdint>
#include <string>

using namespace pelix::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const Model model = data[0] % 3 == 0 ? Model::G : data[0] % 3 == 1 ? Model::I : Model::A;
    DeviceState st = DefaultState(model, (data[0] & 4) ? Module::Ericsson : Module::Motorola);
    st.echo = data[0] & 8;
    Device d(st, {});
    // Fed in pieces, as a line delivers them.
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t at = 0; at < bytes.size(); at += 7) (void)d.Receive(bytes.substr(at, 7));
    (void)StateToJson(d.state());
    return 0;
}
