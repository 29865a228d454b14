// Editing helpers shared by the configuration pages and the installer dialog.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;
class QLineEdit;

namespace pelix {

struct ProgramFlags;

// The text trimmed of blanks read as a decimal integer, kept within [min, max];
// a text that is not a number gives `def`.
int StrToIntClamped(const QString& text, int def, int min, int max);

// Index of the first item equal to `text` (only the first `prefixLength`
// characters compared when it is above 0); -1 when none matches, or 0 when
// `zeroIfMissing`.
int IndexOfItem(const QString& text, const QStringList& items, int prefixLength, bool zeroIfMissing);

// Corrects the number typed into an edit box while the user types: a value
// below `min` (a text that is not a number counts as -1) becomes `min`, one
// above `max` becomes `max`; a correction beeps and selects the whole text.
// Controls other than edit boxes are left alone. Returns true when it corrected.
bool ClampEditRange(QWidget* edit, int min, int max);

// The interval of a periodic message in minutes, rounded to a multiple of five
// (down for a remainder of 0-2, up for 3-4) and never below five.
std::uint32_t NormaliseInterval(std::uint32_t minutes);

// Splits and joins an interval as the three boxes show it.
struct IntervalParts {
    std::uint32_t days = 0;
    std::uint32_t hours = 0;
    std::uint32_t minutes = 0;
};
IntervalParts SplitInterval(std::uint32_t count);
std::uint32_t JoinInterval(const QString& days, const QString& hours, const QString& minutes);

// Rewrites the three boxes with the normalised interval. Does nothing while the
// selection guard is set (it is the re-entrancy guard of the rewrite).
void NormaliseIntervalBoxes(QLineEdit* days, QLineEdit* hours, QLineEdit* minutes, ProgramFlags& flags);

// A hint "short|long": the short part becomes the tool tip, the long part (or
// the whole text) what the page's status line shows.
void SetHint(QWidget* w, const QString& hint);
QString LongHint(const QString& hint);

}  // namespace pelix
