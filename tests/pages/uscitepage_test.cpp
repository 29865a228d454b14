#include "pages/uscite.h"
#include "pagebench.h"

#include <QComboBox>
#include <QLabel>

using namespace pelix;
using pelix::test::PageBench;

namespace {

using U = TfrmUscite;

bool TypeIn(PageGrid* grid, int col, int row, const QString& keys)
{
    const bool opened = PageBench::TypeCell(grid, col, row, keys);
    QApplication::processEvents();
    return opened;
}

// The PELIX-A event columns: FP, FG, BC, BP, MS, CO, CI.
constexpr int kFP = 2, kFG = 3, kBC = 4, kBP = 5, kMS = 6, kCO = 7, kCI = 8;

void ClearEvents(ProgramState& st)
{
    for (Tag_Uscita& u : st.image.Uscite) u.FP = u.FG = u.BC = u.BP = u.CO = u.CI = u.MS = 0;
    st.EventiAssegnati = 0;
}

}  // namespace

TEST(UscitePage, EachEventDrivesOneOutputOnly)
{
    PageBench b(kModelA, "1.10");
    ClearEvents(b.st);
    b.st.image.Uscite[0].FP = 1;
    b.st.EventiAssegnati = 1;
    auto* page = b.Open<TfrmUscite>();
    EXPECT_TRUE(page->hgOutI->isHidden());
    EXPECT_TRUE(page->Panel1->isHidden());

    PageBench::Click(page->HyperGrid2, kFP, 2);
    EXPECT_EQ(b.st.image.Uscite[1].FP, 0);
    EXPECT_EQ(b.st.EventiAssegnati, 1);
    PageBench::Click(page->HyperGrid2, kFP, 1);  // cleared on output 1 ...
    PageBench::Click(page->HyperGrid2, kFP, 2);  // ... it is free for output 2
    EXPECT_EQ(b.st.image.Uscite[0].FP, 0);
    EXPECT_EQ(b.st.image.Uscite[1].FP, 1);
    EXPECT_EQ(b.st.EventiAssegnati, 1);

    // Every event column stands for its own flag.
    const int cols[] = {kFG, kBC, kBP, kMS, kCO, kCI};
    for (int col : cols) PageBench::Click(page->HyperGrid2, col, 3);
    const Tag_Uscita& u3 = b.st.image.Uscite[2];
    EXPECT_EQ(u3.FG + u3.BC + u3.BP + u3.MS + u3.CO + u3.CI, 6);
    EXPECT_EQ(u3.FP, 0);
    EXPECT_EQ(b.st.EventiAssegnati, 7);
}

TEST(UscitePage, TheEighthAssignedEventIsUndone)
{
    PageBench b(kModelA, "1.10");
    // What the defaults leave: six flags (FP twice) counted as seven.
    auto* page = b.Open<TfrmUscite>();
    ASSERT_EQ(b.st.EventiAssegnati, 7);
    PageBench::Click(page->HyperGrid2, kMS, 2);
    EXPECT_EQ(b.st.image.Uscite[1].MS, 0);
    EXPECT_EQ(b.st.EventiAssegnati, 7);
    // Clearing one makes room for one.
    PageBench::Click(page->HyperGrid2, kFG, 2);
    PageBench::Click(page->HyperGrid2, kMS, 2);
    EXPECT_EQ(b.st.image.Uscite[1].FG, 0);
    EXPECT_EQ(b.st.image.Uscite[1].MS, 1);
    EXPECT_EQ(b.st.EventiAssegnati, 7);
}

TEST(UscitePage, ReservingAnOutputFreesItsEventsAndUnreservingClearsItsLabel)
{
    PageBench b(kModelA, "1.10");
    auto* page = b.Open<TfrmUscite>();
    Tag_Uscita& u5 = b.st.image.Uscite[4];
    ASSERT_TRUE(u5.CO && u5.CI);
    EXPECT_FALSE(TypeIn(page->HyperGrid2, U::ColLabelA, 5, "GATE"));  // not reserved: no editor

    PageBench::Click(page->HyperGrid2, U::ColReservedA, 5);
    EXPECT_EQ(u5.OUTRESERV, 1);
    EXPECT_EQ(u5.CO, 0);
    EXPECT_EQ(u5.CI, 0);
    EXPECT_EQ(b.st.EventiAssegnati, 5);
    PageBench::Click(page->HyperGrid2, kBP, 5);  // a reserved output takes no event
    EXPECT_EQ(u5.BP, 0);

    ASSERT_TRUE(TypeIn(page->HyperGrid2, U::ColLabelA, 5, "Gate-1 left wing"));
    EXPECT_EQ(page->HyperGrid2->Cells(U::ColLabelA, 5), "Gate1 left");  // symbols refused, 10 letters
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(u5.Messaggio, "Gate1 left");

    page = b.Open<TfrmUscite>();
    PageBench::Click(page->HyperGrid2, U::ColReservedA, 5);
    EXPECT_EQ(u5.OUTRESERV, 0);
    EXPECT_TRUE(u5.Messaggio.empty());
    ASSERT_TRUE(b.Leave());
    EXPECT_TRUE(u5.Messaggio.empty());
}

