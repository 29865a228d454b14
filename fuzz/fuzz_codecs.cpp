// Feeds arbitrary texts to the configuration decoders: a section or record that
// comes back from a device may hold anything, and no text may make a decoder
// read or write outside a field.
#include "link/codec/records.h"
#include "link/codec/sections.h"
#include "model/image.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    // The first byte picks what to decode; the rest is the text.
    const std::uint8_t pick = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    pelix::Tag_GlobalBuffer image;
    int eventi = 7;
    switch (pick % 3) {
    case 0: {
        const int model = (pick & 0x80) ? pelix::kModelG : pelix::kModelI;
        pelix::DecodeSection(image, model, 1 + (pick >> 2) % 6, text);
        break;
    }
    case 1: {
        const int model = (pick & 0x80) ? pelix::kModelG : pelix::kModelI;
        pelix::DecodeSlot(image, model, (pick >> 2) % pelix::kSlotCount, text);
        break;
    }
    default:
        pelix::DecodeRecord(image, eventi, (pick >> 2) % pelix::kRecordCount, text, (pick & 0x80) ? 1.1 : 1.0);
        break;
    }
    return 0;
}
