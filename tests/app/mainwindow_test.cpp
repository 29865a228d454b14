#include "app/cliente.h"
#include "app/mainwindow.h"
#include "db/dbfixture.h"
#include "link/linkfixture.h"
#include "model/imageinit.h"
#include "pages/pagegrid.h"
#include "pages/telefono.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

using namespace pelix;

namespace {

struct MainWindowFixture : pelix::test::DbFixture {
    std::unique_ptr<TfrmMain> w;

    void SetUp() override
    {
        DbFixture::SetUp();
        st.modelNames[kModelG] = "MX7720-IG";
        st.cliente.TipoCentrale = kModelG;
    }
    // The window on `device`; without one, on a path that is never a real serial port.
    void Show(const std::string& device = {})
    {
        w = std::make_unique<TfrmMain>(st, fb, *db);
        w->Port().device = device.empty() ? t.file("no-such-port").toStdString() : device;
        w->SetLinkTimeouts(pelix::test::kTestCharTimeout, pelix::test::kTestSecondMs);
        w->show();
        w->FormShow();
    }
    int Store(int model, const std::string& name, const std::string& code)
    {
        NewCustomer(model, name, code);
        EXPECT_TRUE(db->SaveCustomer(""));
        return st.cliente.SerialCli;
    }
    int Nodes() const { return w->tvPanel->topLevelItem(0)->childCount(); }
    QTreeWidgetItem* Listed(const QString& name) const
    {
        const auto found = w->lvClienti->findItems(name, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.front();
    }
    void Pick(const QString& name)
    {
        QTreeWidgetItem* item = Listed(name);
        ASSERT_NE(item, nullptr) << name.toStdString();
        w->lvClienti->setCurrentItem(item);
        item->setSelected(true);
    }
    // Answers the next modal dialog by pressing its cancel button.
    static void CancelNextDialog()
    {
        QTimer::singleShot(0, [] {
            if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dlg->reject();
        });
    }
};

}  // namespace

TEST_F(MainWindowFixture, StartsOnTheGTreeAndFollowsTheLoadedModel)
{
    Store(kModelA, "Alfa", "0001");
    Store(kModelG, "Gamma", "0002");
    st.cliente.TipoCentrale = kModelG;
    Show();
    EXPECT_EQ(Nodes(), 7);
    EXPECT_EQ(w->windowTitle(), "MX7720-IG");
    EXPECT_TRUE(w->Panel2->isHidden());
    EXPECT_TRUE(w->remota1->isEnabled());

    Pick("Alfa");
    w->LoadSelectedCustomer();
    EXPECT_EQ(st.Model(), kModelA);
    EXPECT_EQ(Nodes(), 6);
    EXPECT_FALSE(w->Panel2->isHidden());
    EXPECT_EQ(w->lcd->Line(2).toStdString(), st.Text(162));  // no port: the monitor cannot start
    EXPECT_FALSE(w->remota1->isEnabled());
    EXPECT_EQ(w->Profile().phoneEntries, 8);
    EXPECT_EQ(w->windowTitle(), " - Alfa");  // PELIX-A has no name in this edition
    EXPECT_TRUE(ImageUnchanged(st, st.image));

    Pick("Gamma");
    w->LoadSelectedCustomer();
    EXPECT_EQ(st.Model(), kModelG);
    EXPECT_EQ(Nodes(), 7);
    EXPECT_TRUE(w->Panel2->isHidden());
    EXPECT_EQ(w->windowTitle(), "MX7720-IG - Gamma");
}

TEST_F(MainWindowFixture, ListsOnlyThisProgramsModelsAndFindsByLetter)
{
    Store(kModelG, "Bianchi", "0001");
    Store(kModelI, "Bruno", "0002");
    Store(kModelA, "Carli", "0003");
    const int other = Store(kModelG, "Zeta", "0004");
    Exec(QStringLiteral("UPDATE Clienti SET TipoCentrale = 5 WHERE SerialCli = %1").arg(other));
    Show();
    EXPECT_EQ(w->lvClienti->topLevelItemCount(), 3);
    EXPECT_EQ(Listed("Zeta"), nullptr);
    EXPECT_TRUE(Listed("Bruno")->toolTip(0).contains("Bergamo"));

    // Typing with nothing selected does nothing.
    w->lvClienti->clearSelection();
    w->lvClienti->setCurrentItem(nullptr);
    QTest::keyClick(w->lvClienti, Qt::Key_C);
    EXPECT_TRUE(w->lvClienti->selectedItems().isEmpty());

    Pick("Bianchi");
    QTest::keyClick(w->lvClienti, Qt::Key_B);
    EXPECT_EQ(w->lvClienti->currentItem()->text(0), "Bruno");
    QTest::keyClick(w->lvClienti, Qt::Key_B);  // wraps round
    EXPECT_EQ(w->lvClienti->currentItem()->text(0), "Bianchi");
    QTest::keyClick(w->lvClienti, Qt::Key_X);
    EXPECT_TRUE(w->lvClienti->selectedItems().isEmpty());
}

TEST_F(MainWindowFixture, DeletingAsksFirst)
{
    Store(kModelG, "Verdi", "0001");
    Show();
    Pick("Verdi");
    fb.answers = {MsgAnswer::No};
    w->DeleteSelectedCustomer();
    EXPECT_NE(Listed("Verdi"), nullptr);
    ASSERT_FALSE(fb.messages.empty());
    EXPECT_EQ(fb.messages.back().text, st.Text(131) + "\rVerdi ?");
    Pick("Verdi");
    fb.answers = {MsgAnswer::Yes};
    w->DeleteSelectedCustomer();
    EXPECT_EQ(Listed("Verdi"), nullptr);
}

TEST_F(MainWindowFixture, ClosingWithUnsavedChanges)
{
    Show();
    st.image.NumTel[0].Numero = "0351234";
    fb.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(w->close());
    EXPECT_EQ(fb.messages.back().text, st.Text(126));

    // Yes, then cancelling the customer dialog: the window closes all the same.
    fb.answers = {MsgAnswer::Yes};
    CancelNextDialog();
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(st.flags.closing);
    std::vector<CustomerListEntry> rows;
    db->ListCustomers(rows);
    EXPECT_TRUE(rows.empty());
}

TEST_F(MainWindowFixture, TheStatusPageIsKeptWhileBusy)
{
    Show();
    QTreeWidgetItem* root = w->tvPanel->topLevelItem(0);
    w->tvPanel->setCurrentItem(root->child(6));  // status, PELIX-G
    ASSERT_EQ(w->Host().CurrentNode(), 7);
    st.flags.statusBusy = true;
    w->tvPanel->setCurrentItem(root->child(0));
    EXPECT_EQ(w->Host().CurrentNode(), 7);
    EXPECT_EQ(w->tvPanel->currentItem(), root->child(6));
    EXPECT_EQ(fb.messages.back().text, st.Text(161));
    st.flags.statusBusy = false;
    w->tvPanel->setCurrentItem(root->child(0));
    EXPECT_EQ(w->Host().CurrentNode(), 1);
}

TEST_F(MainWindowFixture, SavingThroughTheCustomerDialog)
{
    Show();
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TfrmCliente*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->txtNome->setText(QString(40, u'N'));
        dlg->txtCodiceCliente->setText("7");
        dlg->txtDescrImpianto->setText("Capannone");
        dlg->BitBtn1->click();
    });
    w->mSave1Click();
    EXPECT_EQ(st.cliente.Nome.size(), 35u);
    EXPECT_EQ(st.cliente.CodiceCliente, "0007");
    ASSERT_NE(Listed(QString(35, u'N')), nullptr);
    EXPECT_TRUE(ImageUnchanged(st, st.image));

    // Opening the dialog again shows what was stored.
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* dlg = qobject_cast<TfrmCliente*>(QApplication::activeModalWidget());
        if (!dlg) return;
        shown = dlg->txtDescrImpianto->text();
        dlg->reject();
    });
    w->mSave1Click();
    EXPECT_EQ(shown, "Capannone");
}

