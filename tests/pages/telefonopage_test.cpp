#include "pages/telefono.h"
#include "pagebench.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>

using namespace pelix;
using pelix::test::PageBench;

namespace {

// Types into a cell and lets the grid take the edit (Return commits it after
// the current event).
bool TypeIn(PageGrid* grid, int col, int row, const QString& keys)
{
    const bool opened = PageBench::TypeCell(grid, col, row, keys);
    QApplication::processEvents();
    return opened;
}

// Entries (from 0) that may command output k.
std::vector<int> Commanding(const ProgramState& st, int k)
{
    std::vector<int> out;
    for (int e = 0; e < kPhoneEntries; ++e)
        if (TestBit(st.image.NumTel[static_cast<std::size_t>(e)].Uscite, k)) out.push_back(e);
    return out;
}

}  // namespace

// The numbers allowed to command an output stay one unbroken run of rows.
TEST(TelefonoPage, CommandRightsFormOneRun)
{
    PageBench b(kModelG, "3.10");
    auto* page = b.Open<TfrmTelefono>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->StringGrid1->rowCount(), 96);
    const int out1 = TfrmTelefono::ColOut1;
    ASSERT_EQ(b.st.image.Uscite[0].OUTRESERV, 0);
    ASSERT_EQ(b.st.image.Uscite[0].MaskEventiPELIX_I, 1);  // the default: switched by FP

    const struct {
        int row;
        std::vector<int> entries;
    } steps[] = {
        {5, {4}},                // nobody yet: the clicked entry alone
        {2, {1, 2, 3, 4}},       // above the run: filled up to it
        {7, {1, 2, 3, 4, 5, 6}}, // below the run: filled down to the clicked row
        {7, {1, 2, 3, 4, 5}},    // the last row of the run: only that row
        {2, {2, 3, 4, 5}},       // the first row of the run: only that row
        {4, {}},                 // inside the run: the whole run goes
    };
    for (const auto& s : steps) {
        PageBench::Click(page->StringGrid1, out1, s.row);
        EXPECT_EQ(Commanding(b.st, 0), s.entries) << "after clicking row " << s.row;
    }
    // Granting a right reserved the output, which no event switches any more;
    // clearing rights does not undo that, and the other outputs were not touched.
    EXPECT_EQ(b.st.image.Uscite[0].OUTRESERV, 1);
    EXPECT_EQ(b.st.image.Uscite[0].MaskEventiPELIX_I, 0);
    EXPECT_EQ(b.st.image.Uscite[1].OUTRESERV, 0);
    EXPECT_EQ(b.st.image.Uscite[1].MaskEventiPELIX_I, 6);
    EXPECT_TRUE(Commanding(b.st, 1).empty());

    // The last entry in use is an end of any run that reaches it.
    PageBench::Click(page->StringGrid1, out1 + 3, 95);
    PageBench::Click(page->StringGrid1, out1 + 3, 93);
    EXPECT_EQ(Commanding(b.st, 3), (std::vector<int>{92, 93, 94}));
    PageBench::Click(page->StringGrid1, out1 + 3, 95);
    EXPECT_EQ(Commanding(b.st, 3), (std::vector<int>{92, 93}));
    EXPECT_EQ(b.st.image.Uscite[3].OUTRESERV, 1);
}

TEST(TelefonoPage, NoRightsWhileTheTreeRewritesItself)
{
    PageBench b(kModelI, "1.00");
    auto* page = b.Open<TfrmTelefono>();
    b.st.flags.selectionGuard = true;
    PageBench::Click(page->StringGrid1, TfrmTelefono::ColOut1, 1);
    b.st.flags.selectionGuard = false;
    EXPECT_TRUE(Commanding(b.st, 0).empty());
    EXPECT_EQ(b.st.image.Uscite[0].OUTRESERV, 0);
}

