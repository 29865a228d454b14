#include "pages/avvtel.h"
#include "pagebench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

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

using A = TfrmAvvTel;

// Chooses item `index` in the message list of an input row, as the user does
// with the keyboard on the open list.
void ChooseMessage(TfrmAvvTel* page, int row, int index)
{
    PageBench::Click(page->HyperGrid1, A::ColMessage, row);
    auto* combo = page->HyperGrid1->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
}

QStringList Items(QComboBox* c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
    return l;
}

}  // namespace

TEST(AvvTelPage, ReleaseBelow11HasNoServiceAndNoLineSwitch)
{
    PageBench b(kModelA, "1.00");
    b.st.image.Opzioni.UsaGsm = 1;
    b.st.image.Ingresso[1].Serv = 1;
    b.st.image.Ingresso[3].MaskTel = 0x05;
    auto* page = b.Open<TfrmAvvTel>();
    EXPECT_EQ(b.st.image.Opzioni.UsaGsm, 0);       // cleared when the page opens
    EXPECT_EQ(b.st.image.Ingresso[3].MaskTel, 0x05);  // and input 4 keeps its calls

    PageBench::Click(page->HyperGrid1, A::ColService, 2);
    EXPECT_EQ(b.st.image.Ingresso[1].Serv, 0);
    PageBench::Click(page->HyperGrid1, A::ColService, 2);
    EXPECT_EQ(b.st.image.Ingresso[1].Serv, 0);
    PageBench::Click(page->HyperGrid1, A::ColUsaGsm, 4);
    PageBench::Click(page->HyperGrid1, A::ColCommutaChiama, 4);
    EXPECT_EQ(b.st.image.Opzioni.UsaGsm, 0);
    EXPECT_EQ(b.st.image.Opzioni.CommutaChiama, 0);
}

TEST(AvvTelPage, Input4LineSwitchesTakeTheInputOver)
{
    PageBench b(kModelA, "1.10");
    Tag_Ingresso& in4 = b.st.image.Ingresso[3];
    const Tag_Opzioni& o = b.st.image.Opzioni;
    in4.MaskTel = 0x06;
    in4.MaskSms = 0x03;
    in4.Messaggio = 5;
    in4.SmsA = 2;
    auto* page = b.Open<TfrmAvvTel>();
    PageGrid* g = page->HyperGrid1;

    // Switch-to-GSM: input 4 calls nobody and sends nothing, its numbers lock.
    PageBench::Click(g, A::ColUsaGsm, 4);
    EXPECT_EQ(o.UsaGsm, 1);
    EXPECT_EQ(in4.MaskTel, 0);
    EXPECT_EQ(in4.MaskSms, 0);
    EXPECT_EQ(in4.Messaggio, 0);
    EXPECT_EQ(in4.SmsA, 0);
    PageBench::Click(g, A::ColNumber1 + 2, 4);
    EXPECT_EQ(in4.MaskTel, 0);
    ChooseMessage(page, 4, 3);
    EXPECT_EQ(in4.Messaggio, 0);

    // Switch-and-call replaces it: number 1 only, message 0, no SMS.
    PageBench::Click(g, A::ColCommutaChiama, 4);
    EXPECT_EQ(o.CommutaChiama, 1);
    EXPECT_EQ(o.UsaGsm, 0);
    EXPECT_EQ(in4.MaskTel, 0x01);
    PageBench::Click(g, A::ColNumber1 + 1, 4);  // numbers 2 to 8 are locked
    PageBench::Click(g, A::ColNumber1, 4);      // and number 1 stays
    EXPECT_EQ(in4.MaskTel, 0x01);

    // Switching to GSM again clears switch-and-call.
    PageBench::Click(g, A::ColUsaGsm, 4);
    EXPECT_EQ(o.UsaGsm, 1);
    EXPECT_EQ(o.CommutaChiama, 0);
    PageBench::Click(g, A::ColCommutaChiama, 4);
    ASSERT_EQ(o.CommutaChiama, 1);

    // Clearing switch-and-call also clears the tick of number 1.
    PageBench::Click(g, A::ColCommutaChiama, 4);
    EXPECT_EQ(o.CommutaChiama, 0);
    EXPECT_EQ(in4.MaskTel, 0);
    PageBench::Click(g, A::ColNumber1 + 4, 4);
    EXPECT_EQ(in4.MaskTel, 0x10);

    // The switch columns belong to input 4 alone.
    PageBench::Click(g, A::ColUsaGsm, 2);
    PageBench::Click(g, A::ColCommutaChiama, 3);
    EXPECT_EQ(o.UsaGsm, 0);
    EXPECT_EQ(o.CommutaChiama, 0);
}

TEST(AvvTelPage, SwitchToGsmStoredWithRelease11ClearsInput4OnOpening)
{
    PageBench b(kModelA, "1.10");
    b.st.image.Opzioni.UsaGsm = 1;
    b.st.image.Opzioni.CommutaChiama = 1;
    b.st.image.Ingresso[3].MaskTel = 0xFF;
    b.st.image.Ingresso[3].Serv = 1;
    b.Open<TfrmAvvTel>();
    EXPECT_EQ(b.st.image.Opzioni.UsaGsm, 1);
    EXPECT_EQ(b.st.image.Opzioni.CommutaChiama, 0);
    EXPECT_EQ(b.st.image.Ingresso[3].MaskTel, 0);
    EXPECT_EQ(b.st.image.Ingresso[3].Serv, 0);
}