TEST(UscitePage, ReservationNeedsRelease11OnPelixA)
{
    PageBench b(kModelA, "1.00");
    auto* page = b.Open<TfrmUscite>();
    EXPECT_TRUE(page->HyperGrid2->isColumnHidden(U::ColReservedA));
    EXPECT_TRUE(page->HyperGrid2->isColumnHidden(U::ColLabelA));
    EXPECT_FALSE(page->HyperGrid2->isColumnHidden(kCI));
}

TEST(UscitePage, UnreservingRemovesTheNumbersRights)
{
    PageBench b(kModelI, "1.00");
    Tag_Uscita& u3 = b.st.image.Uscite[2];
    u3.OUTRESERV = 1;
    u3.Tipo = 1;
    u3.TempoOn = 40;
    u3.Conferma = 1;
    u3.Messaggio = "PUMP";
    for (int e : {0, 1, 2, 94}) b.st.image.NumTel[static_cast<std::size_t>(e)].Uscite = 0x0F;
    auto* page = b.Open<TfrmUscite>();
    EXPECT_TRUE(page->HyperGrid2->isHidden());
    EXPECT_EQ(page->hgOutI->Cells(U::ColOnTime, 3), "40");
    EXPECT_EQ(page->hgOutI->Cells(U::ColConfirm, 3), "By SMS");

    PageBench::Click(page->hgOutI, U::ColReserved, 3);
    EXPECT_EQ(u3.OUTRESERV, 0);
    EXPECT_EQ(u3.Tipo, 0);
    EXPECT_EQ(u3.TempoOn, 0);
    EXPECT_EQ(u3.Conferma, 0);
    EXPECT_TRUE(u3.Messaggio.empty());
    EXPECT_EQ(page->hgOutI->Cells(U::ColOnTime, 3), "0");
    EXPECT_EQ(page->hgOutI->Cells(U::ColConfirm, 3), "None");
    for (int e : {0, 1, 2, 94}) EXPECT_EQ(b.st.image.NumTel[static_cast<std::size_t>(e)].Uscite, 0x0B) << e;

    // Reserving clears the event mask, and a reserved output takes no events.
    ASSERT_EQ(u3.MaskEventiPELIX_I, 8);  // the default: power fault
    PageBench::Click(page->hgOutI, U::ColFirstBit + 1, 3);
    EXPECT_EQ(u3.MaskEventiPELIX_I, 8 | 2);
    PageBench::Click(page->hgOutI, U::ColReserved, 3);
    EXPECT_EQ(u3.MaskEventiPELIX_I, 0);
    PageBench::Click(page->hgOutI, U::ColFirstBit, 3);
    EXPECT_EQ(u3.MaskEventiPELIX_I, 0);
    ASSERT_TRUE(b.Leave());
    EXPECT_TRUE(u3.Messaggio.empty());
    EXPECT_EQ(u3.TempoOn, 0);
}

TEST(UscitePage, OnTimeIsKeptWithinItsRange)
{
    const struct {
        const char* typed;
        bool timed;
        int stored;
    } cases[] = {{"1", true, 2}, {"300", true, 254}, {"2", true, 2}, {"254", true, 254},
                 {"", true, 2},  {"45", false, 0}};
    for (const auto& c : cases) {
        PageBench b(kModelG, "3.10");
        Tag_Uscita& u2 = b.st.image.Uscite[1];
        u2.OUTRESERV = 1;
        u2.MaskEventiPELIX_I = 0;
        auto* page = b.Open<TfrmUscite>();
        PageBench::Click(page->hgOutI, U::ColTimed, 2);
        ASSERT_EQ(u2.Tipo, 1);
        ASSERT_TRUE(TypeIn(page->hgOutI, U::ColOnTime, 2, QString::fromLatin1(c.typed))) << c.typed;
        if (!c.timed) {
            PageBench::Click(page->hgOutI, U::ColTimed, 2);
            EXPECT_FALSE(TypeIn(page->hgOutI, U::ColOnTime, 2, "9"));  // no editor while not timed
        }
        ASSERT_TRUE(b.Leave());
        EXPECT_EQ(u2.TempoOn, c.stored) << c.typed;
    }
}

