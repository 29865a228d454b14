// The editor of a periodic schedule (the periodic SMS, the periodic test
// report): the first message's date and time, and the interval in days, hours
// and minutes kept as one count of minutes. Also the character filter the
// pages' edit boxes and grid editors share.
#pragma once

#include "model/image.h"

#include <QGroupBox>
#include <QValidator>

#include <array>
#include <cstdint>
#include <functional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QTimeEdit;

namespace pelix {

struct ProgramFlags;

// Keeps only the characters that pass `accept`; with `upper`, lower-case
// letters become upper case first. As a validator it covers pasted text as
// well as typed keys.
class CharFilter : public QValidator {
public:
    CharFilter(std::function<bool(QChar)> accept, bool upper, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    std::function<bool(QChar)> accept_;
    bool upper_;
};

// Installs a CharFilter on `edit` and sets its length limit (0: none).
CharFilter* FilterEdit(QLineEdit* edit, std::function<bool(QChar)> accept, int maxLength, bool upper = false);

class TPeriodicSchedule : public QGroupBox {
    Q_OBJECT

public:
    // RangeChecked: the boxes are corrected while typing (days 0-693, hours and
    // minutes 0-99). Normalised: leaving a box rounds the interval to a multiple
    // of five minutes, at least five.
    enum class Style { RangeChecked, Normalised };

    // `masks`: the input masks of the days, hours and minutes boxes.
    TPeriodicSchedule(ProgramFlags& flags, Style style, const std::array<QString, 3>& masks, QWidget* parent);

    // Labels 187 to 192: first sent on, time, repeat every, days, hours, minutes.
    void SetCaptions(const std::function<QString(int)>& text);

    void LoadInterval(std::uint32_t minutes);
    // The interval the boxes hold; in the Normalised style the boxes are
    // normalised first.
    std::uint32_t Interval();
    void Normalise();

    // The first moment as a date and a separate time of day.
    void LoadDateAndTime(DateTime date, DateTime timeOfDay);
    void StoreDateAndTime(DateTime& date, DateTime& timeOfDay) const;
    // The first moment as Unix seconds, at the picked hour and minute, second 0.
    void LoadUnix(std::uint32_t seconds);
    std::uint32_t Unix() const;

    // Enables or disables the group and every control in it.
    void SetAllEnabled(bool on);
    // The first-moment part: its two labels and the two pickers.
    void SetFirstEnabled(bool on);

    QLabel* Label1;  // first sent on
    QLabel* Label2;  // time
    QLabel* Label3;  // repeat every
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QDateEdit* DatePrimoSMS;
    QTimeEdit* TimePrimoSMS;
    QLineEdit* edGiorni;
    QLineEdit* edOre;
    QLineEdit* edMin;

private:
    ProgramFlags& flags_;
    Style style_;
};

}  // namespace pelix
