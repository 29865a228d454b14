// The modem monitor of the PELIX-A: a worker that polls the attached module for
// signal and operator while a PELIX-A customer is selected, and the rules by
// which the window's small display shows what it found.
//
// The worker owns the port only for the length of one cycle and closes it at
// the end of every cycle. A command that wants the port sets the pause request;
// the worker then cuts its cycle short at the next read, closes the port and
// acknowledges with the paused flag. So a command never talks over a cycle: if
// the worker does not acknowledge in time, the command gives up instead.
#pragma once

#include "link/linkcontext.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace pelix {

// Result of the last cycle: 0 = signal and operator answered, 1 = the device
// was not quiet, 2 = the signal or the operator query got no answer.
struct MonitorResult {
    int status = 0;
    std::string signal;
    std::string op;
};

class ModemMonitor {
public:
    // `port` and `info` are the program's own records; the worker uses them only
    // between a start and the end of a pause or stop.
    ModemMonitor(stRecPort& port, stRecModemInfo& info, ProgramState& st);
    ~ModemMonitor();
    ModemMonitor(const ModemMonitor&) = delete;
    ModemMonitor& operator=(const ModemMonitor&) = delete;

    // Called on the worker thread after every cycle (the window posts itself an
    // event from here), and for a message the worker has for the user.
    std::function<void()> onCycle;
    std::function<void(const std::string&)> onMessage;

    // Per-character time-out and the length of one second for the worker's
    // limits; tests shorten both.
    double charTimeout = kCharTimeout;
    int secondMs = 1000;

    // Starts the worker (the caller has opened the port once to see that it can).
    void Start();
    // Clears the run flag and waits up to `seconds` for the worker to end,
    // calling `processEvents` meanwhile. False when it did not end in time; it is
    // then left to end by itself (it closes the port as it goes).
    bool Stop(const std::function<void()>& processEvents, int seconds = 10);
    // Asks the worker to pause and waits up to `seconds` for it; false when it
    // did not pause (the caller must then not use the port).
    bool Pause(const std::function<void()>& processEvents, int seconds = 10);
    void Resume();

    bool EverStarted() const { return everStarted_; }
    bool Ended() const { return ended_.load(); }
    MonitorResult Last() const;

private:
    enum class CycleEnd { Report, NoReport, Stop };
    void Run();
    CycleEnd Cycle(LinkContext& ctx, std::string& buffer);
    bool Stopping() const;

    stRecPort& port_;
    stRecModemInfo& info_;
    ProgramState& st_;
    std::thread worker_;
    bool everStarted_ = false;
    std::atomic<bool> ended_{true};
    mutable std::mutex mutex_;
    MonitorResult last_;
};

// What the display shows after a cycle.
struct MonitorDisplay {
    int bitmap = -1;           // -1 unchanged, 0 cleared, 1..10 "lcd-sign<n>.bmp"
    bool setLine2 = false;
    std::string line2;
    bool setLine3 = false;
    std::string line3;
    int devicePresent = -1;    // -1 unchanged, 0 cleared, 1 set
};

// The display step: `texts` gives the language texts, `line2` is the display's
// second line as it is now.
MonitorDisplay MonitorDisplayStep(const MonitorResult& r, const LanguageTexts& texts, const std::string& line2);

// The signal picture for a level: 1..10, 0 for "no usable signal" (32-99), -1 for
// a level that changes nothing.
int SignalBitmap(int level);

}  // namespace pelix
