#include "link/codec/records.h"
#include "model/imageinit.h"

#include <gtest/gtest.h>

using namespace pelix;

namespace {

Tag_GlobalBuffer Defaults()
{
    LanguageTexts none;
    Tag_GlobalBuffer img;
    WriteImageDefaults(img, kModelA, none, 46000.5);
    return img;
}

// A record as the device hands it back: after the line feed of its header.
std::string Received(const std::string& record) { return "\n" + record; }

}  // namespace

TEST(Records, FamilyDecidesTheRecordCount)
{
    EXPECT_EQ(RecordCount(1.0), 3);
    EXPECT_EQ(RecordCount(1.09), 3);
    EXPECT_EQ(RecordCount(1.1), 14);
    EXPECT_EQ(RecordCount(1.19), 14);
}

TEST(Records, TextsAreExact)
{
    Tag_GlobalBuffer img = Defaults();
    img.Ingresso[0].Messaggio = 2;
    img.Ingresso[0].MaskTel = 1;
    img.Ingresso[2].Polarita = 1;
    img.Ingresso[0].Polarita = img.Ingresso[1].Polarita = img.Ingresso[3].Polarita = 0;
    for (auto& u : img.Uscite) u = Tag_Uscita{};
    img.Uscite[0].FP = img.Uscite[0].BC = 1;
    img.Uscite[1].FG = img.Uscite[1].CI = 1;
    img.Uscite[4].MS = 1;
    img.Opzioni.Prefisso = "0";
    img.Opzioni.CifreRim = 2;
    img.Opzioni.CodUscSms = " 1234 ";
    img.Ingresso[1].SmsA = 3;
    img.Ingresso[1].SmsR = 4;
    img.Ingresso[1].MaskSms = 0x81;

    EXPECT_EQ(BuildRecord(img, 0, 1.0), "AV1=310000000;AV2=100000000;AV3=100000000;AV4=100000000;");
    EXPECT_EQ(BuildRecord(img, 1, 1.1), "OS1=FP,BC;OS2=FG,CI;OS3=;OS4=;OS5=MS;");
    EXPECT_EQ(BuildRecord(img, 2, 1.1), "IP=LLHL;OP=LLLLL;VS=1;RC=0;PRE=0;BD=2;");
    EXPECT_EQ(BuildRecord(img, 2, 1.0), "IP=LLHL;OP=LLLLL;VS=1;RC=0;PRE=0;");
    EXPECT_EQ(BuildRecord(img, 3, 1.1).substr(15, 14), "AS2=3410000001");
    EXPECT_EQ(BuildRecord(img, 4, 1.1), "OR=00000;SC=#1234#;CG=;");
    img.Opzioni.Prefisso = "";
    EXPECT_EQ(BuildRecord(img, 2, 1.0), "IP=LLHL;OP=LLLLL;VS=1;RC=0;");
    img.Uscite[3].Messaggio = "Sirena";
    EXPECT_EQ(BuildRecord(img, 5, 1.1), ";;;Sirena;;");
    img.Sms[1] = "\t Allarme  \r";
    img.Sms[2] = "";
    EXPECT_EQ(BuildRecord(img, 6, 1.1), "Allarme");
    EXPECT_EQ(BuildRecord(img, 7, 1.1), " ");
}

TEST(Records, ServiceInputAndSwitchedCalls)
{
    Tag_GlobalBuffer img = Defaults();
    img.Ingresso[1].Serv = 1;
    img.Ingresso[3].Messaggio = 4;
    img.Ingresso[3].MaskTel = 0xFF;
    img.Opzioni.CommutaChiama = 1;
    const std::string r0 = BuildRecord(img, 0, 1.1);
    EXPECT_NE(r0.find("AV2=SERV;"), std::string::npos);
    EXPECT_NE(r0.find("AV4=500000000;"), std::string::npos);
    const std::string r4 = BuildRecord(img, 4, 1.1);
    EXPECT_EQ(r4.substr(r4.size() - 5), "CG=2;");
    // Family 1.0 knows no service inputs.
    EXPECT_NE(BuildRecord(img, 0, 1.0).find("AV2=100000000;"), std::string::npos);

    Tag_GlobalBuffer back = Defaults();
    back.Ingresso[1].Messaggio = 6;
    back.Ingresso[1].MaskTel = 0x0F;
    int eventi = 7;
    DecodeRecord(back, eventi, 0, Received(r0), 1.1);
    DecodeRecord(back, eventi, 4, Received(r4), 1.1);
    EXPECT_EQ(back.Ingresso[1].Serv, 1);
    EXPECT_EQ(back.Ingresso[1].Messaggio, 0);
    EXPECT_EQ(back.Ingresso[1].MaskTel, 0);
    EXPECT_EQ(back.Ingresso[3].MaskTel, 1);
    EXPECT_EQ(back.Opzioni.CommutaChiama, 1);
    EXPECT_EQ(back.Opzioni.UsaGsm, 0);
}