TEST(TelefonoPage, ModelAShowsEightEntriesAndClearsTheRest)
{
    PageBench b(kModelA, "1.00");
    b.st.image.NumTel[2].Numero = "0612345";
    b.st.image.NumTel[20].Numero = "0399999";
    auto* page = b.Open<TfrmTelefono>();
    EXPECT_EQ(page->StringGrid1->rowCount(), 9);
    EXPECT_TRUE(page->Panel1->isHidden());
    EXPECT_EQ(page->StringGrid1->Cells(TfrmTelefono::ColPhone, 3), "0612345");

    for (int col = TfrmTelefono::ColSms; col <= TfrmTelefono::ColOut4; ++col) PageBench::Click(page->StringGrid1, col, 1);
    for (const Tag_NumTel& e : b.st.image.NumTel) EXPECT_EQ(e.Uscite, 0);
    for (const Tag_Uscita& u : b.st.image.Uscite) EXPECT_EQ(u.OUTRESERV, 0);

    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.NumTel[2].Numero, "0612345");
    EXPECT_EQ(b.st.image.NumTel[7].Descrizione, "Number 08");
    for (int e = 8; e < kPhoneEntries; ++e) {
        EXPECT_TRUE(b.st.image.NumTel[static_cast<std::size_t>(e)].Descrizione.empty()) << e;
        EXPECT_TRUE(b.st.image.NumTel[static_cast<std::size_t>(e)].Numero.empty()) << e;
    }
}

TEST(TelefonoPage, DigitsToRemoveFollowModelAndRelease)
{
    const struct {
        std::uint8_t model;
        const char* release;
        bool enabled;
    } cases[] = {
        {kModelA, "1.00", false}, {kModelA, "", false}, {kModelA, "1.10", true},
        {kModelI, "1.00", true},  {kModelG, "2.10", true},
    };
    for (const auto& c : cases) {
        PageBench b(c.model, c.release);
        b.st.image.Opzioni.CifreRim = 3;
        auto* page = b.Open<TfrmTelefono>();
        EXPECT_EQ(page->SpinEdit1->isEnabled(), c.enabled) << int(c.model) << " " << c.release;
        EXPECT_EQ(page->GroupBox4->isEnabled(), c.enabled);
        EXPECT_EQ(page->SpinEdit1->value(), 3);
        ASSERT_TRUE(b.Leave());
        EXPECT_EQ(b.st.image.Opzioni.CifreRim, 3);  // a disabled box keeps the stored value
    }
}

TEST(TelefonoPage, TypedNamesNumbersAndPrefix)
{
    PageBench b(kModelG, "3.10");
    auto* page = b.Open<TfrmTelefono>();
    PageGrid* g = page->StringGrid1;
    const int name = TfrmTelefono::ColName;
    const int phone = TfrmTelefono::ColPhone;

    ASSERT_TRUE(TypeIn(g, phone, 1, "0039a 12+3x"));
    EXPECT_EQ(g->Cells(phone, 1), "003912+3");  // letters and blanks refused, "+" anywhere
    ASSERT_TRUE(TypeIn(g, phone, 2, "1234567890123456789012"));
    EXPECT_EQ(g->Cells(phone, 2), "12345678901234567890");
    ASSERT_TRUE(TypeIn(g, name, 2, "Warehouse night guard 2"));
    EXPECT_EQ(g->Cells(name, 2), "Warehouse night guar");

    // Pasted text reaches the editor without passing the key filter.
    QLineEdit* e = PageBench::EditCell(g, phone, 3);
    ASSERT_NE(e, nullptr);
    e->selectAll();
    e->insert("AT\"+39 333-1234567\"");
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(g->Cells(phone, 3), "+393331234567");

    // Only the text columns open an editor.
    for (int col : {TfrmTelefono::ColSms, TfrmTelefono::ColOut1, TfrmTelefono::ColOut4})
        EXPECT_FALSE(TypeIn(g, col, 1, "1")) << col;

    PageBench::Type(page->LabeledEdit1, "0a9x12");
    EXPECT_EQ(page->LabeledEdit1->text(), "0912");
    page->SpinEdit1->setValue(2);

    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.NumTel[0].Numero, "003912+3");
    EXPECT_EQ(b.st.image.NumTel[1].Numero, "12345678901234567890");
    EXPECT_EQ(b.st.image.NumTel[1].Descrizione, "Warehouse night guar");
    EXPECT_EQ(b.st.image.NumTel[2].Numero, "+393331234567");
    EXPECT_EQ(b.st.image.Opzioni.Prefisso, "0912");
    EXPECT_EQ(b.st.image.Opzioni.CifreRim, 2);
}

