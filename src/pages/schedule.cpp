#include "schedule.h"

#include "model/datetime.h"
#include "model/state.h"
#include "pages/pagehelpers.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

namespace pelix {

CharFilter::CharFilter(std::function<bool(QChar)> accept, bool upper, QObject* parent)
    : QValidator(parent), accept_(std::move(accept)), upper_(upper)
{
}

QValidator::State CharFilter::validate(QString& input, int& pos) const
{
    // Refused characters are dropped rather than refusing the whole change, so
    // a pasted text keeps what could have been typed.
    QString kept;
    int keptPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        const QChar c = upper_ ? input[i].toUpper() : input[i];
        if (accept_(c)) kept += c;
        else if (i < pos) --keptPos;
    }
    input = kept;
    pos = keptPos;
    return Acceptable;
}

CharFilter* FilterEdit(QLineEdit* edit, std::function<bool(QChar)> accept, int maxLength, bool upper)
{
    auto* f = new CharFilter(std::move(accept), upper, edit);
    edit->setValidator(f);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    return f;
}

TPeriodicSchedule::TPeriodicSchedule(ProgramFlags& flags, Style style, const std::array<QString, 3>& masks,
                                     QWidget* parent)
    : QGroupBox(parent), flags_(flags), style_(style)
{
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    Label4 = new QLabel(this);
    Label5 = new QLabel(this);
    Label6 = new QLabel(this);
    DatePrimoSMS = new QDateEdit(this);
    DatePrimoSMS->setCalendarPopup(true);
    DatePrimoSMS->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    TimePrimoSMS = new QTimeEdit(this);
    TimePrimoSMS->setDisplayFormat(QStringLiteral("HH.mm"));
    edGiorni = new QLineEdit(this);
    edOre = new QLineEdit(this);
    edMin = new QLineEdit(this);
    QLineEdit* boxes[3] = {edGiorni, edOre, edMin};
    for (int i = 0; i < 3; ++i) {
        const QString& mask = masks[static_cast<std::size_t>(i)];
        if (style == Style::RangeChecked) {
            boxes[i]->setInputMask(mask);
        } else {
            // Blank-filled boxes: digits only, as many as the mask has places.
            // (A Qt mask with a blank filler never counts as complete, so the
            // box would not report being left.)
            FilterEdit(boxes[i], [](QChar c) { return c >= u'0' && c <= u'9'; },
                       static_cast<int>(mask.section(u';', 0, 0).size()));
        }
        boxes[i]->setMaximumWidth(70);
    }

    auto* g = new QGridLayout(this);
    g->addWidget(Label1, 0, 0);
    g->addWidget(DatePrimoSMS, 0, 1, 1, 2);
    g->addWidget(Label2, 0, 3);
    g->addWidget(TimePrimoSMS, 0, 4);
    g->addWidget(Label3, 1, 0);
    g->addWidget(Label4, 2, 0, Qt::AlignRight);
    g->addWidget(edGiorni, 2, 1);
    g->addWidget(Label5, 2, 2, Qt::AlignRight);
    g->addWidget(edOre, 2, 3);
    g->addWidget(Label6, 2, 4, Qt::AlignRight);
    g->addWidget(edMin, 2, 5);
    g->setColumnStretch(6, 1);

    if (style == Style::RangeChecked) {
        const int max[3] = {693, 99, 99};
        for (int i = 0; i < 3; ++i) {
            QLineEdit* box = boxes[i];
            const int top = max[i];
            connect(box, &QLineEdit::textChanged, this, [box, top] { ClampEditRange(box, 0, top); });
        }
    } else {
        for (QLineEdit* box : boxes) connect(box, &QLineEdit::editingFinished, this, [this] { Normalise(); });
    }
}

void TPeriodicSchedule::SetCaptions(const std::function<QString(int)>& text)
{
    QLabel* labels[6] = {Label1, Label2, Label3, Label4, Label5, Label6};
    for (int i = 0; i < 6; ++i) labels[i]->setText(text(187 + i));
}

void TPeriodicSchedule::LoadInterval(std::uint32_t minutes)
{
    const IntervalParts p = SplitInterval(minutes);
    // Loading must not beep or round: the stored value is shown as it is.
    const QSignalBlocker b1(edGiorni), b2(edOre), b3(edMin);
    edGiorni->setText(QString::number(p.days));
    edOre->setText(QString::number(p.hours));
    edMin->setText(QString::number(p.minutes));
}

void TPeriodicSchedule::Normalise() { NormaliseIntervalBoxes(edGiorni, edOre, edMin, flags_); }

std::uint32_t TPeriodicSchedule::Interval()
{
    if (style_ == Style::Normalised) Normalise();
    return JoinInterval(edGiorni->text(), edOre->text(), edMin->text());
}

void TPeriodicSchedule::LoadDateAndTime(DateTime date, DateTime timeOfDay)
{
    DatePrimoSMS->setDate(FromDateTime(DatePart(date)).date());
    TimePrimoSMS->setTime(FromDateTime(TimePart(timeOfDay)).time());
}

void TPeriodicSchedule::StoreDateAndTime(DateTime& date, DateTime& timeOfDay) const
{
    date = ToDateTime(QDateTime(DatePrimoSMS->date(), QTime(0, 0)));
    timeOfDay = TimePrimoSMS->time().msecsSinceStartOfDay() / 86400000.0;
}

void TPeriodicSchedule::LoadUnix(std::uint32_t seconds)
{
    const QDateTime at = FromDateTime(UnixToDateTime(seconds));
    DatePrimoSMS->setDate(at.date());
    TimePrimoSMS->setTime(QTime(at.time().hour(), at.time().minute()));
}

std::uint32_t TPeriodicSchedule::Unix() const
{
    const QTime t = TimePrimoSMS->time();
    return DateTimeToUnix(ToDateTime(QDateTime(DatePrimoSMS->date(), QTime(t.hour(), t.minute()))));
}

void TPeriodicSchedule::SetAllEnabled(bool on)
{
    setEnabled(on);
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->setEnabled(on);
}

void TPeriodicSchedule::SetFirstEnabled(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(DatePrimoSMS), static_cast<QWidget*>(TimePrimoSMS)})
        w->setEnabled(on);
}

}  // namespace pelix
