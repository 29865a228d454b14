#include "pagebench.h"

#include "../link/linkfixture.h"
#include "pages/comdig.h"
#include "pages/schedule.h"
#include "pages/sms.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>

using namespace pelix;
using pelix::test::PageBench;

namespace {

enum { A_Pol = 1, A_SmsA = 2, A_Tel1 = 4, A_Serv = 12, A_UsaGsm = 13, A_Commuta = 14 };
enum { E_Pol = 1, E_Tel1 = 2, E_Attiv = 10, E_Ripr = 11, E_FunA = 12, E_FunB = 13 };

// Picks item `index` of a combo cell the way the keyboard does.
void Choose(PageGrid* grid, int col, int row, int index)
{
    grid->setCurrentCell(row, col);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(grid->indexWidget(grid->model()->index(row, col)));
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    QApplication::processEvents();  // the view commits the editor on the next turn
}

}  // namespace

TEST(SmsPageA, ChoicesAndTheInput4Switch)
{
    PageBench b(kModelA, "1.10");
    b.st.image.Opzioni.UsaGsm = 1;
    auto* page = b.Open<TfrmSms>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->pnlA->isVisible());
    EXPECT_FALSE(page->pnlEventi->isVisible());

    Choose(page->HyperGrid1, A_SmsA, 2, 3);
    EXPECT_EQ(b.st.image.Ingresso[1].SmsA, 3);
    EXPECT_EQ(page->HyperGrid1->Cells(A_SmsA, 2), FromCp1252(b.st.Text(63)) + "3");

    // Input 4 switches the line to GSM: its choice shows but is not kept.
    Choose(page->HyperGrid1, A_SmsA, 4, 5);
    EXPECT_TRUE(page->HyperGrid1->Cells(A_SmsA, 4).endsWith("5"));
    EXPECT_EQ(b.st.image.Ingresso[3].SmsA, 0);
    PageBench::Click(page->HyperGrid1, A_Tel1 + 2, 4);
    EXPECT_EQ(b.st.image.Ingresso[3].MaskSms, 0);

    // Switch and call instead: input 4 calls the first number only, and the
    // switch to GSM goes off.
    b.st.image.Ingresso[3].MaskTel = 0x0E;
    PageBench::Click(page->HyperGrid1, A_Commuta, 4);
    EXPECT_EQ(b.st.image.Opzioni.CommutaChiama, 1);
    EXPECT_EQ(b.st.image.Opzioni.UsaGsm, 0);
    EXPECT_EQ(b.st.image.Ingresso[3].MaskTel, 1);
    PageBench::Click(page->HyperGrid1, A_Commuta, 4);
    EXPECT_EQ(b.st.image.Opzioni.CommutaChiama, 0);
    EXPECT_EQ(b.st.image.Ingresso[3].MaskTel, 0);

    // A service input forgets its recipients and texts.
    b.st.image.Ingresso[0].MaskSms = 0x05;
    b.st.image.Ingresso[0].SmsR = 4;
    PageBench::Click(page->HyperGrid1, A_Serv, 1);
    EXPECT_EQ(b.st.image.Ingresso[0].Serv, 1);
    EXPECT_EQ(b.st.image.Ingresso[0].MaskSms, 0);
    EXPECT_EQ(b.st.image.Ingresso[0].SmsR, 0);
    PageBench::Click(page->HyperGrid1, A_Tel1, 1);
    EXPECT_EQ(b.st.image.Ingresso[0].MaskSms, 0);
    PageBench::Click(page->HyperGrid1, A_Pol, 1);
    EXPECT_EQ(b.st.image.Ingresso[0].Polarita, 0);
}

