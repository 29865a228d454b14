#include "pagehelpers.h"

#include "model/state.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

#include <limits>

namespace pelix {

namespace {

bool ReadInt(const QString& text, long long& value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok, 10);
    return ok;
}

}  // namespace

int StrToIntClamped(const QString& text, int def, int min, int max)
{
    // Only blanks are trimmed: a tab or a line end makes the text unreadable.
    QString t = text;
    while (t.startsWith(u' ')) t.remove(0, 1);
    while (t.endsWith(u' ')) t.chop(1);
    bool ok = false;
    const long long v = t.toLongLong(&ok, 10);
    if (!ok || t.contains(u'\t') || t.contains(u'\n')) return def;
    if (v > max) return max;
    if (v < min) return min;
    return static_cast<int>(v);
}

int IndexOfItem(const QString& text, const QStringList& items, int prefixLength, bool zeroIfMissing)
{
    for (int i = 0; i < items.size(); ++i) {
        const bool equal = prefixLength > 0 ? items[i].left(prefixLength) == text.left(prefixLength) : items[i] == text;
        if (equal) return i;
    }
    return zeroIfMissing ? 0 : -1;
}

bool ClampEditRange(QWidget* edit, int min, int max)
{
    auto* box = qobject_cast<QLineEdit*>(edit);
    if (!box) return false;
    long long v = 0;
    if (!ReadInt(box->text(), v)) v = -1;
    QString corrected;
    if (v < min) corrected = QString::number(min);
    else if (v > max) corrected = QString::number(max);
    else return false;
    {
        const QSignalBlocker block(box);  // the correction must not re-enter the change handler
        box->setText(corrected);
    }
    QApplication::beep();
    box->selectAll();
    return true;
}

std::uint32_t NormaliseInterval(std::uint32_t minutes)
{
    const std::uint32_t r = minutes % 5;
    std::uint64_t count = r <= 2 ? minutes - r : std::uint64_t(minutes) + (5 - r);
    if (count < 5) count = 5;
    // 4294967295 is itself a multiple of five.
    if (count > std::numeric_limits<std::uint32_t>::max()) count = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(count);
}

IntervalParts SplitInterval(std::uint32_t count) { return {count / 1440, (count % 1440) / 60, count % 60}; }

std::uint32_t JoinInterval(const QString& days, const QString& hours, const QString& minutes)
{
    auto value = [](const QString& t) {
        long long v = 0;
        return ReadInt(t, v) && v > 0 ? static_cast<std::uint64_t>(v) : std::uint64_t(0);
    };
    const std::uint64_t total = value(days) * 1440 + value(hours) * 60 + value(minutes);
    return total > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                             : static_cast<std::uint32_t>(total);
}

void NormaliseIntervalBoxes(QLineEdit* days, QLineEdit* hours, QLineEdit* minutes, ProgramFlags& flags)
{
    if (flags.selectionGuard) return;
    flags.selectionGuard = true;
    const IntervalParts p = SplitInterval(NormaliseInterval(JoinInterval(days->text(), hours->text(), minutes->text())));
    days->setText(QString::number(p.days));
    hours->setText(QString::number(p.hours));
    minutes->setText(QString::number(p.minutes));
    flags.selectionGuard = false;
}

QString LongHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QWidget* w, const QString& hint)
{
    if (!w) return;
    const qsizetype bar = hint.indexOf(u'|');
    w->setToolTip(bar < 0 ? hint : hint.left(bar));
    w->setStatusTip(LongHint(hint));
}

}  // namespace pelix
