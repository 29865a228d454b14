// The serial port on a pseudo-terminal: line settings, the bounded wait for a
// byte, and a port that cannot be opened.
#include "linkfixture.h"

#include "support/testsupport.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <chrono>

using namespace pelix;
using namespace pelix::test;

TEST(Port, OpensAt9600EightDataBitsNoParityOneStopBit)
{
    RawLine line;
    ASSERT_TRUE(line.port.isOpen());
    struct termios t {};
    ASSERT_EQ(::tcgetattr(line.port.handle, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    // The line is not shared while it is open.
    stRecPort second;
    second.device = line.port.device;
    EXPECT_FALSE(PortOpen(second));
    PortClose(line.port);
    EXPECT_FALSE(line.port.isOpen());
    EXPECT_EQ(PortInQueue(line.port), 0);
    EXPECT_TRUE(PortOpen(second));
    PortClose(second);
}

TEST(Port, MissingDeviceFailsOnceWithText119AndStaysClosed)
{
    LinkBench bench(kModelI);
    bench.port.device = "/dev/pelix-no-such-port";
    EXPECT_FALSE(PortOpen(bench.port));
    EXPECT_FALSE(bench.port.isOpen());
    EXPECT_FALSE(PortEnsureOpen(bench.port, bench.fb, bench.state.Text(119)));
    ASSERT_EQ(bench.fb.messages.size(), 1u);
    EXPECT_EQ(bench.fb.messages[0].text, bench.state.Text(119));
    EXPECT_EQ(bench.fb.messages[0].type, MsgType::Warning);
}

TEST(Port, DeviceComesFromTheSettingOrTheUsualNames)
{
    TempFolder tmp;
    QSettings store(tmp.file("p.ini"), QSettings::IniFormat);
    store.setValue("Communication/Device3", "/dev/pelix-three");
    stRecPort port;
    PortLoadSettings(port, 3, store);
    EXPECT_EQ(port.port, 3);
    EXPECT_EQ(port.baudIndex, 6);
    EXPECT_EQ(PortDevicePath(port), "/dev/pelix-three");
    PortLoadSettings(port, 200, store);  // no ttyUSB199, ttyACM199 or ttyS199 here
    EXPECT_EQ(PortDevicePath(port), "");
    EXPECT_FALSE(PortOpen(port));
}

TEST(Port, ReadCharReturnsAWaitingByteAtOnceAndWaitsOutSilence)
{
    using clock = std::chrono::steady_clock;
    RawLine line;
    line.Feed("K");
    auto start = clock::now();
    EXPECT_EQ(PortReadChar(line.port, 5.0, &line.fb), "K");
    EXPECT_LT(clock::now() - start, std::chrono::seconds(1));

    start = clock::now();
    EXPECT_EQ(PortReadChar(line.port, 0.3, &line.fb), "");
    const auto waited = clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(3));
    // The window was kept alive through the wait.
    EXPECT_GE(line.fb.processEventsCalls, 3);

    line.Feed("abc");
    PortFlush(line.port);
    EXPECT_EQ(PortInQueue(line.port), 0);
    PortFlush(line.port);  // an empty queue: nothing to read, nothing blocks
}
