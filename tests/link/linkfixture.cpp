#include "linkfixture.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace pelix::test {

LinkBench::LinkBench(std::uint8_t model)
{
    state.cliente.TipoCentrale = model;
    state.settings.TimeOut = 1;
    state.texts.SetLanguageFolder(SourceDataFolder() + QStringLiteral("/LANGUAGE/"));
    state.texts.LoadLanguage(QStringLiteral("English"), model == kModelG, fb);
    ctx.charTimeout = kTestCharTimeout;
    ctx.secondMs = kTestSecondMs;
}

namespace {

std::uint8_t ModelCode(sim::Model m) { return m == sim::Model::G ? kModelG : m == sim::Model::I ? kModelI : kModelA; }

}  // namespace

sim::DeviceState Device(sim::Model m, sim::Module mod) { return sim::DefaultState(m, mod); }

SimLink::SimLink(sim::DeviceState st, sim::Faults faults)
    : LinkBench(ModelCode(st.model)), device(std::move(st), std::move(faults))
{
    std::string error;
    if (!server.Open(&error)) ADD_FAILURE() << error;
    port.device = server.SlavePath();
    server.Start();
}

SimLink::~SimLink()
{
    PortClose(port);
    server.Stop();
}

std::vector<std::string> SimLink::Journal()
{
    std::lock_guard lock(server.mutex());
    return device.journal();
}

sim::DeviceState SimLink::DeviceState()
{
    std::lock_guard lock(server.mutex());
    return device.state();
}

int SimLink::Count(const std::string& entry)
{
    int n = 0;
    for (const auto& j : Journal())
        if (j.rfind(entry, 0) == 0) ++n;
    return n;
}

bool SimLink::ThroughConnected()
{
    std::lock_guard lock(server.mutex());
    return device.throughConnected();
}

RawLine::RawLine(std::uint8_t model) : LinkBench(model)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return;
    }
    char name[256];
    ::ptsname_r(master_, name, sizeof name);
    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct termios t {};
    ::tcgetattr(slaveKeep_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slaveKeep_, TCSANOW, &t);
    port.device = name;
    if (!PortOpen(port)) ADD_FAILURE() << "cannot open " << name;
}

RawLine::~RawLine()
{
    PortClose(port);
    if (slaveKeep_ >= 0) ::close(slaveKeep_);
    if (master_ >= 0) ::close(master_);
}

void RawLine::Feed(const std::string& bytes)
{
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    // Wait until the port has it all, so that a test never races the terminal.
    for (int i = 0; i < 200 && PortInQueue(port) < static_cast<int>(bytes.size()); ++i) ::usleep(5000);
}

std::string RawLine::Taken()
{
    std::string out;
    char buf[256];
    pollfd pfd{master_, POLLIN, 0};
    while (::poll(&pfd, 1, 100) > 0) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

}  // namespace pelix::test
