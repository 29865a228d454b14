// pelixsim as a program: options, the link to its terminal, the state file it
// keeps up to date and its log.
#include "sim/device.h"

#include "support/testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace pelix::test;

namespace {

// The other end of the line: plain POSIX, so this test needs nothing of the tool.
std::string Exchange(int fd, const std::string& bytes, const std::string& until, std::size_t atLeast = 0)
{
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return {};
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((got.size() < atLeast || got.find(until) == std::string::npos) && std::chrono::steady_clock::now() < end) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 100) > 0) {
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        }
    }
    return got;
}

}  // namespace

TEST(Pelixsim, ServesItsLinkAndKeepsItsStateFile)
{
    TempFolder tmp;
    QProcess sim;
    sim.start(QStringLiteral(PELIX_PROGRAM_DIR "/pelixsim"),
              {"--model", "I", "--module", "ericsson", "--pin-locked", "--error", "at+cusd", "--link",
               tmp.file("port"), "--state", tmp.file("state.json"), "--log", tmp.file("log.txt")});
    ASSERT_TRUE(sim.waitForStarted(10000));
    ASSERT_TRUE(sim.waitForReadyRead(10000));
    const QByteArray pty = sim.readAllStandardOutput().trimmed();
    EXPECT_TRUE(pty.startsWith("/dev/pts/")) << pty.constData();
    EXPECT_EQ(QFile::symLinkTarget(tmp.file("port")), QString::fromLatin1(pty));

    const int fd = ::open(tmp.file("port").toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    struct termios t {};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);

    const std::string status = Exchange(fd, "8", "", 4);
    ASSERT_EQ(status.size(), 4u);
    EXPECT_EQ(status[1], '\x01');  // the SIM asks for its PIN
    EXPECT_EQ(Exchange(fd, "\xCC", "\xFE"), "\xFE");
    EXPECT_EQ(Exchange(fd, "AT+CPBW=3,\"0212\",,\"Anna\"\r", "\r\n+CME ERROR: 11\r\n"), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(Exchange(fd, "AT+CPIN=\"1234\"\r", "OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(Exchange(fd, "AT+CPBW=3,\"0212\",,\"Anna\"\r", "OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(Exchange(fd, "AT+CUSD=1,\"*123#\"\r", "ERROR\r\n"), "\r\nERROR\r\n");
    ::close(fd);

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_FALSE(QFileInfo::exists(tmp.file("port")) || QFileInfo(tmp.file("port")).isSymLink());

    pelix::sim::DeviceState st;
    ASSERT_TRUE(pelix::sim::LoadStateFile(tmp.file("state.json"), st, nullptr));
    EXPECT_EQ(st.module, pelix::sim::Module::Ericsson);
    EXPECT_FALSE(st.pinRequired);
    EXPECT_TRUE(st.pinEnabled);
    EXPECT_EQ(st.phoneBooks["SM"].entries[3].text, "Anna");
    EXPECT_TRUE(tmp.read("log.txt").contains("<< AT+CPIN=\"1234\"<0D>"));
}

TEST(Pelixsim, RefusesAMissingModel)
{
    QProcess sim;
    sim.start(QStringLiteral(PELIX_PROGRAM_DIR "/pelixsim"), {"--link", "/tmp/x", "--state", "/tmp/y"});
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 2);
}
