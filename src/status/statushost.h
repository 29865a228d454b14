// What the status pages, the PIN dialogs and the calls page need from the
// main window: its port and modem identification, the PELIX-A modem monitor,
// its small display and its page tree. The main window provides it; the tests
// provide their own.
#pragma once

#include "link/linkcontext.h"

namespace pelix {

class TfrmMain;

class StatusHost {
public:
    virtual ~StatusHost() = default;

    virtual stRecPort& Port() = 0;
    virtual stRecModemInfo& ModemInfo() = 0;

    // The PELIX-A modem monitor.
    virtual bool MonitorRuns() = 0;          // its run flag
    virtual bool MonitorEverStarted() = 0;
    // Asks it to let go of the port and waits up to `seconds` for it.
    virtual bool PauseMonitor(int seconds) = 0;
    virtual void ResumeMonitor() = 0;

    // The cell view takes over the main window's display: its second line and
    // its picture are cleared.
    virtual void ClearDisplayLine2AndPicture() = 0;
    // A maintenance command of the PELIX-G page holds the tree until it ran.
    virtual void SetTreeEnabled(bool on) = 0;

    // Per-character time-out and the length of one second on the device's
    // clock; the tests shorten both.
    double charTimeout = kCharTimeout;
    int secondMs = 1000;
};

// The main window as a host.
class MainStatusHost : public StatusHost {
public:
    explicit MainStatusHost(TfrmMain& w) : w_(w) {}
    stRecPort& Port() override;
    stRecModemInfo& ModemInfo() override;
    bool MonitorRuns() override;
    bool MonitorEverStarted() override;
    bool PauseMonitor(int seconds) override;
    void ResumeMonitor() override;
    void ClearDisplayLine2AndPicture() override;
    void SetTreeEnabled(bool on) override;

private:
    TfrmMain& w_;
};

// Registers the status pages and the calls page with the page registry; they
// work on `w`'s port. Called once, after the main window is made.
void RegisterStatusPages(TfrmMain& w);

}  // namespace pelix
