// Serial port over POSIX termios. Works on real serial adapters and on
// pseudo-terminals (the simulator), which refuse some of the modem-line calls;
// those refusals are not errors.
#include "link/comm.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pelix {

namespace {

bool SpeedFor(int baud, speed_t& speed)
{
    switch (baud) {
    case 110: speed = B110; return true;
    case 300: speed = B300; return true;
    case 600: speed = B600; return true;
    case 1200: speed = B1200; return true;
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    default: return false;  // rates termios cannot express keep the driver's value
    }
}

void ApplyLineSettings(const stRecPort& port, struct termios& t)
{
    // Binary: no translation, no echo, no signals, no software or hardware flow
    // control, no replacement or stripping of any byte.
    t.c_iflag = 0;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    if (port.baudIndex < std::size(kBaudRates)) {
        speed_t speed;
        if (SpeedFor(kBaudRates[port.baudIndex], speed)) {
            cfsetispeed(&t, speed);
            cfsetospeed(&t, speed);
        }
    }
    if (port.parityIndex <= 4) {
        t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
        switch (port.parityIndex) {
        case 1: t.c_cflag |= PARENB | PARODD; break;
        case 2: t.c_cflag |= PARENB; break;
        case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case 4: t.c_cflag |= PARENB | CMSPAR; break;
        default: break;
        }
        if (port.parityIndex != 0) t.c_iflag |= INPCK;
    }
    // Index 0 would be 4 data bits, which no termios driver offers.
    if (port.dataBitsIndex >= 1 && port.dataBitsIndex <= 4) {
        static const tcflag_t sizes[] = {CS5, CS5, CS6, CS7, CS8};
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
        t.c_cflag |= sizes[port.dataBitsIndex];
    }
    if (port.stopBitsIndex <= 2) {
        // One and a half stop bits do not exist in termios; two is the nearest.
        if (port.stopBitsIndex == 0)
            t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
        else
            t.c_cflag |= CSTOPB;
    }
}

void LowerModemLines(int fd)
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIC, &lines);  // a pseudo-terminal has no modem lines
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

void PortLoadSettings(stRecPort& port, int localPort, QSettings& store)
{
    port = stRecPort{};
    port.port = localPort;
    const QVariant dev = store.value(QStringLiteral("Communication/Device%1").arg(localPort));
    if (dev.isValid()) port.device = dev.toString().toStdString();
}

std::string PortDevicePath(const stRecPort& port)
{
    if (!port.device.empty()) return port.device;
    if (port.port < 1) return {};
    const std::string n = std::to_string(port.port - 1);
    for (const char* prefix : {"/dev/ttyUSB", "/dev/ttyACM", "/dev/ttyS"}) {
        const std::string path = prefix + n;
        if (Exists(path)) return path;
    }
    return {};
}

bool PortOpen(stRecPort& port)
{
    PortClose(port);
    const std::string path = PortDevicePath(port);
    if (path.empty()) return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    if (::isatty(fd) != 1 || ::tcgetattr(fd, &port.dcb) != 0) {
        ::close(fd);
        return false;
    }
    struct termios t = port.dcb;
    ApplyLineSettings(port, t);
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        ::close(fd);
        return false;
    }
    port.dcb = t;
    // Not shared: a second opener is refused while we hold the line. An advisory
    // lock rather than the terminal's exclusive mode, because the lock ends with
    // the process, while exclusive mode would outlive a crash on a terminal that
    // someone else (the simulator) keeps open.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    LowerModemLines(fd);
    port.handle = fd;
    return true;
}

void PortClose(stRecPort& port)
{
    if (!port.isOpen()) return;
    // Linux releases the descriptor even when close() reports an error; keeping
    // the number would later close whatever else was given that number.
    (void)::close(port.handle);
    port.handle = kPortClosed;
}

int PortInQueue(stRecPort& port)
{
    if (!port.isOpen()) return 0;
    int n = 0;
    if (::ioctl(port.handle, FIONREAD, &n) != 0) return 0;
    return n > 0 ? n : 0;
}

void PortFlush(stRecPort& port)
{
    char buf[256];
    for (int n = PortInQueue(port); n > 0; n = PortInQueue(port)) {
        const std::size_t want = n < static_cast<int>(sizeof buf) ? static_cast<std::size_t>(n) : sizeof buf;
        if (::read(port.handle, buf, want) <= 0) return;
    }
}

void PortWrite(stRecPort& port, const void* bytes, std::uint16_t count)
{
    if (!port.isOpen()) return;
    const char* p = static_cast<const char*>(bytes);
    std::size_t left = count;
    while (left > 0) {
        const ssize_t n = ::write(port.handle, p, left);
        if (n > 0) {
            p += n;
            left -= static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            // The line is slower than we are: wait until the driver takes more.
            pollfd pfd{port.handle, POLLOUT, 0};
            if (::poll(&pfd, 1, 2000) <= 0) return;
        } else {
            return;
        }
    }
}

void PortRead(stRecPort& port, void* buffer, std::uint16_t count)
{
    if (!port.isOpen()) return;
    char* p = static_cast<char*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        const ssize_t n = ::read(port.handle, p, left);
        if (n > 0) {
            p += n;
            left -= static_cast<std::size_t>(n);
        } else if (!(n < 0 && errno == EINTR)) {
            return;  // callers ask only for counted bytes; never block here
        }
    }
}

std::string PortReadChar(stRecPort& port, double timeoutSeconds, Feedback* fb)
{
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto limit = std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        if (PortInQueue(port) > 0) {
            char c = 0;
            PortRead(port, &c, 1);
            return std::string(1, c);
        }
        const auto elapsed = clock::now() - start;
        if (elapsed > limit) return {};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limit - elapsed).count() + 1;
        const int slice = static_cast<int>(left < 50 ? left : 50);
        bool waited = false;
        if (port.isOpen()) {
            pollfd pfd{port.handle, POLLIN, 0};
            const int r = ::poll(&pfd, 1, slice);
            // A line that hung up reports at once without data: do not spin on it.
            waited = r == 0 || (r > 0 && (pfd.revents & POLLIN));
        }
        if (!waited) std::this_thread::sleep_for(std::chrono::milliseconds(slice));
        if (fb) fb->ProcessEvents();
    }
}

bool PortEnsureOpen(stRecPort& port, Feedback& fb, const std::string& openFailedText)
{
    if (!port.isOpen() && !PortOpen(port)) {
        ShowMsg(fb, openFailedText, MsgType::Warning, MsgButtons::Ok);
        return false;
    }
    int dtr = TIOCM_DTR;
    (void)::ioctl(port.handle, TIOCMBIC, &dtr);
    return true;
}

}  // namespace pelix
