// The pictures of the status pages, drawn in code: status symbols, supply
// levels, the LEDs of the grids, the timed-output glyph and the frames of the
// activity animation.
#pragma once

#include <QPixmap>

namespace pelix {

class StatusImages {
public:
    // The page's image list: 0 all well, 1 a query failed, 2 a warning, 3 the
    // controller is not ready; 4..7 supply from low to full; 11 dark LED,
    // 13 lit LED, 14 the timed-output glyph. Other indexes give an empty picture.
    static QPixmap Image(int index);
    // Frames 0..7 of the activity animation.
    static QPixmap Frame(int n);
    static constexpr int kStatus = 24;
    static constexpr int kLed = 14;

    enum { kWell = 0, kFailed = 1, kWarning = 2, kNotReady = 3, kSupplyLow = 4, kLedDark = 11, kLedLit = 13, kTimed = 14 };
};

}  // namespace pelix
