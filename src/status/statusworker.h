// The live monitor of a PELIX-I or PELIX-G status page: a worker thread that
// polls the controller with one-byte commands and tells its window what
// changed through numbered codes. No widget is reached from here; the window
// reads the live values under the shared lock when a code arrives.
//
// Stopping and pausing are prompt: every wait of an exchange passes through
// the worker's Feedback, which abandons the exchange as soon as a stop or a
// pause is asked for. So leaving the page never waits for a silent device,
// and the PIN dialog never talks to the controller while the worker does.
#pragma once

#include "link/linkcontext.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace pelix {

enum class StatoVariant { PelixI, PelixG };

// Codes the worker posts to its window (the second value is the parameter).
enum StatusCode : int {
    kCodeStatusPicture = 3,  // parameter: 0 well, 1 a query failed, 2 warning, 3 not ready
    kCodeRelease = 5,        // parameter: 0 accepted, 1 not accepted
    kCodeDisplay = 6,        // warnings grid and device display
    kCodeOutputs = 7,
    kCodeInputs = 8,
    kCodeIdentity = 9,       // parameter: 0 identified, 1 not
    kCodeAnimation = 10,
    kCodeDates = 11,
    kCodeHint = 12,
    kCodeWarningsG = 13,
    kCodePinWanted = 20,     // the controller asks for the SIM PIN: start the PIN timer
    kCodeCommandDone = 21,   // a queued command ran (the G page gives the tree back)
    kCodeEnded = 22,         // the worker has ended
};

// What the worker has read, cleared at the start of the monitor.
struct LiveValues {
    std::uint8_t signal = 0;
    std::uint8_t warnings = 0;
    std::uint8_t extraWarnings = 0;
    std::uint8_t supply = 0;
    std::uint8_t inputsL = 0;
    std::uint8_t inputsH = 0;
    std::uint8_t inputFlags = 0;
    std::uint8_t outputsA = 0;
    std::uint8_t outputsB = 0;
    std::uint8_t outputsC = 0;
    std::array<std::uint8_t, 5> outputValues{};
    std::string release;
    std::uint32_t counter1 = 0;
    std::uint32_t counter2 = 0;
    std::array<std::string, 6> identity{};
};

// Commands the page queues for the worker.
constexpr char kCmdTestReport = '\xC6';  // byte 198
constexpr char kCmdModuleReset = 'U';
inline char OutputCommand(int row) { return static_cast<char>('0' + row - 1); }

// Everything the page and its worker share. The worker keeps it alive while it
// runs, so a worker left behind after the page went never reaches freed memory.
struct StatusShared {
    std::mutex lock;  // guards live, command, post, message
    LiveValues live;
    char command = 0;
    std::function<void(int code, int param)> post;  // cleared when the page goes
    std::function<void(const std::string&)> message;  // a warning for the user; likewise

    std::atomic<bool> running{false};
    std::atomic<bool> stop{false};
    std::atomic<bool> initialStep{false};
    std::atomic<bool> commandPending{false};
    std::atomic<bool> simOk{true};
    std::atomic<bool> pinPolling{true};
    std::atomic<bool> pinRequired{false};
    std::atomic<bool> unlockOpen{false};
    std::atomic<bool> deviceReady{false};  // PELIX-G: the last poll worked
    std::atomic<bool> busy{false};         // PELIX-G: the device reports itself busy
    // The page wants the port for itself (the unlock dialog): the worker leaves
    // the port closed and acknowledges with `paused` until the request ends.
    std::atomic<bool> pauseRequest{false};
    std::atomic<bool> paused{false};

    // The port the worker talks on; the page uses it only while the worker is
    // paused or not running.
    stRecPort port;

    void Post(int code, int param = 0)
    {
        std::lock_guard<std::mutex> g(lock);
        if (post) post(code, param);
    }
};

// Timing of the worker (tests shorten both).
struct StatusTiming {
    int T = 100;                  // ms
    double charTimeout = kCharTimeout;
    int secondMs = 1000;
};

class StatusWorker {
public:
    // `st` is copied: the worker reads the texts, model and T from its own copy,
    // so nothing the window changes meanwhile is read across threads.
    StatusWorker(StatoVariant variant, std::shared_ptr<StatusShared> shared, const ProgramState& st,
                 const StatusTiming& timing);
    ~StatusWorker();
    StatusWorker(const StatusWorker&) = delete;
    StatusWorker& operator=(const StatusWorker&) = delete;

    void Start();
    // Sets the stop request and waits up to `wholeSeconds` (on the worker's
    // clock) for the worker to end, calling `idle` between checks. False when it
    // did not end: it is then left to end by itself, keeping the shared state
    // and closing the port as it goes.
    bool Stop(int wholeSeconds, const std::function<void()>& idle);
    // Asks the worker to leave the port alone; true once it has (or has ended).
    bool Pause(int wholeSeconds, const std::function<void()>& idle);
    void Resume();

    bool Running() const { return shared_->running.load(); }

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
    std::shared_ptr<StatusShared> shared_;
    std::thread thread_;
    int secondMs_;
};

// --- The pieces of a cycle, exposed for the tests ---------------------------

// Rows of the warnings grid of PELIX-G: text number and which byte/bit.
struct WarningRow {
    int text;
    bool extra;  // the extra warnings byte instead of the warnings byte
    int bit;
};
const std::array<WarningRow, 11>& WarningRowsG();

// Supply picture index (4..7) for a supply code.
int SupplyImage(std::uint8_t supply);
// The supply hint: " 6.80 Volt"; empty for 255.
std::string SupplyHint(std::uint8_t supply, StatoVariant v);
// Display level 1..10 for a signal above 24; 0 for no signal.
int SignalLevel(std::uint8_t signal);
// "1.10" enables the reset button of the PELIX-I page: the release compared as
// text with "1.05".
bool ResetAllowed(const std::string& release);
// Texts of the set flags of an input row (1..3), joined by " / ".
std::string InputFlagTexts(int row, std::uint8_t flags, StatoVariant v, const std::function<std::string(int)>& text);
// Whether either flag bit of an input row (1..3) is set.
bool InputFlagLit(int row, std::uint8_t flags);

}  // namespace pelix
