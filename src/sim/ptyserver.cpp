#include "sim/ptyserver.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace pelix::sim {

PtyServer::PtyServer(Device& device) : device_(device) {}

PtyServer::~PtyServer()
{
    Stop();
    if (!link_.empty()) ::unlink(link_.c_str());
    if (slaveKeep_ >= 0) ::close(slaveKeep_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::Open(std::string* error)
{
    const auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("unlockpt");
    char name[256];
    if (::ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
    slave_ = name;
    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeep_ < 0) return fail("open slave");
    struct termios t {};
    if (::tcgetattr(slaveKeep_, &t) != 0) return fail("tcgetattr");
    ::cfmakeraw(&t);
    if (::tcsetattr(slaveKeep_, TCSANOW, &t) != 0) return fail("tcsetattr");
    return true;
}

bool PtyServer::Link(const std::string& path, std::string* error)
{
    ::unlink(path.c_str());
    if (::symlink(slave_.c_str(), path.c_str()) != 0) {
        if (error) *error = "symlink " + path + ": " + std::strerror(errno);
        return false;
    }
    link_ = path;
    return true;
}

bool PtyServer::Serve(int timeoutMs)
{
    pollfd pfd{master_, POLLIN, 0};
    const int r = ::poll(&pfd, 1, timeoutMs);
    if (r < 0) return errno == EINTR;
    if (r == 0) return true;
    if (!(pfd.revents & POLLIN)) return !(pfd.revents & (POLLERR | POLLNVAL));
    char buf[512];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) return n < 0 && (errno == EINTR || errno == EAGAIN || errno == EIO);
    std::string out;
    {
        std::lock_guard lock(mutex_);
        const std::string in(buf, static_cast<std::size_t>(n));
        out = device_.Receive(in);
        if (onTraffic) onTraffic(in, out);
        if (device_.TakeDirty() && onChange) onChange(device_.state());
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t w = ::write(master_, out.data() + done, out.size() - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
        } else if (w < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
    }
    return true;
}

void PtyServer::Start()
{
    stop_ = false;
    thread_ = std::thread([this] {
        while (!stop_.load())
            if (!Serve(20)) break;
    });
}

void PtyServer::Stop()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace pelix::sim
