// Configuration texts of the second-generation communicators (PELIX-G, PELIX-I):
// a handful of sections plus the SMS texts of the inputs, each stored as one
// message in the GSM module and found through phone-book entries "PX1".."PX25".
#pragma once

#include "model/image.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelix {

// One stored-message slot: the text and the storage index the module gave it
// (0 or less: not stored).
struct TSMS {
    std::string Testo;
    std::int32_t Indice = 0;
};

constexpr int kSlotCount = 25;
using TSMSSlots = std::array<TSMS, kSlotCount>;

// Builds the 25 slots for `model` (19 or 22). `simIdentity` is the SIM serial
// the write read from the card (PELIX-G section 6); `nowUnix` is the present in
// Unix seconds, against which a first report time without an APN is written.
TSMSSlots BuildSections(const Tag_GlobalBuffer& image, int model, const std::string& simIdentity,
                        std::uint32_t nowUnix);

// Decodes section 1..6 (PELIX-G) or 1..4 (PELIX-I) into the image. Fields whose
// key is missing keep their value; no text makes it read or write outside a field.
void DecodeSection(Tag_GlobalBuffer& image, int model, int section, std::string_view text);

// Decodes the text of slot 0..24: a section or an input's SMS text.
void DecodeSlot(Tag_GlobalBuffer& image, int model, int slot, std::string_view text);

// Number of sections of the model (6 for PELIX-G, 4 for PELIX-I).
int SectionCount(int model);

// "!" and the low eight bits of the byte sum, three digits.
std::string SectionChecksum(std::string_view text);

}  // namespace pelix