TEST(SmsPageA, AnOldReleaseHasNoServiceInputsNorSwitch)
{
    PageBench b(kModelA, "1.00");
    b.st.image.Ingresso[1].Serv = 1;
    b.st.image.Opzioni.UsaGsm = 1;
    auto* page = b.Open<TfrmSms>();
    EXPECT_EQ(b.st.image.Opzioni.UsaGsm, 0);  // forced off on show
    PageBench::Click(page->HyperGrid1, A_Serv, 2);
    EXPECT_EQ(b.st.image.Ingresso[1].Serv, 0);
    PageBench::Click(page->HyperGrid1, A_Serv, 2);
    EXPECT_EQ(b.st.image.Ingresso[1].Serv, 0);
    PageBench::Click(page->HyperGrid1, A_UsaGsm, 4);
    EXPECT_EQ(b.st.image.Opzioni.UsaGsm, 0);
}

TEST(SmsPageA, TextsAreFilteredAndCutWhenTheyAreStored)
{
    PageBench b(kModelA);
    b.st.image.Sms[2] = std::string(130, 'x');
    auto* page = b.Open<TfrmSms>();
    ASSERT_TRUE(PageBench::TypeCell(page->StringGrid3, 1, 1, "Alarm [zone] 1_^  "));
    EXPECT_EQ(page->StringGrid3->Cells(1, 1), "Alarm zone 1  ");
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.Sms[1], "Alarm zone 1");
    EXPECT_EQ(b.st.image.Sms[2], std::string(120, 'x'));
}

struct SmsEvents : ::testing::TestWithParam<std::uint8_t> {};

TEST_P(SmsEvents, AFunctionClearsTheInputsTextsRecipientsAndReports)
{
    const bool g = GetParam() == kModelG;
    PageBench b(GetParam());
    for (int i = 0; i < 3; ++i) {
        auto& in = b.st.image.Ingresso[static_cast<std::size_t>(i)];
        in.MaskSms = 0x81;
        in.SMSAttiv = "on";
        in.SMSRipr = "off";
    }
    for (auto& e : b.st.image.ComDig.Eventi) e.Invia = 1;
    TfrmSms* page = g ? b.Open<TfrmSmsPELIXG>() : b.Open<TfrmSms>();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->pnlA->isVisible());
    EXPECT_EQ(page->HyperGrid2->rowCount(), g ? 9 : 8);

    // PELIX-I: B on input 1 brings A with it. PELIX-G: input 1 has no B, so
    // B on input 2 is the one that brings A.
    const int row = g ? 2 : 1;
    if (g) {
        PageBench::Click(page->HyperGrid2, E_FunB, 1);
        EXPECT_EQ(b.st.image.Ingresso[0].ServPELIX_I_2, 0);
        EXPECT_EQ(b.st.image.Ingresso[0].SMSAttiv, "on");
    }
    PageBench::Click(page->HyperGrid2, E_FunB, row);
    const auto& in = b.st.image.Ingresso[static_cast<std::size_t>(row - 1)];
    EXPECT_EQ(in.ServPELIX_I_1, 1);
    EXPECT_EQ(in.ServPELIX_I_2, 1);
    EXPECT_EQ(in.MaskSms, 0);
    EXPECT_TRUE(in.SMSAttiv.empty());
    EXPECT_TRUE(in.SMSRipr.empty());
    EXPECT_EQ(page->HyperGrid2->Cells(E_Attiv, row), "");
    EXPECT_EQ(b.st.image.ComDig.Eventi[static_cast<std::size_t>(2 * (row - 1))].Invia, 0);
    EXPECT_EQ(b.st.image.ComDig.Eventi[static_cast<std::size_t>(2 * (row - 1) + 1)].Invia, 0);
    EXPECT_EQ(b.st.image.ComDig.Eventi[static_cast<std::size_t>(2 * row)].Invia, 1);

    // Its recipients and texts are locked while the function is set.
    PageBench::Click(page->HyperGrid2, E_Tel1, row);
    EXPECT_EQ(in.MaskSms, 0);
    EXPECT_EQ(PageBench::EditCell(page->HyperGrid2, E_Attiv, row), nullptr);

    if (g) {
        // A click on A while B is set takes both away.
        PageBench::Click(page->HyperGrid2, E_FunA, row);
        EXPECT_EQ(in.ServPELIX_I_1, 0);
        EXPECT_EQ(in.ServPELIX_I_2, 0);
    } else {
        // B on input 3 also fixes its polarity, which then stays.
        PageBench::Click(page->HyperGrid2, E_FunB, 3);
        EXPECT_EQ(b.st.image.Ingresso[2].ServPELIX_I_1, 1);
        EXPECT_EQ(b.st.image.Ingresso[2].Polarita, 0);
        PageBench::Click(page->HyperGrid2, E_Pol, 3);
        EXPECT_EQ(b.st.image.Ingresso[2].Polarita, 0);
        EXPECT_TRUE(page->edNtelADT->isEnabled());
    }
    ASSERT_TRUE(b.Leave());
    EXPECT_TRUE(b.st.image.Ingresso[static_cast<std::size_t>(row - 1)].SMSAttiv.empty());
}

