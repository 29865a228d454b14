#include "link/codec/sections.h"
#include "model/imageinit.h"

#include <gtest/gtest.h>

using namespace pelix;

namespace {

Tag_GlobalBuffer Defaults(int model)
{
    LanguageTexts none;
    Tag_GlobalBuffer img;
    WriteImageDefaults(img, model, none, 46000.5);
    return img;
}

std::string Section(const Tag_GlobalBuffer& img, int model, int n, std::uint32_t now = 1700000000)
{
    return BuildSections(img, model, "89390100001234567890F", now)[static_cast<std::size_t>(n - 1)].Testo;
}

}  // namespace

TEST(Sections, OutputWithEventMaskRoundTrips)
{
    Tag_GlobalBuffer img = Defaults(kModelI);
    img.Uscite[0].MaskEventiPELIX_I = 0x05;
    const std::string s1 = Section(img, kModelI, 1);
    EXPECT_EQ(s1.substr(0, 16), "O1=H;E:10100000;");
    EXPECT_EQ(s1.find("O5"), std::string::npos);  // output 5 is not written

    Tag_GlobalBuffer back = Defaults(kModelI);
    back.Uscite[0].MaskEventiPELIX_I = 0;
    DecodeSection(back, kModelI, 1, s1);
    EXPECT_EQ(back.Uscite[0].MaskEventiPELIX_I, 0x05);
    EXPECT_EQ(back.Uscite[3].Polarita, 0);
}

TEST(Sections, ReservedOutputWritesTheFirstRunOfNumbers)
{
    struct Case { std::vector<int> numbers; const char* run; };
    const Case cases[] = {{{3, 4, 5}, "03-05"}, {{3, 7}, "03-03"}, {{}, "00-00"}, {{1}, "01-01"}};
    for (const auto& c : cases) {
        Tag_GlobalBuffer img = Defaults(kModelG);
        img.Uscite[1].OUTRESERV = 1;
        img.Uscite[1].Messaggio = "Cancello garage";
        img.Uscite[1].Conferma = 2;
        for (int n : c.numbers) img.NumTel[static_cast<std::size_t>(n - 1)].Uscite = 0x02;
        const std::string s1 = Section(img, kModelG, 1);
        EXPECT_NE(s1.find(std::string("O2=H;M:Cancello,2;") + c.run + ",255;"), std::string::npos) << s1;
    }

    Tag_GlobalBuffer img = Defaults(kModelG);
    img.Uscite[2].OUTRESERV = 1;
    img.Uscite[2].Tipo = 1;
    img.Uscite[2].TempoOn = 30;
    img.NumTel[2].Uscite = img.NumTel[3].Uscite = img.NumTel[4].Uscite = 0x04;
    const std::string s1 = Section(img, kModelG, 1);
    EXPECT_NE(s1.find("O3=H;M:,0;03-05,030;"), std::string::npos) << s1;

    Tag_GlobalBuffer back = Defaults(kModelG);
    DecodeSection(back, kModelG, 1, s1);
    EXPECT_EQ(back.Uscite[2].OUTRESERV, 1);
    EXPECT_EQ(back.Uscite[2].Tipo, 1);
    EXPECT_EQ(back.Uscite[2].TempoOn, 30);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(back.NumTel[static_cast<std::size_t>(k)].Uscite, (k >= 2 && k <= 4) ? 0x04 : 0) << k;

    DecodeSection(back, kModelG, 1, "O1=H;M:Luce,1;01-02,255;");
    EXPECT_EQ(back.Uscite[0].Tipo, 0);
    EXPECT_EQ(back.Uscite[0].TempoOn, 255);
    EXPECT_EQ(back.Uscite[0].Messaggio, "Luce");
}

TEST(Sections, GModelSectionsCarryTheirChecksum)
{
    EXPECT_EQ(SectionChecksum(std::string(5, '\x91')), "!213");  // 5 x 0x91 = 0x2D5
    const TSMSSlots out = BuildSections(Defaults(kModelG), kModelG, "", 0);
    for (int k = 0; k < 6; ++k) {
        const std::string& t = out[static_cast<std::size_t>(k)].Testo;
        ASSERT_GT(t.size(), 4u);
        const std::string body = t.substr(0, t.size() - 4);
        EXPECT_EQ(t.substr(t.size() - 4), SectionChecksum(body)) << t;
        EXPECT_EQ(out[static_cast<std::size_t>(k)].Indice, 0);
    }
    const TSMSSlots i = BuildSections(Defaults(kModelI), kModelI, "", 0);
    EXPECT_EQ(i[0].Testo.find('!'), std::string::npos);
}