TEST(Records, FullRoundTripOfFamily11)
{
    Tag_GlobalBuffer img = Defaults();
    img.Ingresso[2].Messaggio = 7;
    img.Ingresso[2].MaskTel = 0xA5;
    img.Ingresso[3].SmsA = 8;
    img.Ingresso[3].MaskSms = 0x3C;
    img.Uscite[2].OUTRESERV = 1;
    img.Uscite[2].BC = 0;
    img.Uscite[0].MS = 1;
    img.Uscite[4].Messaggio = "Luce scale";
    img.Opzioni.Richiama = 1;
    img.Opzioni.Voceinlinea = 0;
    img.Opzioni.Selezione = 1;
    img.Opzioni.Prefisso = "0039";
    img.Opzioni.CifreRim = 9;
    img.Opzioni.UsaGsm = 1;
    img.Sms[8] = "Batteria bassa";
    img.Sms[3] = "";

    Tag_GlobalBuffer back = Defaults();
    back.Sms[3] = "will be emptied";
    int eventi = 0;
    for (int r = 0; r < kRecordCount; ++r) DecodeRecord(back, eventi, r, Received(BuildRecord(img, r, 1.15)), 1.15);
    EXPECT_EQ(back.Ingresso[2].Messaggio, 7);
    EXPECT_EQ(back.Ingresso[2].MaskTel, 0xA5);
    EXPECT_EQ(back.Ingresso[3].SmsA, 8);
    EXPECT_EQ(back.Ingresso[3].MaskSms, 0x3C);
    for (int i = 0; i < kOutputs; ++i) {
        EXPECT_TRUE(back.Uscite[static_cast<std::size_t>(i)] == img.Uscite[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(eventi, CountOutputEvents(img));
    EXPECT_EQ(back.Opzioni.Richiama, 1);
    EXPECT_EQ(back.Opzioni.Selezione, 1);
    EXPECT_EQ(back.Opzioni.Voceinlinea, 0);
    EXPECT_EQ(back.Opzioni.Prefisso, "0039");
    EXPECT_EQ(back.Opzioni.CifreRim, 9);
    EXPECT_EQ(back.Opzioni.UsaGsm, 1);
    EXPECT_EQ(back.Opzioni.CodUscSms, "7305");
    EXPECT_EQ(back.Sms[8], "Batteria bassa");
    EXPECT_EQ(back.Sms[3], "");  // a blank slot reads back empty
}

TEST(Records, ReservationRecountsTheAssignedEvents)
{
    Tag_GlobalBuffer img = Defaults();
    img.Uscite[4].CO = img.Uscite[4].CI = 1;  // two flags on the output about to be reserved
    int eventi = CountOutputEvents(img);
    ASSERT_EQ(eventi, 6);
    DecodeRecord(img, eventi, 4, "\nOR=00001;SC=#7305#;CG=0;", 1.1);
    EXPECT_EQ(img.Uscite[4].OUTRESERV, 1);
    EXPECT_EQ(img.Uscite[4].CO, 0);
    EXPECT_EQ(eventi, 4);
}

TEST(Records, ShortOrOddTextsLeaveTheImageAlone)
{
    const Tag_GlobalBuffer before = Defaults();
    for (int r = 0; r <= 5; ++r) {
        Tag_GlobalBuffer img = before;
        int eventi = 7;
        DecodeRecord(img, eventi, r, "\nOK", 1.1);
        EXPECT_TRUE(img == before) << r;
        EXPECT_EQ(eventi, 7);
    }
    Tag_GlobalBuffer img = before;
    int eventi = 7;
    DecodeRecord(img, eventi, 6, "+CMGR: \"STO UNSENT\"", 1.1);
    EXPECT_EQ(img.Sms[1], "");
    DecodeRecord(img, eventi, 2, "\nnothing to read here", 1.1);
    EXPECT_TRUE(img.Opzioni == before.Opzioni);
    for (const char* t : {"\nAV1=", "\nAS4=9", "\nOR=1", "\nIP=H", "\nPRE=", "\n#", "\nCG=", "\n;;;;;;;;"})
        for (int r = 0; r < kRecordCount; ++r) DecodeRecord(img, eventi, r, t, 1.1);
}
