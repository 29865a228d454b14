#include "image.h"

namespace pelix {

int PhoneEntriesInUse(int model) { return model == kModelA ? 8 : 95; }

int InputsStored(int model)
{
    switch (model) {
    case kModelG: return 8;
    case kModelI: return 7;
    default: return 4;
    }
}

bool IsSecondGeneration(int model) { return model == kModelG || model == kModelI; }

int CountOutputEvents(const Tag_GlobalBuffer& image)
{
    int n = 0;
    for (const auto& u : image.Uscite)
        n += (u.FP != 0) + (u.FG != 0) + (u.BC != 0) + (u.BP != 0) + (u.CO != 0) + (u.CI != 0) + (u.MS != 0);
    return n;
}

}  // namespace pelix
