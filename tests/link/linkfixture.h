// Test fixtures of the link: a simulated device served on a pseudo-terminal by
// a thread of the test, or a bare pseudo-terminal whose other end the test
// writes itself, with a link context on the slave side. T is 1 ms and the
// time-outs are shortened so that a silent device costs little.
#pragma once

#include "link/exchange.h"
#include "sim/device.h"
#include "sim/ptyserver.h"

#include <memory>
#include <string>
#include <vector>

namespace pelix::test {

// Time-outs the tests run with: short, but generous for a loaded machine.
constexpr double kTestCharTimeout = 0.5;
constexpr int kTestSecondMs = 150;

struct LinkBench {
    explicit LinkBench(std::uint8_t model);
    RecordingFeedback fb;
    ProgramState state{fb};
    stRecPort port;
    stRecModemInfo info;
    LinkContext ctx{port, info, state, fb};
};

// A simulated device on a pseudo-terminal.
class SimLink : public LinkBench {
public:
    explicit SimLink(sim::DeviceState device, sim::Faults faults = {});
    ~SimLink();
    // The device's journal and state, read under the server's lock.
    std::vector<std::string> Journal();
    sim::DeviceState DeviceState();
    int Count(const std::string& entry);
    bool ThroughConnected();

    sim::Device device;
    sim::PtyServer server{device};
};

sim::DeviceState Device(sim::Model m, sim::Module mod = sim::Module::Motorola);

// A pseudo-terminal whose device end is the test: bytes written with Feed
// arrive at the port; Taken returns what the port sent.
class RawLine : public LinkBench {
public:
    explicit RawLine(std::uint8_t model = kModelI);
    ~RawLine();
    void Feed(const std::string& bytes);
    std::string Taken();

private:
    int master_ = -1;
    int slaveKeep_ = -1;
};

}  // namespace pelix::test
