// The read and write commands of the main window without their window: model
// checks, the PELIX-G time advance, the PELIX-I refusal of a past periodic SMS,
// the PELIX-A release check and event check, gauge maxima, and the sequences of
// each generation. The window and pelixctl both call these; everything said to
// the user (messages, Yes/No questions, progress) goes through ctx.feedback.
#pragma once

#include "link/linkcontext.h"

#include <cstdint>

namespace pelix {

class ModemMonitor;

// Reads the device into ctx.state.image. The caller has written the open page
// back into the image (selected the root node). PELIX-G and PELIX-I start from
// the model's defaults; a read of either that fails leaves the image as it was.
// PELIX-A: the window passes its modem monitor, which is paused for the
// command (a monitor that does not let go of the port in time makes the command
// give up with its device text) and whose device-present flag must be set;
// callers without a monitor pass nullptr and the release check alone decides.
// True when the exchange completed.
bool ReadDeviceCommand(LinkContext& ctx, ModemMonitor* monitor = nullptr);

// Writes ctx.state.image into the device. The PELIX-A event check asks its
// Yes/No questions through ctx.feedback. True when everything was written.
bool WriteDeviceCommand(LinkContext& ctx, ModemMonitor* monitor = nullptr);

// PELIX-G: moves the first periodic SMS and report times past the present
// (`nowUnix`, local Unix seconds) when they are in use.
void AdvancePeriodicTimesG(Tag_GlobalBuffer& image, std::uint32_t nowUnix);
// PELIX-I: true when the periodic SMS is in use and its first moment is not
// later than `now`.
bool PeriodicSmsPastI(const Tag_GlobalBuffer& image, DateTime now);
// PELIX-A gauge maxima by release family; 0 for a release in no family (the
// gauge keeps its maximum).
int GaugeMaximumA(bool write, double release);

// PELIX-A: for each of the seven output events that no output carries, asks
// whether to go on (and, unless reserved outputs exist on a 1.1 device, to give
// the event its default output). False when a question was answered No.
bool CheckOutputEvents(LinkContext& ctx, double release);

}  // namespace pelix
