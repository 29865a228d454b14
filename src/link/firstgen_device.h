// PELIX-A storage: the configuration records kept as unsent messages in SMS
// slots 2-15 and the phone numbers in the SIM phone book, written and read with
// plain AT commands. The records' texts come from the codec (codec/records.h);
// this file owns the commands, their order, the repeats and the waits.
#pragma once

#include "link/exchange.h"

#include <string>

namespace pelix {

// Slots 2-40 emptied, each delete sent five times without reading a reply.
void ClearStoredSms(LinkContext& ctx);
// 1: the SIM phone book; 2: SMS text mode.
void SelectStorage(LinkContext& ctx, int which);
// Deletes the entries in use, then writes every number of the image as
// "TELNUM<n>", each command five times.
void WritePhoneBook(LinkContext& ctx);
// Stores one record as an unsent message. False on an "error" line or when no
// "ok" came.
bool StoreRecord(LinkContext& ctx, const std::string& text);
// The text of the message in `slot` as received: it starts with the line feed
// left over from the header line.
std::string ReadRecord(LinkContext& ctx, int slot);
// Numbers of the entries in use, from the SIM phone book into the image.
void ReadPhoneBook(LinkContext& ctx);

// The write sequence from clearing the slots up to the last record, for a
// device of `release` (whose family CheckDeviceRelease has just confirmed).
// False when a record was refused: the records before it stay stored.
bool WriteConfigurationA(LinkContext& ctx, double release);
// The read sequence: every record of the family, then the phone book.
void ReadConfigurationA(LinkContext& ctx, double release);

// A text that goes inside an AT command: characters that would end the command
// (CR, LF, Ctrl-Z, Esc and other controls) or close its quotes are left out.
std::string AtArgument(const std::string& text);

}  // namespace pelix
