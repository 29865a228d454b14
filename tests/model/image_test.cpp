#include "model/datetime.h"
#include "model/imageinit.h"
#include "model/state.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace pelix;
using pelix::test::TempFolder;

namespace {

class FixedCodes : public CustomerCodeSource {
public:
    std::string NextCustomerCode() override { ++calls; return "0042"; }
    int calls = 0;
};

struct ImageFixture : ::testing::Test {
    TempFolder t;
    RecordingFeedback fb;
    ProgramState st{fb};
    FixedCodes codes;

    void SetUp() override
    {
        const QByteArray texts = "00115=Tel\n00116=Msg\n00156=SMS\n00157=No SMS\n";
        t.write("LANGUAGE/English/English.ln3", texts);
        t.write("LANGUAGE/English/English.ln6", texts);
        st.texts.SetLanguageFolder(t.file("LANGUAGE/"));
        st.texts.LoadLanguage("English", true, fb);
        st.codes = &codes;
    }
    bool Recent(DateTime v) const { return std::fabs(v - NowDateTime()) < 1.0 / 24; }
};

}  // namespace

TEST_F(ImageFixture, ModelGDefaults)
{
    st.cliente.TipoCentrale = kModelG;
    st.EventiAssegnati = 3;
    InitImage(st, st.image, true);
    const auto& img = st.image;

    EXPECT_EQ(img.NumTel[0].Descrizione, "Tel 01");
    EXPECT_EQ(img.NumTel[98].Descrizione, "Tel 99");
    EXPECT_EQ(img.NumTel[99].Descrizione, "Tel 100");
    EXPECT_EQ(img.Messaggi[7], "Msg 08");
    EXPECT_EQ(img.Sms[0], "No SMS");
    EXPECT_EQ(img.Sms[8], "SMS 08");
    for (const auto& in : img.Ingresso) EXPECT_EQ(in.Polarita, 1);

    EXPECT_EQ(img.Uscite[3].Polarita, 0);
    EXPECT_EQ(img.Uscite[1].MaskEventiPELIX_I, 6);
    EXPECT_EQ(CountOutputEvents(img), 6);
    EXPECT_EQ(st.EventiAssegnati, 7);  // counted as seven although six flags are set

    EXPECT_EQ(img.Opzioni.Voceinlinea, 1);
    EXPECT_EQ(img.Opzioni.CodUscSms, "7305");
    EXPECT_EQ(img.Opzioni.StringaControllo, "*123#");
    EXPECT_EQ(img.Opzioni.ControlloCredito, 1);
    EXPECT_TRUE(Recent(img.Opzioni.SMSDataPrimo));
    EXPECT_NEAR(double(img.Opzioni.SMSPrimoUnix), double(DateTimeToUnix(NowDateTime())), 3600);

    EXPECT_EQ(img.ComDig.Eventi[0].CodiceEvento2, "1A");
    EXPECT_EQ(img.ComDig.Eventi[14].CodiceEvento1, "6");
    EXPECT_EQ(img.ComDig.Eventi[17].CodiceEvento2, "54");
    EXPECT_EQ(img.ComDig.SegIntervallo, 43200u);
    EXPECT_EQ(img.ComDig.SegDataPrimo, 0.0);
    EXPECT_EQ(img.GPRS.Super, 1);
    EXPECT_EQ(img.GPRS.Account, "0000000000");
    EXPECT_EQ(img.GPRS.DNIS.size(), 12u);
    EXPECT_EQ(img.GPRS.SIM.size(), 21u);
    EXPECT_EQ(img.GPRS.NtelChiamataADT, 1);

    EXPECT_EQ(st.cliente.CodiceCliente, "0042");
    EXPECT_EQ(st.cliente.TipoCentrale, kModelG);
}

TEST_F(ImageFixture, FirstGenerationDefaults)
{
    for (std::uint8_t model : {kModelA, kModelI}) {
        st.cliente.TipoCentrale = model;
        InitImage(st, st.image, true);
        const auto& c = st.image.ComDig;
        EXPECT_EQ(c.Eventi[0].CodiceEvento2, "3A");
        EXPECT_EQ(c.Eventi[12].CodiceEvento1, "6");
        EXPECT_TRUE(c.Eventi[14].CodiceEvento1.empty());
        EXPECT_TRUE(Recent(c.SegDataPrimo));
        EXPECT_TRUE(Recent(c.SegOraPrimo));
        EXPECT_EQ(c.SegIntervallo, 0u);
        EXPECT_TRUE(st.image.GPRS == Tag_GPRS{}) << int(model);
    }
}

