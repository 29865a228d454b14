#include "model/datetime.h"
#include "model/imageinit.h"
#include "model/imagejson.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace pelix;

namespace {

struct JsonFixture : ::testing::Test {
    LanguageTexts texts;  // no language folder: labels come out empty, which is fine here
    Tag_Cliente header;
    Tag_GlobalBuffer image;

    void SetUp() override
    {
        header.TipoCentrale = kModelI;
        header.Nome = "Rossi Impianti";
        header.CodiceCliente = "0012";
        header.Rel_firmware = "2.10";
        header.DataUltModifica = ToDateTime(QDateTime(QDate(2026, 3, 1), QTime(9, 15, 30, 500)));
        WriteImageDefaults(image, kModelI, texts, NowDateTime());
        image.NumTel[94].Numero = "+39 02 1234567";
        image.Messaggi[2] = "Allarme \xE8 scattato";  // 8-bit text survives
        image.Uscite[4].OUTRESERV = 1;
        image.Opzioni.SMSIntervallo = 0x12345678u;
        image.GPRS.IP = {192, 168, 10, 254};
        image.GPRS.Port = 3061;
        image.Sms[8] = "Ultimo";
    }

    bool Read(const QByteArray& text, std::string& error)
    {
        Tag_Cliente h;
        h.TipoCentrale = kModelG;
        Tag_GlobalBuffer img;
        return ImageFromJsonText(text, texts, h, img, error);
    }
};

}  // namespace

TEST_F(JsonFixture, RoundTripKeepsEveryField)
{
    const QByteArray text = ImageToJsonText(header, image);
    Tag_Cliente h;
    Tag_GlobalBuffer img;
    std::string error;
    ASSERT_TRUE(ImageFromJsonText(text, texts, h, img, error)) << error;
    EXPECT_TRUE(h == header);
    EXPECT_TRUE(img == image);

    const QJsonObject o = QJsonDocument::fromJson(text).object();
    EXPECT_EQ(o["GPRS"].toObject()["IP"].toArray(), (QJsonArray{192, 168, 10, 254}));
    EXPECT_EQ(o["Cliente"].toObject()["DataUltModifica"].toString(), "2026-03-01T09:15:30.500");
    EXPECT_EQ(o["NumTel"].toArray().size(), 100);
    EXPECT_TRUE(o["Uscite"].toArray()[4].toObject()["OUTRESERV"].toBool());
}

TEST_F(JsonFixture, MissingMembersKeepTheDefaultsOfTheModel)
{
    Tag_Cliente h;
    h.TipoCentrale = kModelI;
    Tag_GlobalBuffer img;
    std::string error;
    ASSERT_TRUE(ImageFromJsonText(R"({"Cliente": {"TipoCentrale": 19, "Nome": "Bianchi"},
                                      "ComDig": {"Numero1": "0212345"},
                                      "NumTel": [{"Numero": "333"}]})",
                                  texts, h, img, error))
        << error;
    EXPECT_EQ(h.TipoCentrale, kModelG);
    EXPECT_EQ(h.Nome, "Bianchi");
    EXPECT_EQ(img.NumTel[0].Numero, "333");
    EXPECT_EQ(img.ComDig.Numero1, "0212345");
    EXPECT_EQ(img.ComDig.SegIntervallo, 43200u);  // G-model default
    EXPECT_EQ(img.GPRS.Account, "0000000000");
    EXPECT_EQ(img.Opzioni.CodUscSms, "7305");
}

TEST_F(JsonFixture, LongTextsAreCut)
{
    Tag_Cliente h;
    Tag_GlobalBuffer img;
    std::string error;
    ASSERT_TRUE(ImageFromJsonText(R"({"NumTel": [{"Numero": "1234567890123456789012345"}]})", texts, h, img, error));
    EXPECT_EQ(img.NumTel[0].Numero, "12345678901234567890");
}

TEST_F(JsonFixture, ErrorsNameTheMember)
{
    struct Case { const char* json; const char* mentions; };
    const Case cases[] = {
        {R"({"Opzioni": {"Colore": 1}})", "Opzioni.Colore"},
        {R"({"Extra": 1})", "Extra"},
        {R"({"Opzioni": {"CodUscSms": 7305}})", "Opzioni.CodUscSms"},
        {R"({"Uscite": [{}, {"FP": 1}]})", "Uscite[1].FP"},
        {R"({"Ingresso": [{"MaskTel": 256}]})", "Ingresso[0].MaskTel"},
        {R"({"Ingresso": [{"MaskTel": 1.5}]})", "Ingresso[0].MaskTel"},
        {R"({"GPRS": {"IP": [1, 2, 3]}})", "GPRS.IP"},
        {R"({"GPRS": {"IP": [1, 2, 3, 999]}})", "GPRS.IP[3]"},
        {R"({"Sms": ["a","b","c","d","e","f","g","h","i","j"]})", "Sms"},
        {R"({"Cliente": {"TipoCentrale": 5}})", "TipoCentrale"},
        {R"({"Cliente": {"DataUltModifica": "yesterday"}})", "Cliente.DataUltModifica"},
        {R"({"NumTel": [{"Numero": "1"}, 7]})", "NumTel[1]"},
        {R"([1, 2])", "one object"},
        {R"({"Cliente": )", "not valid JSON"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Read(c.json, error)) << c.json;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.json << " -> " << error;
    }
}