TEST(Sections, OptionsTextIsExact)
{
    Tag_GlobalBuffer img = Defaults(kModelG);
    img.Ingresso[2].Polarita = 0;
    img.Ingresso[1].ServPELIX_I_2 = 1;
    img.Opzioni.SMSIntervallo = 1440;
    img.ComDig.Eventi[8].CodiceUtente = "12";
    img.Opzioni.ControlloCredito = 3;
    img.Opzioni.Priorita = 1;
    img.Opzioni.SegPrimoUnix = 1700003600;
    img.Opzioni.SMSPrimoUnix = 0x6553F100;
    img.Opzioni.CodUscSms = "123";
    img.Opzioni.CifreRim = 4;
    img.Opzioni.Prefisso = "0";
    // No APN: the first report is written against the device clock's origin.
    // 1700003600 + 946684800 (2000-01-01) - 1700000000 = 946688400 = 0x386D5190
    const std::string body =
        "IP:HHLH;IS:00010000;MP:001440,DP:043200;C2:0012;V:1;T:03;C:*123#;PA;D:386D5190;M:6553F100;U:7305;R:4;P:0;";
    EXPECT_EQ(Section(img, kModelG, 3, 1700000000), body + SectionChecksum(body));
    img.GPRS.APN = "internet";
    EXPECT_NE(Section(img, kModelG, 3).find(";D:6553FF10;"), std::string::npos);

    Tag_GlobalBuffer i = Defaults(kModelI);
    EXPECT_EQ(Section(i, kModelI, 3), "IP:HHHH;IS:00000000;MP:000000,DP:000000;C2:0000;T:01;PI;R:0;P:;");
}

TEST(Sections, OptionsReadBack)
{
    for (int len = 0; len <= 7; ++len) {
        for (int prio : {0, 1}) {
            Tag_GlobalBuffer img = Defaults(kModelG);
            img.Opzioni.StringaControllo = std::string("*1234567").substr(0, static_cast<std::size_t>(len));
            img.Opzioni.Priorita = static_cast<std::uint8_t>(prio);
            img.Opzioni.Prefisso = "0039";
            img.Opzioni.CodUscSms = "4321";
            Tag_GlobalBuffer back = Defaults(kModelG);
            back.Opzioni.Priorita = static_cast<std::uint8_t>(1 - prio);
            DecodeSection(back, kModelG, 3, Section(img, kModelG, 3));
            EXPECT_EQ(back.Opzioni.Priorita, prio) << len;
            EXPECT_EQ(back.Opzioni.StringaControllo, img.Opzioni.StringaControllo) << len;
            EXPECT_EQ(back.Opzioni.Prefisso, "0039");
            EXPECT_EQ(back.Opzioni.CodUscSms, "4321");
            EXPECT_EQ(back.Opzioni.SMSPrimoUnix, img.Opzioni.SMSPrimoUnix);
            EXPECT_EQ(back.Opzioni.ControlloCreditoAttivo, 1);
        }
    }
}

TEST(Sections, EventsReadBackPairsAndSingles)
{
    for (int model : {int(kModelG), int(kModelI)}) {
        Tag_GlobalBuffer img = Defaults(model);
        const int last = model == kModelG ? 17 : 13;
        for (int m = 0; m <= last; ++m) {
            auto& e = img.ComDig.Eventi[static_cast<std::size_t>(m)];
            e.Invia = static_cast<std::uint8_t>(m % 3 != 0);
            e.CodiceUtente = std::to_string(1000 + m);
            e.CodiceEvento2 = std::to_string(10 + m);
        }
        Tag_GlobalBuffer back = Defaults(model);
        DecodeSection(back, model, 4, Section(img, model, 4));
        for (int m = 0; m <= last; ++m) {
            const auto& got = back.ComDig.Eventi[static_cast<std::size_t>(m)];
            const auto& want = img.ComDig.Eventi[static_cast<std::size_t>(m)];
            EXPECT_EQ(got.Invia, want.Invia) << model << " entry " << m;
            const int source = m < 8 ? m - m % 2 : (m < 12 || (model == kModelG && m < 14)) ? m - m % 2 : m;
            EXPECT_EQ(got.CodiceEvento2, img.ComDig.Eventi[static_cast<std::size_t>(source)].CodiceEvento2)
                << model << " entry " << m;
            if (m < 8) {
                EXPECT_EQ(got.CodiceUtente, img.ComDig.Eventi[static_cast<std::size_t>(source)].CodiceUtente);
            }
        }
    }
}

