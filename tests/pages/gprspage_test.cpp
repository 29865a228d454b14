#include "pagebench.h"

#include "pages/gprs.h"

#include <QCheckBox>
#include <QSpinBox>

using namespace pelix;
using pelix::test::PageBench;

TEST(GprsPage, NumberBoxesKeepTheirRange)
{
    PageBench b(kModelG);
    auto* page = b.Open<TfrmGPRS>();
    ASSERT_NE(page, nullptr);
    PageBench::Type(page->APNE, "web.apn");
    PageBench::Type(page->IpE[0], "1");  // the second receiver's boxes take input
    struct Case {
        QLineEdit* box;
        const char* typed;
        const char* shown;
    };
    for (const Case& c : {Case{page->IpE[0], "300", "255"}, Case{page->IpE[1], "25", "25"},
                          Case{page->Ip2E[3], "256", "255"}, Case{page->IpE[2], "1a2", "12"},
                          Case{page->PortE, "70000", "65535"}, Case{page->Port2E, "8080", "8080"},
                          Case{page->IpE[3], "99999999999999999999", "255"}}) {
        PageBench::Type(c.box, c.typed);
        EXPECT_EQ(c.box->text(), c.shown) << c.box->objectName().toStdString() << " " << c.typed;
    }
    // Pasted text is held to the same rule.
    page->IpE[3]->clear();
    page->IpE[3]->insert("7x");
    EXPECT_EQ(page->IpE[3]->text(), "7");
    page->IpE[3]->clear();
    page->IpE[3]->insert("777");
    EXPECT_EQ(page->IpE[3]->text(), "255");

    ASSERT_TRUE(b.Leave());
    const std::array<std::uint8_t, 4> ip{255, 25, 12, 255};
    EXPECT_EQ(b.st.image.GPRS.IP, ip);
    EXPECT_EQ(b.st.image.GPRS.Port, 65535);
    EXPECT_EQ(b.st.image.GPRS.Port2, 8080);
}

TEST(GprsPage, TheSecondReceiverNeedsAnApnAndAnAddress)
{
    PageBench b(kModelG);
    b.st.image.GPRS.APN2 = "old.apn";
    b.st.image.GPRS.IP = {10, 0, 0, 1};
    b.st.image.GPRS.IP2 = {10, 0, 0, 2};
    auto* page = b.Open<TfrmGPRS>();
    EXPECT_FALSE(page->APN2E->isEnabled());  // no APN yet
    EXPECT_FALSE(page->Ip2E[0]->isEnabled());
    PageBench::Type(page->APNE, "web");
    EXPECT_TRUE(page->APN2E->isEnabled());
    EXPECT_TRUE(page->Port2E->isEnabled());
    for (QLineEdit* e : page->IpE) PageBench::Type(e, "0");
    EXPECT_FALSE(page->APN2E->isEnabled());
    PageBench::Type(page->IpE[3], "9");
    PageBench::Type(page->APN2E, "new.apn");
    PageBench::Type(page->Ip2E[0], "192");
    ASSERT_TRUE(b.Leave());
    const std::array<std::uint8_t, 4> ip{0, 0, 0, 9}, ip2{192, 0, 0, 2};
    EXPECT_EQ(b.st.image.GPRS.IP, ip);
    EXPECT_EQ(b.st.image.GPRS.IP2, ip2);
    EXPECT_EQ(b.st.image.GPRS.APN2, "new.apn");

    // Without an APN both addresses go and the second APN stays as it was.
    page = b.Open<TfrmGPRS>();
    PageBench::Type(page->APNE, "");
    EXPECT_FALSE(page->APN2E->isEnabled());
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.GPRS.IP, (std::array<std::uint8_t, 4>{}));
    EXPECT_EQ(b.st.image.GPRS.IP2, (std::array<std::uint8_t, 4>{}));
    EXPECT_EQ(b.st.image.GPRS.APN2, "new.apn");
}

TEST(GprsPage, IdentifiersArePaddedAndTextsFiltered)
{
    PageBench b(kModelG);
    b.st.image.GPRS.DNIS = "4C";  // stored short: its digits must survive the page
    auto* page = b.Open<TfrmGPRS>();
    EXPECT_EQ(page->DNISE->text(), "4C");
    b.Leave();
    EXPECT_EQ(b.st.image.GPRS.DNIS, "00000000004C");
    page = b.Open<TfrmGPRS>();
    PageBench::Type(page->DNISE, "7b");
    EXPECT_EQ(page->DNISE->text(), "7B");
    PageBench::Type(page->Edit1, "a5g");
    EXPECT_EQ(page->Edit1->text(), "A5");
    PageBench::Type(page->APNE, "my apn;$x!,y");
    page->APNE->insert(QStringLiteral("\u00a3z"));
    EXPECT_EQ(page->APNE->text(), "myapnxyz");
    PageBench::Type(page->Tel1E, "+39+12a3");
    EXPECT_EQ(page->Tel1E->text(), "+39123");
    PageBench::Type(page->Tel2E, "5+5");
    EXPECT_EQ(page->Tel2E->text(), "55");
    PageBench::Type(page->UserE, QString(40, u'u'));
    PageBench::Type(page->PasswordE, QString(40, u'p'));
    ASSERT_TRUE(b.Leave());
    const Tag_GPRS& g = b.st.image.GPRS;
    EXPECT_EQ(g.DNIS, "00000000007B");
    EXPECT_EQ(g.Account, "00000000A5");
    EXPECT_EQ(g.CID1, "+39123");
    EXPECT_EQ(g.CIDPresente, 1);
    EXPECT_EQ(g.UserName, std::string(30, 'u'));
    EXPECT_EQ(g.Pwd, std::string(16, 'p'));

    page = b.Open<TfrmGPRS>();
    EXPECT_EQ(page->DNISE->text(), "0007B");
    PageBench::Type(page->DNISE, "AB12C");
    page->Tel1E->clear();
    page->Tel2E->clear();
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.GPRS.DNIS, "0000000AB12C");
    EXPECT_EQ(b.st.image.GPRS.CIDPresente, 0);
    EXPECT_TRUE(b.st.image.GPRS.CID2.empty());
    page = b.Open<TfrmGPRS>();
    EXPECT_EQ(page->DNISE->text(), "AB12C");
}

TEST(GprsPage, SupervisionInMinutes)
{
    PageBench b(kModelG);
    auto* page = b.Open<TfrmGPRS>();
    EXPECT_FALSE(page->CBSupervi->isChecked());
    EXPECT_EQ(page->TempoE->text(), "-");
    EXPECT_FALSE(page->TempoE->isEnabled());
    page->CBSupervi->click();
    EXPECT_EQ(page->TempoE->text(), "1");
    EXPECT_TRUE(page->TempoE->isEnabled());
    page->TempoE->setValue(5);
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.GPRS.Super, 300);
    EXPECT_EQ(b.st.image.GPRS.SuperAttiva, 1);

    page = b.Open<TfrmGPRS>();
    EXPECT_EQ(page->TempoE->value(), 5);
    page->CBSupervi->click();
    EXPECT_EQ(page->TempoE->text(), "-");
    ASSERT_TRUE(b.Leave());
    EXPECT_EQ(b.st.image.GPRS.Super, 0);
    EXPECT_EQ(b.st.image.GPRS.SuperAttiva, 0);
}
