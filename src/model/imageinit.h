#pragma once

#include "model/state.h"

namespace pelix {

// Clears `image` and writes the defaults for the current model. With
// resetHeader the customer header is reset too (a new customer with the next
// free code); without it the header, and with it the model, is left as it is.
void InitImage(ProgramState& st, Tag_GlobalBuffer& image, bool resetHeader);

// The defaults of every field of the image for `model`: what InitImage writes.
// The output defaults set six event flags; InitImage still counts seven as
// assigned (callers recount after loading or reading a configuration).
void WriteImageDefaults(Tag_GlobalBuffer& image, int model, const LanguageTexts& texts, DateTime now);

// True when every field of `image` equals the reference copy.
bool ImageUnchanged(const ProgramState& st, const Tag_GlobalBuffer& image);

}  // namespace pelix
