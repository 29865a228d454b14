// The serial port: one record per port, opened with fixed line settings, read a
// byte at a time with a bounded wait. Knows nothing of AT commands or lines.
//
// POSIX (termios) and Win32 implementations live in files of their own; callers
// see only these operations.
#pragma once

#include "common/feedback.h"

#include <cstdint>
#include <string>

#include <QSettings>

#ifdef _WIN32
#include <windows.h>
#else
#include <termios.h>
#endif

namespace pelix {

#ifdef _WIN32
using PortHandle = HANDLE;
inline const PortHandle kPortClosed = INVALID_HANDLE_VALUE;
using PortControlBlock = DCB;
#else
using PortHandle = int;
constexpr PortHandle kPortClosed = -1;
using PortControlBlock = struct termios;
#endif

// The baud-rate table the indexes refer to (index 6 = 9600).
constexpr int kBaudRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 128000, 256000};

struct stRecPort {
    std::int32_t port = 1;            // COM1..COM4
    PortHandle handle = kPortClosed;  // kPortClosed when closed
    std::uint8_t baudIndex = 6;       // 9600
    std::uint8_t parityIndex = 0;     // none, odd, even, mark, space
    std::uint8_t dataBitsIndex = 4;   // 4..8 bits -> 8 bits
    std::uint8_t stopBitsIndex = 0;   // one, one and a half, two
    PortControlBlock dcb{};           // as read from the driver and rewritten on open

    // The device that stands for "COM<port>" on this system. Empty: derived from
    // the port number when the port is opened (see PortDevicePath).
    std::string device;

    bool isOpen() const { return handle != kPortClosed; }
};

// Fills the record as the settings loader does: port number from LocalPort,
// 9600 8N1, closed, and the device from "Communication/Device<n>" when the
// settings name one.
void PortLoadSettings(stRecPort& port, int localPort, QSettings& store);

// The device opened for the record: its own `device` when set, else the first
// that exists of /dev/ttyUSB<n-1>, /dev/ttyACM<n-1>, /dev/ttyS<n-1> (on Windows
// "COM<n>:"). Empty when none exists.
std::string PortDevicePath(const stRecPort& port);

bool PortOpen(stRecPort& port);
void PortClose(stRecPort& port);
int PortInQueue(stRecPort& port);
void PortFlush(stRecPort& port);
void PortWrite(stRecPort& port, const void* bytes, std::uint16_t count);
void PortRead(stRecPort& port, void* buffer, std::uint16_t count);

// Waits up to `timeoutSeconds` for one byte and returns it as a one-character
// string, or the empty string when none came. Returns as soon as a byte is
// there. `fb`, when given, is asked to process events at least every 50 ms so a
// window stays responsive through the wait.
std::string PortReadChar(stRecPort& port, double timeoutSeconds, Feedback* fb = nullptr);

// Opens a closed record; when that fails shows `openFailedText` (language text
// 119) as a warning and returns false. Then clears DTR in every case.
bool PortEnsureOpen(stRecPort& port, Feedback& fb, const std::string& openFailedText);

}  // namespace pelix