TEST(Sections, NetworkSimAndInputTextsRoundTrip)
{
    Tag_GlobalBuffer img = Defaults(kModelG);
    img.GPRS.IP = {10, 0, 200, 7};
    img.GPRS.Port = 3061;
    img.GPRS.IP2 = {192, 168, 1, 254};
    img.GPRS.Port2 = 80;
    img.GPRS.Account = "1234567890";
    img.GPRS.DNIS = "000000000042";
    img.GPRS.UserName = "user";
    img.GPRS.Pwd = "secret";
    img.GPRS.SuperAttiva = 1;
    img.GPRS.Super = 600;
    img.GPRS.APN = "ibox.tim.it";
    img.GPRS.CID2 = "cid2";
    img.Ingresso[0].SMSAttiv = "  Furto in corso ";
    img.Ingresso[7].SMSAttiv = "Periodico";
    img.Ingresso[6].SMSRipr = "Rientro";

    const TSMSSlots out = BuildSections(img, kModelG, "89390100001234567890F", 0);
    EXPECT_EQ(out[6].Testo, "Furto in corso");
    EXPECT_EQ(out[20].Testo, "Periodico");
    EXPECT_EQ(out[19].Testo, "Rientro");
    EXPECT_TRUE(out[21].Testo.empty());

    Tag_GlobalBuffer back = Defaults(kModelG);
    for (int s = 0; s < kSlotCount; ++s) DecodeSlot(back, kModelG, s, out[static_cast<std::size_t>(s)].Testo);
    const Tag_GPRS& g = back.GPRS;
    EXPECT_EQ(g.IP, img.GPRS.IP);
    EXPECT_EQ(g.IP2, img.GPRS.IP2);
    EXPECT_EQ(g.Port, 3061);
    EXPECT_EQ(g.Port2, 80);
    EXPECT_EQ(g.Account, "1234567890");
    EXPECT_EQ(g.DNIS, "000000000042");
    EXPECT_EQ(g.UserName, "user");
    EXPECT_EQ(g.Pwd, "secret");
    EXPECT_EQ(g.Super, 600);
    EXPECT_EQ(g.SuperAttiva, 1);
    EXPECT_EQ(g.SIM, "89390100001234567890F");
    EXPECT_EQ(g.APN, "ibox.tim.it");
    EXPECT_EQ(g.CID2, "cid2");
    EXPECT_EQ(back.Ingresso[0].SMSAttiv, "Furto in corso");
    EXPECT_EQ(back.Ingresso[6].SMSRipr, "Rientro");

    img.GPRS.SuperAttiva = 0;
    DecodeSection(back, kModelG, 5, BuildSections(img, kModelG, "", 0)[4].Testo);
    EXPECT_EQ(back.GPRS.Pwd, "secret");
    EXPECT_EQ(back.GPRS.SuperAttiva, 0);
    EXPECT_EQ(back.GPRS.Super, 0);
}

TEST(Sections, MalformedTextsNeverCrashAndMissingKeysChangeNothing)
{
    const char* texts[] = {"", ";", "O1=", "O1=H;M:", "O1=H;M:abc,", "O1=H;M:a,1;99-99,999;", "A=", "IP:", "IS:1",
                           "MP:abcdef", "R:", "R:999999999999,99999;", "S:", "A:;B:", ";P", ";P:", "H:", "K:1"};
    for (int model : {int(kModelG), int(kModelI)}) {
        for (const char* t : texts) {
            for (int section = 1; section <= 6; ++section) {
                Tag_GlobalBuffer img = Defaults(model);
                DecodeSection(img, model, section, t);
            }
        }
        Tag_GlobalBuffer img = Defaults(model);
        const Tag_GlobalBuffer before = img;
        for (int section = 1; section <= 6; ++section) DecodeSection(img, model, section, "nothing here");
        EXPECT_TRUE(img == before) << model;
    }
    Tag_GlobalBuffer img = Defaults(kModelG);
    DecodeSection(img, kModelG, 1, "O1=H;M:a,1;99-99,999;");
    EXPECT_EQ(img.NumTel[98].Uscite, 0x01);
    EXPECT_EQ(img.Uscite[0].TempoOn, 255);
    DecodeSection(img, kModelG, 5, "R:999999999999,99999;");
    EXPECT_EQ(img.GPRS.IP[0], 255);
}