TEST_P(SmsEvents, ThePeriodicGroupFollowsTheLastRowsText)
{
    const bool g = GetParam() == kModelG;
    PageBench b(GetParam());
    const int last = g ? 8 : 7;
    b.st.image.Ingresso[static_cast<std::size_t>(last - 1)].SMSAttiv = "Periodic";
    TfrmSms* page = g ? b.Open<TfrmSmsPELIXG>() : b.Open<TfrmSms>();
    EXPECT_TRUE(page->gbSmsPeriodico->isEnabled());
    EXPECT_TRUE(page->gbSmsPeriodico->edGiorni->isEnabled());

    // The function that fixes the first moment itself: input 1 (PELIX-I) or
    // A on input 2 (PELIX-G).
    PageBench::Click(page->HyperGrid2, E_FunA, g ? 2 : 1);
    EXPECT_FALSE(page->gbSmsPeriodico->DatePrimoSMS->isEnabled());
    EXPECT_TRUE(page->gbSmsPeriodico->edMin->isEnabled());

    ASSERT_TRUE(PageBench::TypeCell(page->HyperGrid2, E_Attiv, last, ""));
    EXPECT_FALSE(page->gbSmsPeriodico->isEnabled());
    EXPECT_FALSE(page->gbSmsPeriodico->edGiorni->isEnabled());
    ASSERT_TRUE(PageBench::TypeCell(page->HyperGrid2, E_Attiv, last, "Test"));
    EXPECT_TRUE(page->gbSmsPeriodico->edGiorni->isEnabled());
    // The last row has no restore text.
    EXPECT_EQ(PageBench::EditCell(page->HyperGrid2, E_Ripr, last), nullptr);
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.Ingresso[static_cast<std::size_t>(last - 1)].SMSAttiv, "Test");
}

TEST_P(SmsEvents, EventTextKeysAndLength)
{
    const bool g = GetParam() == kModelG;
    PageBench b(GetParam());
    TfrmSms* page = g ? b.Open<TfrmSmsPELIXG>() : b.Open<TfrmSms>();
    ASSERT_TRUE(PageBench::TypeCell(page->HyperGrid2, E_Ripr, 5, QString(101, u'y')));
    EXPECT_EQ(page->HyperGrid2->Cells(E_Ripr, 5), QString(100, u'y'));
    ASSERT_TRUE(PageBench::TypeCell(page->HyperGrid2, E_Attiv, 2, "Door! open; now"));
    EXPECT_EQ(page->HyperGrid2->Cells(E_Attiv, 2), g ? "Door open now" : "Door! open; now");
    // Pasted text passes the same filter.
    QLineEdit* e = PageBench::EditCell(page->HyperGrid2, E_Attiv, 3);
    ASSERT_NE(e, nullptr);
    e->insert("a;b");
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(page->HyperGrid2->Cells(E_Attiv, 3), g ? "ab" : "a;b");
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.Ingresso[4].SMSRipr, std::string(100, 'y'));
}

