#include "pages/pagehelpers.h"
#include "model/state.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace pelix;

TEST(PageHelpers, StrToIntClamped)
{
    struct Case { const char* text; int expected; };
    const Case cases[] = {{" 42 ", 42}, {"", 2}, {"abc", 2}, {"300", 254}, {"1", 2}, {"-7", 2}, {"4x", 2}, {"\t5", 2}};
    for (const auto& c : cases) EXPECT_EQ(StrToIntClamped(c.text, 2, 2, 254), c.expected) << c.text;
}

TEST(PageHelpers, IndexOfItem)
{
    const QStringList items = {"01 Mario", "02 Luigi", "03 Peach"};
    EXPECT_EQ(IndexOfItem("02 Luigi", items, 0, false), 1);
    EXPECT_EQ(IndexOfItem("03 whoever", items, 2, false), 2);
    EXPECT_EQ(IndexOfItem("04", items, 2, false), -1);
    EXPECT_EQ(IndexOfItem("04", items, 2, true), 0);
}

TEST(PageHelpers, ClampEditRangeCorrectsWhileTyping)
{
    QLineEdit days;
    days.setText("");
    EXPECT_TRUE(ClampEditRange(&days, 0, 693));  // a cleared box reads as -1
    EXPECT_EQ(days.text(), "0");
    EXPECT_EQ(days.selectedText(), "0");
    days.setText("700");
    EXPECT_TRUE(ClampEditRange(&days, 0, 693));
    EXPECT_EQ(days.text(), "693");
    days.setText("12");
    EXPECT_FALSE(ClampEditRange(&days, 0, 693));
    EXPECT_EQ(days.text(), "12");
    QPushButton other("5000");
    EXPECT_FALSE(ClampEditRange(&other, 0, 693));
    EXPECT_EQ(other.text(), "5000");
}

TEST(PageHelpers, NormaliseInterval)
{
    struct Case { std::uint32_t in; std::uint32_t out; };
    const Case cases[] = {{2, 5}, {8, 10}, {0, 5}, {12, 10}, {13, 15}, {2879, 2880}, {1440, 1440}, {4294967294u, 4294967295u}};
    for (const auto& c : cases) EXPECT_EQ(NormaliseInterval(c.in), c.out) << c.in;
}

TEST(PageHelpers, IntervalBoxesAreRewrittenUnlessGuarded)
{
    RecordingFeedback fb;
    ProgramState st(fb);
    QLineEdit d, h, m;
    d.setText("1");
    h.setText("23");
    m.setText("59");
    NormaliseIntervalBoxes(&d, &h, &m, st.flags);
    EXPECT_EQ(d.text() + "/" + h.text() + "/" + m.text(), "2/0/0");
    EXPECT_FALSE(st.flags.selectionGuard);

    m.setText("2");
    d.setText(" ");
    h.setText("");
    st.flags.selectionGuard = true;
    NormaliseIntervalBoxes(&d, &h, &m, st.flags);
    EXPECT_EQ(m.text(), "2");
    st.flags.selectionGuard = false;
    NormaliseIntervalBoxes(&d, &h, &m, st.flags);
    EXPECT_EQ(d.text() + "/" + h.text() + "/" + m.text(), "0/0/5");
}

TEST(PageHelpers, HintsSplitIntoShortAndLong)
{
    QLineEdit e;
    SetHint(&e, "Number|The telephone number to call");
    EXPECT_EQ(e.toolTip(), "Number");
    EXPECT_EQ(e.statusTip(), "The telephone number to call");
    SetHint(&e, "Plain");
    EXPECT_EQ(e.statusTip(), "Plain");
}
