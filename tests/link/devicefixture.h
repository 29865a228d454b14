// Helpers of the device read/write tests: a rich configuration for each model,
// and a field-by-field comparison of two images that names what differs.
#pragma once

#include "linkfixture.h"

#include <string>
#include <vector>

namespace pelix::test {

// The model's defaults with most carried fields changed from them: numbers and
// labels, outputs with and without reservation, input texts and masks, options,
// events and (PELIX-G) the GPRS settings.
void FillRichImage(ProgramState& st);
// A PELIX-A configuration of the given family.
void FillRichImageA(ProgramState& st, bool family11);

// The JSON paths ("Uscite[0].Messaggio") at which two images differ.
std::vector<std::string> ImageDifferences(const Tag_GlobalBuffer& a, const Tag_GlobalBuffer& b);

// Copies into `expected` the named top-level or nested fields of `from`, given
// as JSON paths such as "GPRS.SIM" or "NumTel[95]".
void TakeFields(Tag_GlobalBuffer& expected, const Tag_GlobalBuffer& from, const std::vector<std::string>& paths);

// A device with its state, faults and a program state of the right model.
struct DeviceBench : SimLink {
    explicit DeviceBench(sim::DeviceState device, sim::Faults faults = {});
};

}  // namespace pelix::test
