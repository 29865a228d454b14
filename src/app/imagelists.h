// The pictures of the main window's image lists, drawn in code so they stay
// crisp at any size: the check mark and marker of the grids, the polarity
// symbols, and the page-tree glyphs.
#pragma once

#include <QPixmap>

namespace pelix {

class ImageLists {
public:
    // ImageList2: 0 = check mark, 1 = marker.
    static QPixmap ImageList2(int index);
    // ImageList4: 0 = normally open (polarity 0), 1 = normally closed (polarity 1);
    // 2 and 3 the same pair in the G-model SMS page's colours.
    static QPixmap ImageList4(int index);
    // Page-tree images 1..8 (phone numbers, dialer, SMS, outputs, calls, status,
    // communicator/GPRS, the model at the root).
    static QPixmap TreeImage(int index);
    static constexpr int kGlyph = 16;
};

}  // namespace pelix