TEST_F(MainWindowFixture, ARefusedSaveKeepsTheCustomerDialogOpen)
{
    Store(kModelG, "Rossi", "0001");
    st.cliente.TipoCentrale = kModelI;
    Show();
    bool stillOpen = false;
    QTimer::singleShot(0, [&stillOpen] {
        auto* dlg = qobject_cast<TfrmCliente*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->txtNome->setText("Rossi");  // the name of a customer of another model
        dlg->BitBtn1->click();
        stillOpen = dlg->isVisible();
        dlg->reject();
    });
    w->mSave1Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(fb.messages.back().text.substr(0, st.Text(128).size()), st.Text(128));
    EXPECT_EQ(st.cliente.SerialCli, 0);  // nothing was stored
}

// ---- the read and write commands against the simulated device ----

namespace {

struct DeviceCase {
    const char* name;
    std::uint8_t model;
    sim::Model device;
    sim::Module module;
    int silentReadText;  // what a read from a device that answers nothing shows
};

void PrintTo(const DeviceCase& c, std::ostream* os) { *os << c.name; }

// Processes events until `done` or about `ms` milliseconds.
bool WaitFor(const std::function<bool()>& done, int ms = 8000)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

struct DeviceWindow : MainWindowFixture, ::testing::WithParamInterface<DeviceCase> {
    std::unique_ptr<pelix::test::SimLink> link;