TEST(UscitePage, OnlyAReservedOutputIsTimedOrLabelled)
{
    PageBench b(kModelI, "1.00");
    Tag_Uscita& u1 = b.st.image.Uscite[0];
    auto* page = b.Open<TfrmUscite>();
    PageBench::Click(page->hgOutI, U::ColTimed, 1);
    EXPECT_EQ(u1.Tipo, 0);
    EXPECT_FALSE(TypeIn(page->hgOutI, U::ColLabel, 1, "LIGHT"));
    PageBench::Click(page->hgOutI, U::ColReserved, 1);
    ASSERT_TRUE(TypeIn(page->hgOutI, U::ColLabel, 1, "Light 2/b.xyz"));
    EXPECT_EQ(page->hgOutI->Cells(U::ColLabel, 1), "Light2bx");  // letters and digits, 8 at most
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(u1.Messaggio, "Light2bx");
}

TEST(UscitePage, ConfirmationChoices)
{
    const struct {
        const char* label;
        int pick;
        QStringList items;
        int stored;
    } cases[] = {
        {"", 1, {"None", "By call"}, 2},
        {"", 0, {"None", "By call"}, 0},
        {"PUMP", 1, {"None", "By SMS", "By call"}, 1},
        {"PUMP", 2, {"None", "By SMS", "By call"}, 2},
    };
    for (const auto& c : cases) {
        PageBench b(kModelI, "1.00");
        Tag_Uscita& u4 = b.st.image.Uscite[3];
        u4.OUTRESERV = 1;
        u4.Messaggio = c.label;
        auto* page = b.Open<TfrmUscite>();
        PageBench::Click(page->hgOutI, U::ColConfirm, 4);
        QTest::keyClick(page->hgOutI, Qt::Key_F2);
        auto* combo = page->hgOutI->viewport()->findChild<QComboBox*>();
        ASSERT_NE(combo, nullptr);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        EXPECT_EQ(items, c.items) << c.label;
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < c.pick; ++i) QTest::keyClick(combo, Qt::Key_Down);
        EXPECT_EQ(u4.Conferma, c.stored) << c.label << " " << c.pick;
    }

    // An output that is not reserved offers only "None" and keeps 0.
    PageBench b(kModelI, "1.00");
    auto* page = b.Open<TfrmUscite>();
    PageBench::Click(page->hgOutI, U::ColConfirm, 2);
    QTest::keyClick(page->hgOutI, Qt::Key_F2);
    auto* combo = page->hgOutI->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 1);
}

TEST(UscitePage, ShortUserCodeBecomesTheDefault)
{
    for (bool leaveByCommand : {false, true}) {
        PageBench b(kModelG, "3.10");
        auto* page = b.Open<TfrmUscite>();
        EXPECT_EQ(page->Edit1->text(), "7305");
        EXPECT_EQ(page->Edit1->echoMode(), QLineEdit::Password);
        PageBench::Type(page->Edit1, "a#b");
        EXPECT_EQ(page->Edit1->text(), "ab");
        if (!leaveByCommand) {
            PageBench::LeaveBox(page->Edit1);
            EXPECT_EQ(page->Edit1->text(), "7305");
        }
        ASSERT_TRUE(b.Leave());
        EXPECT_TRUE(b.fb.Said(U::kUserCodeMessage));
        EXPECT_EQ(b.fb.messages.size(), 1u);
        EXPECT_EQ(b.st.image.Opzioni.CodUscSms, "7305");
    }

    PageBench b(kModelA, "1.10");
    auto* page = b.Open<TfrmUscite>();
    PageBench::Type(page->Edit1, "Ab 9x");
    PageBench::LeaveBox(page->Edit1);
    ASSERT_TRUE(b.Leave());
    EXPECT_TRUE(b.fb.messages.empty());
    EXPECT_EQ(b.st.image.Opzioni.CodUscSms, "Ab 9");
}

TEST(UscitePage, HintsOnPelixIOnly)
{
    for (std::uint8_t model : {kModelI, kModelG}) {
        PageBench b(model, "3.10");
        auto* page = b.Open<TfrmUscite>();
        PageGrid* g = page->hgOutI;
        QTest::mouseMove(g->viewport(), g->visualRect(g->model()->index(2, U::ColTimed)).center());
        EXPECT_EQ(page->StaticText1->text().toStdString(), model == kModelI ? b.st.Text(452) : "") << int(model);
    }
}