TEST(AvvTelPage, ServiceInputCallsAndSendsNothing)
{
    PageBench b(kModelA, "1.10");
    Tag_Ingresso& in2 = b.st.image.Ingresso[1];
    in2.MaskTel = 0x81;
    in2.MaskSms = 0x02;
    in2.Messaggio = 6;
    in2.SmsA = 3;
    in2.SmsR = 4;
    auto* page = b.Open<TfrmAvvTel>();
    PageBench::Click(page->HyperGrid1, A::ColService, 2);
    EXPECT_EQ(in2.Serv, 1);
    EXPECT_EQ(in2.MaskTel, 0);
    EXPECT_EQ(in2.MaskSms, 0);
    EXPECT_EQ(in2.Messaggio, 0);
    EXPECT_EQ(in2.SmsA, 0);
    EXPECT_EQ(in2.SmsR, 0);
    EXPECT_EQ(page->HyperGrid1->Cells(A::ColMessage, 2), "Message 01");

    PageBench::Click(page->HyperGrid1, A::ColNumber1 + 1, 2);
    EXPECT_EQ(in2.MaskTel, 0);
    ChooseMessage(page, 2, 4);
    EXPECT_EQ(in2.Messaggio, 0);

    // Back to a normal input: numbers, message and polarity answer again.
    PageBench::Click(page->HyperGrid1, A::ColService, 2);
    PageBench::Click(page->HyperGrid1, A::ColNumber1 + 1, 2);
    ChooseMessage(page, 2, 4);
    const int polarity = in2.Polarita;
    PageBench::Click(page->HyperGrid1, A::ColPolarity, 2);
    EXPECT_EQ(in2.Serv, 0);
    EXPECT_EQ(in2.MaskTel, 0x02);
    EXPECT_EQ(in2.Messaggio, 4);
    EXPECT_EQ(in2.Polarita, polarity ? 0 : 1);
}

TEST(AvvTelPage, RenamedMessageReachesTheListsWhenTheGridIsLeft)
{
    PageBench b(kModelA, "1.10");
    b.st.image.Ingresso[0].Messaggio = 2;
    auto* page = b.Open<TfrmAvvTel>();
    ASSERT_TRUE(TypeIn(page->StringGrid2, 1, 3, "Burglary ground floor!"));
    EXPECT_EQ(page->StringGrid2->Cells(1, 3), "Burglary ground floo");  // 20 characters

    QLineEdit* e = PageBench::EditCell(page->StringGrid2, 1, 5);  // a paste is held to 20 as well
    ASSERT_NE(e, nullptr);
    e->selectAll();
    e->insert("Fire alarm on the second floor");
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();

    PageBench::Click(page->HyperGrid1, A::ColMessage, 1);  // the focus leaves the labels
    EXPECT_EQ(b.st.image.Messaggi[4], "Fire alarm on the se");
    EXPECT_EQ(b.st.image.Messaggi[2], "Burglary ground floo");
    EXPECT_EQ(page->HyperGrid1->Cells(A::ColMessage, 1), "Burglary ground floo");
    auto* combo = page->HyperGrid1->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(Items(combo).value(2), "Burglary ground floo");
    EXPECT_EQ(combo->currentIndex(), 2);
}

TEST(AvvTelPage, DiallingModeCallBackAndPolarityAreWrittenBack)
{
    PageBench b(kModelA, "1.00");
    b.st.image.Opzioni.Voceinlinea = 0;  // none of the three set
    auto* page = b.Open<TfrmAvvTel>();
    EXPECT_TRUE(page->RadioButton1->isChecked());
    page->CheckBox1->click();
    PageBench::Click(page->HyperGrid1, A::ColPolarity, 3);
    PageBench::Click(page->HyperGrid1, A::ColNumber1 + 7, 3);
    ChooseMessage(page, 1, 7);
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.Opzioni.Voceinlinea, 1);
    EXPECT_EQ(b.st.image.Opzioni.Squillo, 0);
    EXPECT_EQ(b.st.image.Opzioni.Selezione, 0);
    EXPECT_EQ(b.st.image.Opzioni.Richiama, 1);
    EXPECT_EQ(b.st.image.Ingresso[2].Polarita, 0);
    EXPECT_EQ(b.st.image.Ingresso[2].MaskTel, 0x80);
    EXPECT_EQ(b.st.image.Ingresso[0].Messaggio, 7);

    b.st.image.Opzioni.Selezione = 1;
    page = b.Open<TfrmAvvTel>();
    EXPECT_TRUE(page->RadioButton3->isChecked());
    page->RadioButton2->click();
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.Opzioni.Voceinlinea, 0);
    EXPECT_EQ(b.st.image.Opzioni.Squillo, 1);
    EXPECT_EQ(b.st.image.Opzioni.Selezione, 0);
}

TEST(AvvTelPage, NumberHeadingsShowTheEntrysName)
{
    PageBench b(kModelA, "1.00");
    b.st.image.NumTel[2].Numero = "0612345";
    auto* page = b.Open<TfrmAvvTel>();
    PageGrid* g = page->HyperGrid1;
    QTest::mouseMove(g->viewport(), g->visualRect(g->model()->index(0, A::ColNumber1 + 2)).center());
    ASSERT_NE(g->NameLabel(), nullptr);
    EXPECT_TRUE(g->NameLabel()->isVisible());
    EXPECT_EQ(g->NameLabel()->text(), "Number 03[0612345]");
    QTest::mouseMove(g->viewport(), g->visualRect(g->model()->index(0, A::ColService)).center());
    EXPECT_FALSE(g->NameLabel()->isVisible());
}