    // A new customer of the case's model in the window, with the simulated
    // device, which `faults` may silence, as its port.
    void ShowOnDevice(sim::Faults faults = {})
    {
        const DeviceCase& c = GetParam();
        const bool silent = faults.silent;
        RegisterConfigurationPages();
        st.settings.TimeOut = 1;
        st.cliente.TipoCentrale = c.model;
        st.cliente.Rel_firmware = "1.05";  // PELIX-A: the simulated device's release
        link = std::make_unique<pelix::test::SimLink>(pelix::test::Device(c.device, c.module), std::move(faults));
        Show(link->port.device);
        fb.defaultAnswer = MsgAnswer::Yes;  // PELIX-A: every output event to its default output
        // The PELIX-A commands want the monitor to have seen the device.
        if (c.model == kModelA && !silent) {
            ASSERT_TRUE(WaitFor([this] { return st.flags.devicePresent.load(); }));
        }
    }
    // Types `number` as the first phone number on the phone numbers page.
    void TypeFirstNumber(const QString& number)
    {
        w->tvPanel->setCurrentItem(w->tvPanel->topLevelItem(0)->child(0));
        auto* page = qobject_cast<TfrmTelefono*>(w->Host().Current());
        ASSERT_NE(page, nullptr);
        page->StringGrid1->SetCells(TfrmTelefono::ColPhone, 1, number);
    }
    // The phone book and entry where the device keeps `number`.
    std::optional<std::pair<std::string, int>> DeviceEntry(const std::string& number)
    {
        for (const auto& [book, entries] : link->DeviceState().phoneBooks)
            for (const auto& [index, e] : entries.entries)
                if (e.number == number) return std::make_pair(book, index);
        return std::nullopt;
    }
    std::vector<std::string> Complaints() const
    {
        std::vector<std::string> out;
        for (const auto& m : fb.messages)
            if (m.type == MsgType::Error || m.type == MsgType::Warning) out.push_back(m.text);
        return out;
    }
};

}  // namespace

// A write takes the edits of the open page to the device; a read replaces the
// image with the device's configuration, and an edit still on the open page
// does not survive it.
TEST_P(DeviceWindow, WritesThePagesEditsAndReadsTheDevicesConfiguration)
{
    ShowOnDevice();
    TypeFirstNumber("0351112233");
    w->mInviaClick();
    EXPECT_EQ(Complaints(), std::vector<std::string>{});
    EXPECT_EQ(w->Host().CurrentNode(), 0);  // the root node was selected first
    const auto entry = DeviceEntry("0351112233");
    ASSERT_TRUE(entry) << "the number did not reach the device";

    // Someone changes the number on the device; the installer edits it on the
    // page, then reads.
    {
        std::lock_guard lock(link->server.mutex());
        link->device.state().phoneBooks[entry->first].entries[entry->second].number = "0354445566";
    }
    TypeFirstNumber("0357778899");
    st.reference = st.image;
    w->mCaricaClick();
    EXPECT_EQ(Complaints(), std::vector<std::string>{});
    EXPECT_EQ(st.image.NumTel[0].Numero, "0354445566");
    EXPECT_EQ(w->Host().CurrentNode(), 0);
    EXPECT_FALSE(ImageUnchanged(st, st.image));  // what was read is not saved yet
    EXPECT_EQ(st.flags.progress.load(), false);
}

// A device that answers nothing: the model's message, and the image keeps the
// installer's edits.
TEST_P(DeviceWindow, AReadFromASilentDeviceSaysSoAndKeepsTheImage)
{
    sim::Faults silent;
    silent.silent = true;
    ShowOnDevice(silent);
    TypeFirstNumber("0351112233");
    w->SelectRoot();
    const Tag_GlobalBuffer before = st.image;
    fb.messages.clear();
    w->mCaricaClick();
    EXPECT_EQ(Complaints(), std::vector<std::string>{st.Text(GetParam().silentReadText)});
    EXPECT_TRUE(st.image == before);
    EXPECT_EQ(st.image.NumTel[0].Numero, "0351112233");
}

INSTANTIATE_TEST_SUITE_P(
    Models, DeviceWindow,
    ::testing::Values(DeviceCase{"G", kModelG, sim::Model::G, sim::Module::Motorola, 611},
                      DeviceCase{"I", kModelI, sim::Model::I, sim::Module::Motorola, 237},
                      DeviceCase{"A", kModelA, sim::Model::A, sim::Module::Native, 54}),
    [](const auto& info) { return std::string(info.param.name); });
