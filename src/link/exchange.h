// The conversation with a communicator: AT commands to its GSM module, read back
// line by line, and the one-byte commands of the controller that sits in front
// of the module on PELIX-G and PELIX-I.
#pragma once

#include "link/linkcontext.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelix {

// A controller reply: up to 100 bytes plus the checksum byte.
using ReplyBytes = std::array<std::uint8_t, 101>;

// Line limits of the readers.
constexpr std::size_t kShortLineMax = 64;   // ModemReadLine ends after 65 characters
constexpr std::size_t kLongLineMax = 160;   // ModemReadLongLine ends after 161
constexpr std::size_t kRawLineMax = 161;    // ModemReadRawLine keeps 160 of 161
constexpr std::size_t kUntilOkMax = 500;

// --- Sending -----------------------------------------------------------------
// On PELIX-A (and for an empty text) a CR is appended; the other models' texts
// carry their own. The input is flushed first, so a reply left unread by the
// previous command never answers this one.
void ModemSend(LinkContext& ctx, const std::string& text);
// A message text: Ctrl-Z appended.
void ModemSendSmsText(LinkContext& ctx, const std::string& text);

// --- Reading -----------------------------------------------------------------
// A line ended by CR; CR and LF are never kept and empty lines are skipped. On a
// time-out `line` keeps the value it had before the call.
bool ModemReadLine(LinkContext& ctx, std::string& line);
// The same with 161 characters; `line` is cleared first, so a time-out leaves
// what had arrived.
bool ModemReadLongLine(LinkContext& ctx, std::string& line);
// Every character including LF, up to a CR (not kept) or 160 characters.
bool ModemReadRawLine(LinkContext& ctx, std::string& line);
// Everything up to the final "OK" line, at most 500 characters or about six
// seconds. False only when a character wait ran out.
bool ModemReadUntilOk(LinkContext& ctx, std::string& text);
// Up to n+1 bytes (n at most 100) into a zeroed buffer. With `checksum`, all n+1
// bytes must come and the last must be the low byte of the sum of the others.
// Without, one byte is enough. Returns the bytes received in `received`.
bool ModemReadBytes(LinkContext& ctx, ReplyBytes& buffer, int n, bool checksum, int* received = nullptr);
// Bytes from 32 up as text, blanks trimmed at both ends.
std::string BytesToText(const ReplyBytes& buffer, int first, int count);

// --- Commands ----------------------------------------------------------------
// Sends and reads lines until an "ok" or "error" line, or about 21 seconds; true
// when the last line read holds "ok".
bool ModemCommandOk(LinkContext& ctx, const std::string& command);
// Sends and returns the first line longer than 4 characters that is not the
// command's echo; true when it came and holds no "error".
bool ModemCommandAnswer(LinkContext& ctx, const std::string& command, std::string& answer);

// --- Link checks -------------------------------------------------------------
// Two bare CRs and one line read and dropped.
void LinkWake(LinkContext& ctx);
// True when no line arrives for about two seconds after LinkWake.
bool LinkIsQuiet(LinkContext& ctx);

// --- Phone-book listing ------------------------------------------------------
void PbListFirstTen(LinkContext& ctx, std::string& text);
// Cuts a reply into its non-empty CR-ended lines; LF and NUL dropped; text after
// the last CR is not a line.
void SplitReplyLines(const std::string& text, std::vector<std::string>& lines);

// Lower-cased copy (ASCII) and "does `text` contain `word`, ignoring case".
std::string LowerCase(std::string text);
bool ContainsNoCase(const std::string& text, const std::string& word);

}  // namespace pelix
