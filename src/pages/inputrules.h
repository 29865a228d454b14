// The rules that tie a PELIX-A input's settings together. The voice dialer page
// and the SMS page both edit these fields and must apply the same rules.
#pragma once

#include "model/image.h"

namespace pelix {

// Input 4 switching the line to GSM does nothing else; releases before 1.1
// know no switching at all.
void ApplyInput4Rule(Tag_GlobalBuffer& image, bool release11);

// Switch-and-call on input 4: on, the input calls number 1 with message 0 and
// nothing else; off, it calls nobody.
void ToggleCommutaChiama(Tag_GlobalBuffer& image);

// A service input (release 1.1 on) calls nobody and sends nothing; on input 4 it
// also ends the switching. Before 1.1 the flag stays clear.
void ToggleService(Tag_GlobalBuffer& image, int input, bool release11);

}  // namespace pelix
