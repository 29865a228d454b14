// Configuration records of the first-generation communicator (PELIX-A): short
// texts kept as unsent messages in fixed SMS slots. Family 1.0 firmware
// (releases 1.0-1.09) keeps records 0-2, family 1.1 (1.1-1.19) records 0-13.
#pragma once

#include "model/image.h"

#include <string>
#include <string_view>

namespace pelix {

constexpr int kRecordCount = 14;

// Number of records the firmware family of `release` keeps (3 or 14).
int RecordCount(double release);

// The text of record r (0..13) for a device of `release`.
std::string BuildRecord(const Tag_GlobalBuffer& image, int r, double release);

// Decodes record r as read from slot r+2 (it starts with the line feed left over
// from the message header). Only the fields the record carries change;
// `eventiAssegnati` is recounted when the record touches the output events.
void DecodeRecord(Tag_GlobalBuffer& image, int& eventiAssegnati, int r, std::string_view text, double release);

}  // namespace pelix
