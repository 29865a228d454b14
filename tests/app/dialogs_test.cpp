#include "app/dialogs.h"
#include "support/testsupport.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>

#include <gtest/gtest.h>

using namespace pelix;

namespace {

struct DialogFixture : ::testing::Test {
    pelix::test::TempFolder t;
    RecordingFeedback fb;
    ProgramState st{fb};
    QSettings store{t.file("pelix.ini"), QSettings::IniFormat};

    void SetUp() override
    {
        t.write("LANGUAGE/English/English.ln6", "00139=Restart to use the new port\n");
        t.write("LANGUAGE/Italian/Italian.ln6", "00139=Riavviare\n");
        st.store = &store;
        st.folders.language = t.file("LANGUAGE/");
        st.texts.SetLanguageFolder(st.folders.language);
        st.texts.LoadLanguage("English", true, fb);
    }
};

std::string lastTitle;
void ChooseItalianWithBlanks(const char*, char* buffer, const char* title)
{
    lastTitle = title;
    std::strcpy(buffer, "   Italian   ");
}
void ChooseNothing(const char*, char*, const char*) {}

}  // namespace

TEST_F(DialogFixture, PortChoiceIsStoredForTheNextStart)
{
    st.settings.LocalPort = 1;
    TfrmSerial dlg(st, 1);
    EXPECT_TRUE(dlg.items->button(1)->isChecked());
    dlg.items->button(3)->setChecked(true);
    dlg.BitBtn1->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(store.value("Communication/LocalPort").toInt(), 3);
    ASSERT_EQ(fb.messages.size(), 1u);
    EXPECT_EQ(fb.messages[0].text, "Restart to use the new port");
    EXPECT_EQ(fb.messages[0].type, MsgType::Information);
}

TEST_F(DialogFixture, LanguageChoiceTrimsStoresAndReloads)
{
    st.settings.Language = "English";
    EXPECT_TRUE(ChooseLanguage(st, ChooseItalianWithBlanks));
    EXPECT_EQ(st.settings.Language, "Italian");
    EXPECT_EQ(store.value("Miscellaneous/Language").toString(), "Italian");
    EXPECT_EQ(st.Text(139), "Riavviare");

    EXPECT_FALSE(ChooseLanguage(st, ChooseNothing));  // the buffer comes back as it went
    EXPECT_EQ(st.settings.Language, "Italian");
}

TEST_F(DialogFixture, StartPageCentresItsPanel)
{
    st.custom.Firm = "Corvane Security srl";
    st.custom.AddressWeb = "www.example.com";
    PageContext ctx{st, fb};
    QWidget area;
    area.resize(800, 600);
    PageHost host(ctx, &area);
    host.Open(0, [](PageContext& c, QWidget* owner) { return new TfrmLogo(c, owner); });
    area.show();
    auto* logo = static_cast<TfrmLogo*>(host.Current());
    logo->resize(800, 600);
    EXPECT_EQ(logo->Label3->text(), "Corvane Security srl");
    EXPECT_EQ(logo->Label4->text(), "V. 1.0 Test24");
    EXPECT_TRUE(logo->Label5->text().contains("www.example.com"));
    EXPECT_EQ(logo->Panel1->x(), (logo->width() - logo->Panel1->width()) / 2);
    EXPECT_EQ(logo->Panel2->width(), 289);
    EXPECT_EQ(logo->Label3->y(), logo->Panel2->y() + 60 + 10);
}
