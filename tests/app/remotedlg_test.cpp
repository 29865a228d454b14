#include "app/mainwindow.h"
#include "app/remotedlg.h"
#include "db/dbfixture.h"
#include "sim/device.h"
#include "sim/ptyserver.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace pelix;

namespace {

struct RemoteFixture : pelix::test::DbFixture {
    std::unique_ptr<TfrmMain> w;

    void SetUp() override
    {
        DbFixture::SetUp();
        NewCustomer(kModelG, "Remoto", "0001");
        ASSERT_TRUE(db->SaveCustomer(""));
        st.reference = st.image;
        w = std::make_unique<TfrmMain>(st, fb, *db);
        w->Port().device = t.file("no-such-port").toStdString();
    }
};

}  // namespace

TEST_F(RemoteFixture, ComparingWithItselfGivesNothingToSend)
{
    const Tag_GlobalBuffer image = st.image;
    const Tag_Cliente header = st.cliente;
    TfrmProgRemota dlg(*w, *db);
    ASSERT_NE(dlg.lvClienti->currentItem(), nullptr);  // opened on the current customer
    dlg.BitBtn1Click(false);
    EXPECT_EQ(dlg.clbSMS->count(), 0);
    EXPECT_FALSE(dlg.BitBtn2->isEnabled());

    st.image.NumTel[2].Numero = "0351112233";
    st.image.NumTel[2].Descrizione = "Casa";
    dlg.BitBtn1Click(false);
    ASSERT_EQ(dlg.clbSMS->count(), 1);
    EXPECT_EQ(dlg.clbSMS->item(0)->text().toStdString(), "#*v023*03,\"0351112233\",,\"Casa\"");
    EXPECT_TRUE(dlg.BitBtn2->isEnabled());
    EXPECT_EQ(st.image.NumTel[2].Numero, "0351112233");  // the current image is back
    EXPECT_TRUE(st.cliente == header);
    st.image = image;
}

TEST_F(RemoteFixture, BuildingAllChecksEveryMessage)
{
    TfrmProgRemota dlg(*w, *db);
    dlg.BitBtn1Click(true);
    ASSERT_GT(dlg.clbSMS->count(), 99);
    int phoneBook = 0;
    for (int i = 0; i < dlg.clbSMS->count(); ++i) {
        EXPECT_EQ(dlg.clbSMS->item(i)->checkState(), Qt::Checked);
        phoneBook += dlg.clbSMS->item(i)->text().startsWith("#*v") ? 1 : 0;
    }
    EXPECT_EQ(phoneBook, 99);  // every line, empty ones too
}

TEST_F(RemoteFixture, TheDestinationIsRequired)
{
    st.cliente.TelCentrale = "";
    TfrmChiamataRemota dlg(st);
    EXPECT_FALSE(dlg.BitBtn1->isEnabled());
    dlg.MaskEdit1->setText("3331234567");
    EXPECT_TRUE(dlg.BitBtn1->isEnabled());
}

TEST_F(RemoteFixture, SendingOnlyTheFifthMessage)
{
    sim::Device device(sim::DefaultState(sim::Model::G, sim::Module::Motorola), {});
    sim::PtyServer server(device);
    std::string error;
    ASSERT_TRUE(server.Open(&error)) << error;
    server.Start();
    w->Port().device = server.SlavePath();
    st.settings.TimeOut = 1;

    TfrmProgRemota dlg(*w, *db);
    dlg.BitBtn1Click(true);
    for (int i = 0; i < dlg.clbSMS->count(); ++i) dlg.clbSMS->item(i)->setCheckState(i == 4 ? Qt::Checked : Qt::Unchecked);
    dlg.askDestination = [](std::string& to) {
        to = "3331234567";
        return true;
    };
    dlg.BitBtn2Click();
    EXPECT_EQ(dlg.lblProgress->text(), "SMS 1 / 1");
    for (int i = 0; i < dlg.clbSMS->count(); ++i) EXPECT_EQ(dlg.clbSMS->item(i)->checkState(), Qt::Unchecked) << i;
    EXPECT_FALSE(w->Port().isOpen());
}
