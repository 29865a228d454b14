// The controller of PELIX-G and PELIX-I: one-byte commands with short binary
// replies, and the switch that connects the line through to the GSM module.
// Also the PELIX-A release check, which reads the release line its firmware
// keeps in message slot 1.
#pragma once

#include "link/exchange.h"

#include <cstdint>
#include <string>

namespace pelix {

// Controller command bytes.
constexpr char kCtrlReady = '?';             // answers "PRG" + checksum when present and ready
constexpr char kCtrlConnectRead = '\xC3';    // line through to the module, for reading
constexpr char kCtrlConnectWrite = '\xCC';   // line through to the module, for writing
constexpr char kCtrlReleaseLine = '\xFF';    // line back to the controller
constexpr char kCtrlConnected = '\xFE';      // reply to both connects
constexpr char kCtrlCounter1 = ';';
constexpr char kCtrlCounter2 = '<';
constexpr char kCtrlRelease = '6';
constexpr char kCtrlRelease2 = '5';          // PELIX-G: second release triple
constexpr char kCtrlProgramStatus = '=';
constexpr char kCtrlSimStatus = '8';

// "?" must answer "PRG"; then the line is connected through (0xCC for writing,
// else 0xC3) and confirmed with 0xFE.
bool CtrlConnect(LinkContext& ctx, bool forWriting);
// 0xFF, confirmed with 0xFF.
bool CtrlRelease(LinkContext& ctx);
// The two counters (minutes), read in rounds until two rounds agree. Always true.
bool CtrlReadCounters(LinkContext& ctx, std::uint32_t& first, std::uint32_t& second);

// Controller release of a PELIX-I (opens the port when needed): 0 when it lies
// from 0.0 to 1.09, else 1. Language text 146 when it is unreadable, or when
// `warn` and out of range.
int CtrlReadReleaseI(LinkContext& ctx, std::string& release, bool warn);
// Controller releases of a PELIX-G (port already open): "6" and "5", the text
// becoming e1.e2e3.01.d1d2d3; 0 when the first lies from 0.0 to 2.1.
int CtrlReadReleaseG(LinkContext& ctx, std::string& release, bool warn);

// PELIX-A: compares the release line of message slot 1 with the configured
// release and adopts the device's. 0 same family, 1 other family or no family,
// 2 no answer (or the port cannot be opened), 3 not a PELIX release line.
int CheckDeviceRelease(LinkContext& ctx, CountedString<16>& configuredRelease);

// The number written at the start of `text` ("1.05 build 7" gives 1.05).
bool LeadingReleaseNumber(const std::string& text, double& value);

}  // namespace pelix
