// The frame of every device command with a progress display: busy cursor,
// progress window and the progress flag through which each send and each read
// advances the gauge, all undone on every way out.
#pragma once

#include "common/startup.h"
#include "link/linkcontext.h"

namespace pelix {

class ProgressScope {
public:
    ProgressScope(LinkContext& ctx, int maximum) : ctx_(ctx)
    {
        ctx_.feedback.Busy(true);
        ctx_.feedback.ProgressShow(kApplicationTitle, maximum);
        ctx_.state.flags.progress = true;
    }
    ~ProgressScope() { Close(); }
    // Closes the display early (before a message box); later calls do nothing.
    void Close()
    {
        if (closed_) return;
        closed_ = true;
        ctx_.state.flags.progress = false;
        ctx_.feedback.ProgressClose();
        ctx_.feedback.Busy(false);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    LinkContext& ctx_;
    bool closed_ = false;
};

}  // namespace pelix