TEST_F(ImageFixture, WithoutHeaderResetTheHeaderSurvives)
{
    st.cliente.SerialCli = 17;
    st.cliente.CodiceCliente = "0007";
    st.cliente.Nome = "Rossi";
    st.cliente.TipoCentrale = kModelI;
    const Tag_Cliente before = st.cliente;
    InitImage(st, st.image, false);
    EXPECT_TRUE(st.cliente == before);
    EXPECT_EQ(codes.calls, 0);

    InitImage(st, st.image, true);
    EXPECT_EQ(st.cliente.SerialCli, 0);
    EXPECT_TRUE(st.cliente.Nome.empty());
    EXPECT_EQ(st.cliente.TipoCentrale, kModelI);  // the model survives a reset too
}

TEST_F(ImageFixture, ImageUnchangedNoticesAnySingleField)
{
    InitImage(st, st.image, true);
    st.reference = st.image;
    EXPECT_TRUE(ImageUnchanged(st, st.image));

    const std::vector<std::function<void(Tag_GlobalBuffer&)>> edits = {
        [](Tag_GlobalBuffer& i) { i.Messaggi[3] += "x"; },
        [](Tag_GlobalBuffer& i) { i.NumTel[94].Numero = "123"; },
        [](Tag_GlobalBuffer& i) { i.Uscite[4].MS = 1; },
        [](Tag_GlobalBuffer& i) { i.Opzioni.SMSIntervallo = 60; },
        [](Tag_GlobalBuffer& i) { i.ComDig.Eventi[17].Invia = 1; },
        [](Tag_GlobalBuffer& i) { i.GPRS.IP[3] = 1; },
        [](Tag_GlobalBuffer& i) { i.Sms[0] = "changed"; },
    };
    for (std::size_t k = 0; k < edits.size(); ++k) {
        st.image = st.reference;
        edits[k](st.image);
        EXPECT_FALSE(ImageUnchanged(st, st.image)) << "edit " << k;
    }
}

TEST(DateTimeConversion, UnixSecondsAndDateTimes)
{
    EXPECT_EQ(DateTimeToUnix(25569.0), 0u);
    EXPECT_EQ(DateTimeToUnix(25569.5), 43200u);
    EXPECT_EQ(DateTimeToUnix(1000.0), 0u);  // before 1970: no wrap-around
    EXPECT_DOUBLE_EQ(UnixToDateTime(86400), 25570.0);

    const QDateTime when(QDate(2026, 12, 11), QTime(14, 30, 15, 250));
    const DateTime d = ToDateTime(when);
    EXPECT_EQ(FromDateTime(d), when);
    EXPECT_DOUBLE_EQ(DatePart(d), double(QDate(1899, 12, 30).daysTo(QDate(2026, 12, 11))));
    EXPECT_NEAR(TimePart(d), (14 * 3600 + 30 * 60 + 15.25) / 86400.0, 1e-12);
}

TEST(LoadSettingsRun, StartsOnModelGWhateverTheStoreSays)
{
    TempFolder t;
    t.write("LANGUAGE/English/English.ln6", "00001=G texts\n");
    t.write("LANGUAGE/English/English.ln3", "00001=other texts\n");
    QSettings store(t.file("pelix.ini"), QSettings::IniFormat);
    store.setValue("Miscellaneous/TipoCentrale", 21);
    store.setValue("Miscellaneous/Firmware", "1.123456789012345678");
    RecordingFeedback fb;
    ProgramState st(fb);
    LoadSettings(st, store, t.path(), "Klingon (Qo'noS)");
    EXPECT_EQ(st.cliente.TipoCentrale, kModelG);
    EXPECT_EQ(st.cliente.Rel_firmware, "1.12345678901234");
    EXPECT_EQ(st.settings.Language, "English");  // no Klingon folder
    EXPECT_EQ(st.Text(1), "G texts");
    EXPECT_EQ(st.modelNames[19], "MX7720-IG");
    EXPECT_TRUE(st.modelNames[21].empty());
    EXPECT_TRUE(st.modelNames[22].empty());
    EXPECT_EQ(st.folders.data, t.path() + "/Data");

    t.write("LANGUAGE/Klingon/Klingon.ln6", "00001=tlhIngan\n");
    ProgramState st2(fb);
    LoadSettings(st2, store, t.path(), "Klingon (Qo'noS)");
    EXPECT_EQ(st2.settings.Language, "Klingon");
    EXPECT_EQ(st2.Text(1), "tlhIngan");
}
