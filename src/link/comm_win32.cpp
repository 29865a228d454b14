// Serial port over the Win32 communications API.
#include "link/comm.h"

#include <chrono>
#include <thread>

namespace pelix {

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
    // COM10 and above need the device namespace; "COMn:" serves the rest.
    return "\\\\.\\COM" + std::to_string(port.port);
}

bool PortOpen(stRecPort& port)
{
    PortClose(port);
    const std::string path = PortDevicePath(port);
    if (path.empty()) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) {
        CloseHandle(h);
        return false;
    }
    // Binary, parity checking, transmit on after XOFF; no flow control, DTR and
    // RTS disabled, nothing replaced or stripped.
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
    if (port.baudIndex < std::size(kBaudRates)) dcb.BaudRate = static_cast<DWORD>(kBaudRates[port.baudIndex]);
    if (port.parityIndex <= 4) dcb.Parity = port.parityIndex;
    if (port.dataBitsIndex <= 4) dcb.ByteSize = static_cast<BYTE>(4 + port.dataBitsIndex);
    if (port.stopBitsIndex <= 2) dcb.StopBits = port.stopBitsIndex;
    if (!SetCommState(h, &dcb)) {
        CloseHandle(h);
        return false;
    }
    SetupComm(h, 1200, 1200);
    port.dcb = dcb;
    port.handle = h;
    return true;
}

void PortClose(stRecPort& port)
{
    if (!port.isOpen()) return;
    if (CloseHandle(port.handle)) port.handle = kPortClosed;
}

int PortInQueue(stRecPort& port)
{
    if (!port.isOpen()) return 0;
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(port.handle, &errors, &stat)) return 0;
    return static_cast<int>(stat.cbInQue);
}

void PortFlush(stRecPort& port)
{
    char buf[256];
    for (int n = PortInQueue(port); n > 0; n = PortInQueue(port)) {
        DWORD got = 0;
        const DWORD want = n < static_cast<int>(sizeof buf) ? static_cast<DWORD>(n) : sizeof buf;
        if (!ReadFile(port.handle, buf, want, &got, nullptr) || got == 0) return;
    }
}

void PortWrite(stRecPort& port, const void* bytes, std::uint16_t count)
{
    if (!port.isOpen()) return;
    DWORD written = 0;
    WriteFile(port.handle, bytes, count, &written, nullptr);
}

void PortRead(stRecPort& port, void* buffer, std::uint16_t count)
{
    if (!port.isOpen()) return;
    DWORD got = 0;
    ReadFile(port.handle, buffer, count, &got, nullptr);
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
        if (clock::now() - start > limit) return {};
        // The driver offers no wait that leaves the queue count alone; a short
        // sleep keeps the poll from spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (fb) fb->ProcessEvents();
    }
}

bool PortEnsureOpen(stRecPort& port, Feedback& fb, const std::string& openFailedText)
{
    if (!port.isOpen() && !PortOpen(port)) {
        ShowMsg(fb, openFailedText, MsgType::Warning, MsgButtons::Ok);
        return false;
    }
    EscapeCommFunction(port.handle, CLRDTR);
    return true;
}

}  // namespace pelix