INSTANTIATE_TEST_SUITE_P(Models, SmsEvents, ::testing::Values(kModelI, kModelG));

TEST(SmsPageG, TheNormaliserRoundsTheIntervalAndTheFirstMomentIsKept)
{
    PageBench b(kModelG);
    b.st.image.Ingresso[7].SMSAttiv = "Periodic";
    b.st.image.Opzioni.SMSPrimoUnix = 1767268800;  // 2026-01-01 12:00
    auto* page = b.Open<TfrmSmsPELIXG>();
    auto* s = page->gbSmsPeriodico;
    EXPECT_EQ(s->TimePrimoSMS->time(), QTime(12, 0));
    struct Case {
        const char *d, *h, *m, *days, *hours, *minutes;
    };
    for (const Case& c : {Case{"0", "0", "2", "0", "0", "5"}, Case{"0", "0", "8", "0", "0", "10"},
                          Case{"1", "23", "59", "2", "0", "0"}, Case{"0", "0", "0", "0", "0", "5"}}) {
        PageBench::Type(s->edGiorni, c.d);
        PageBench::Type(s->edOre, c.h);
        PageBench::Type(s->edMin, c.m);
        PageBench::LeaveBox(s->edMin);
        EXPECT_EQ(s->edGiorni->text(), c.days) << c.d << " " << c.h << " " << c.m;
        EXPECT_EQ(s->edOre->text(), c.hours);
        EXPECT_EQ(s->edMin->text(), c.minutes);
    }
    // Closing normalises what was typed but not yet left.
    PageBench::Type(s->edMin, "13");
    s->TimePrimoSMS->setTime(QTime(7, 30, 45));
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.Opzioni.SMSIntervallo, 15u);
    EXPECT_EQ(b.st.image.Opzioni.SMSPrimoUnix, 1767268800u - 12 * 3600 + 7 * 3600 + 30 * 60);
}

TEST(SmsPageI, IntervalBoxesAreCorrectedWhileTyping)
{
    PageBench b(kModelI);
    b.st.image.Ingresso[6].SMSAttiv = "Periodic";
    b.st.image.Opzioni.SMSIntervallo = 3 * 1440 + 4 * 60 + 5;
    auto* page = b.Open<TfrmSms>();
    auto* s = page->gbSmsPeriodico;
    EXPECT_EQ(s->edGiorni->text(), "3");
    EXPECT_EQ(s->edOre->text(), "4");
    EXPECT_EQ(s->edMin->text(), "5");
    s->edGiorni->setFocus();
    s->edGiorni->selectAll();
    QTest::keyClick(s->edGiorni, Qt::Key_Backspace);
    EXPECT_EQ(s->edGiorni->text(), "0");
    PageBench::Type(s->edGiorni, "999");
    EXPECT_EQ(s->edGiorni->text(), "693");
    PageBench::Type(s->edMin, "2");
    ASSERT_TRUE(b.Leave());
    // No rounding on this model.
    EXPECT_EQ(b.st.image.Opzioni.SMSIntervallo, 693u * 1440 + 4 * 60 + 2);
}