TEST(TelefonoPage, TextStillInTheEditorIsKept)
{
    PageBench b(kModelI, "1.00");
    auto* page = b.Open<TfrmTelefono>();
    QLineEdit* e = PageBench::EditCell(page->StringGrid1, TfrmTelefono::ColName, 4);
    ASSERT_NE(e, nullptr);
    e->selectAll();
    QTest::keyClicks(e, "Office");
    ASSERT_TRUE(b.Leave());  // left by a command while the editor is open
    EXPECT_EQ(b.st.image.NumTel[3].Descrizione, "Office");
}

TEST(TelefonoPage, HintsNameTheColumnUnderTheMouse)
{
    PageBench b(kModelI, "1.00");
    auto* page = b.Open<TfrmTelefono>();
    PageGrid* g = page->StringGrid1;
    const struct {
        int col;
        int text;
    } cases[] = {{TfrmTelefono::ColPhone, 402}, {TfrmTelefono::ColSms, 403}, {TfrmTelefono::ColOut1 + 2, 404}};
    for (const auto& c : cases) {
        QTest::mouseMove(g->viewport(), g->visualRect(g->model()->index(2, c.col)).center());
        EXPECT_EQ(page->StaticText1->text().toStdString(), b.st.Text(c.text)) << c.col;
    }
}

namespace {

// Whether the cell shows the red marker of numbers that receive input SMS.
bool ShowsSmsMarker(PageGrid* g, int row)
{
    g->scrollTo(g->model()->index(row, TfrmTelefono::ColSms));
    const QImage cell = g->viewport()->grab(g->visualRect(g->model()->index(row, TfrmTelefono::ColSms))).toImage();
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x) {
            const QColor c = cell.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100) return true;
        }
    return false;
}

}  // namespace

// The marker follows the inputs each model stores: seven on PELIX-I, eight on
// PELIX-G; the SMS masks have eight bits, so only the first eight rows can carry it.
TEST(TelefonoPage, SmsMarkerFollowsTheInputsOfTheModel)
{
    const struct {
        std::uint8_t model;
        int input;
        int entry;
        bool marked;
    } cases[] = {
        {kModelG, 7, 0, true}, {kModelI, 7, 0, false}, {kModelI, 6, 0, true},
        {kModelI, 0, 7, true}, {kModelA, 0, 1, false},
    };
    for (const auto& c : cases) {
        PageBench b(c.model, "1.10");
        b.st.image.Ingresso[static_cast<std::size_t>(c.input)].MaskSms = static_cast<std::uint8_t>(1u << c.entry);
        auto* page = b.Open<TfrmTelefono>();
        EXPECT_EQ(ShowsSmsMarker(page->StringGrid1, c.entry + 1), c.marked)
            << "model " << int(c.model) << " input " << c.input << " entry " << c.entry;
        EXPECT_FALSE(ShowsSmsMarker(page->StringGrid1, c.entry + 2));
    }
}

TEST(TelefonoPage, HeadingsStayInViewWhileScrolling)
{
    PageBench b(kModelG, "3.10");
    auto* page = b.Open<TfrmTelefono>();
    PageGrid* g = page->StringGrid1;
    g->scrollToBottom();
    QApplication::processEvents();
    ASSERT_GT(g->rowAt(g->viewport()->height() - 2), 80);

    // The heading row stays above the viewport.
    auto* strip = g->findChild<QWidget*>(QStringLiteral("headingStrip"));
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->geometry().bottom() + 1, g->viewport()->geometry().top());
    auto heading = [g](int col) { return QPoint(g->columnViewportPosition(col) + 10, 8); };
    QTest::mouseMove(strip, heading(TfrmTelefono::ColPhone));
    EXPECT_EQ(page->StaticText1->text().toStdString(), b.st.Text(402));
    QTest::mouseClick(strip, Qt::LeftButton, {}, heading(TfrmTelefono::ColOut1));
    EXPECT_TRUE(Commanding(b.st, 0).empty());
    EXPECT_EQ(b.st.image.Uscite[0].OUTRESERV, 0);
}
