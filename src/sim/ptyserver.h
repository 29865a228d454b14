// Serves a simulated device on a pseudo-terminal: the program under test opens
// the terminal's slave side like any serial port.
#pragma once

#include "sim/device.h"

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace pelix::sim {

class PtyServer {
public:
    explicit PtyServer(Device& device);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pseudo-terminal. The slave side is set raw at once, so nothing
    // written before the client configures it is echoed back.
    bool Open(std::string* error = nullptr);
    const std::string& SlavePath() const { return slave_; }
    // Keeps a symbolic link at `path` to the slave side (replacing an old link).
    bool Link(const std::string& path, std::string* error = nullptr);

    // Handles what arrives within `timeoutMs`; false when the terminal failed.
    bool Serve(int timeoutMs);
    // Serves on a thread of its own until Stop().
    void Start();
    void Stop();

    // Called (under the lock) after every exchange that changed the state, and
    // with each received chunk and its answer (for the log).
    std::function<void(const DeviceState&)> onChange;
    std::function<void(const std::string& in, const std::string& out)> onTraffic;

    // Guards the device while the server thread runs.
    std::mutex& mutex() { return mutex_; }

private:
    Device& device_;
    int master_ = -1;
    int slaveKeep_ = -1;  // held open so the master never sees a hang-up between clients
    std::string slave_;
    std::string link_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

}  // namespace pelix::sim