TEST(SmsPageCredit, QueryStringAndIntervalAndPriority)
{
    {
        PageBench b(kModelG);
        auto* page = b.Open<TfrmSmsPELIXG>();
        EXPECT_FALSE(page->CheckBox1->isVisible());
        EXPECT_EQ(page->Edit1->text(), "*123#");
        PageBench::Type(page->Edit1, "*1a2 3#");
        EXPECT_EQ(page->Edit1->text(), "*123#");
        page->RadioButton2->click();
        ASSERT_TRUE(b.Leave());
        EXPECT_EQ(b.st.image.Opzioni.StringaControllo, "  *123#");
        EXPECT_EQ(b.st.image.Opzioni.Priorita, 1);
        page = b.Open<TfrmSmsPELIXG>();
        EXPECT_EQ(page->Edit1->text(), "*123#");
        EXPECT_TRUE(page->RadioButton2->isChecked());
    }
    {
        PageBench b(kModelI);
        auto* page = b.Open<TfrmSms>();
        EXPECT_FALSE(page->Edit1->isVisible());
        EXPECT_FALSE(page->edIntervallocredito->isEnabled());
        page->CheckBox1->click();
        EXPECT_TRUE(page->edIntervallocredito->isEnabled());
        PageBench::Type(page->edIntervallocredito, "150");
        EXPECT_EQ(page->edIntervallocredito->text(), "99");
        ASSERT_TRUE(b.Leave());
        EXPECT_EQ(b.st.image.Opzioni.ControlloCreditoAttivo, 1);
        EXPECT_EQ(b.st.image.Opzioni.ControlloCredito, 99);
        page = b.Open<TfrmSms>();
        page->CheckBox1->click();
        ASSERT_TRUE(b.Leave());
        EXPECT_EQ(b.st.image.Opzioni.ControlloCreditoAttivo, 0);
        EXPECT_EQ(b.st.image.Opzioni.ControlloCredito, 0);
    }
}

TEST(SmsPageCredit, TheButtonAsksTheNetworkThroughTheDevice)
{
    pelix::test::SimLink link(pelix::test::Device(sim::Model::G));
    PageBench b(kModelG);
    auto* page = b.Open<TfrmSmsPELIXG>();
    page->creditPort = &link.port;
    page->butt->click();
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0].text, "\"Credit 10.00 EUR\",15");
    EXPECT_EQ(link.Count("AT+CUSD=1, \"*123#\""), 1);
    EXPECT_FALSE(link.port.isOpen());
    EXPECT_FALSE(link.ThroughConnected());
}

TEST(SmsPageCredit, ASilentDeviceIsReported)
{
    pelix::test::RawLine line(kModelG);
    PageBench b(kModelG);
    auto* page = b.Open<TfrmSmsPELIXG>();
    page->creditPort = &line.port;
    page->butt->click();
    ASSERT_EQ(b.fb.messages.size(), 1u);
    EXPECT_EQ(b.fb.messages[0].text, b.st.Text(237));
}

TEST(SmsPageG, HintsNameTheNumberAndLightTheLegendRow)
{
    PageBench b(kModelG);
    b.st.image.NumTel[2].Descrizione = "Guard";
    b.st.image.NumTel[2].Numero = "0212";
    b.st.image.Ingresso[1].SMSAttiv = "Door open";
    auto* page = b.Open<TfrmSmsPELIXG>();
    PageGrid* grid = page->HyperGrid2;
    const auto hover = [grid](int col, int row) {
        QTest::mouseMove(grid->viewport(), grid->visualRect(grid->model()->index(row, col)).center());
        QApplication::processEvents();
    };
    hover(E_Tel1 + 2, 1);
    EXPECT_EQ(page->StaticText2->text(), FromCp1252(b.st.Text(421)) + "  -  Guard[0212]");
    hover(E_Attiv, 2);
    EXPECT_EQ(page->StaticText2->text(), FromCp1252(b.st.Text(422)));
    EXPECT_EQ(grid->toolTip(), "Door open");

    // Legend row 4 is input 2's function B.
    hover(E_FunB, 2);
    EXPECT_EQ(grid->toolTip(), FromCp1252(b.st.Text(177)));
    EXPECT_EQ(page->sgLegenda->item(4, 2)->foreground().color(), QColor(Qt::red));
    EXPECT_NE(page->sgLegenda->item(3, 2)->foreground().color(), QColor(Qt::red));
    hover(E_Ripr, 1);
    EXPECT_NE(page->sgLegenda->item(4, 2)->foreground().color(), QColor(Qt::red));
}
