#include "remotedlg.h"

#include "app/mainwindow.h"
#include "common/text.h"
#include "model/datetime.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pelix {

namespace {

QString T(const ProgramState& st, int n) { return FromCp1252(st.Text(n)); }

// Progress of a send shown in the dialog itself; messages and the cursor go to
// the program's own feedback.
class DialogFeedback : public Feedback {
public:
    DialogFeedback(Feedback& main, QProgressBar* bar, QLabel* label) : main_(main), bar_(bar), label_(label) {}
    MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override
    {
        return main_.Message(text, type, buttons);
    }
    void ProgressShow(const std::string& caption, int maximum) override
    {
        bar_->setRange(0, std::max(1, maximum));
        bar_->setValue(0);
        label_->setText(FromCp1252(caption));
        QCoreApplication::processEvents();
    }
    void ProgressCaption(const std::string& caption) override { label_->setText(FromCp1252(caption)); }
    void ProgressStep() override
    {
        bar_->setValue(bar_->value() + 1);
        QCoreApplication::processEvents();
    }
    void ProgressClose() override { bar_->setValue(0); }
    void Busy(bool on) override { main_.Busy(on); }
    void ProcessEvents() override { main_.ProcessEvents(); }

private:
    Feedback& main_;
    QProgressBar* bar_;
    QLabel* label_;
};

}  // namespace

TfrmChiamataRemota::TfrmChiamataRemota(ProgramState& st, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(T(st, 244));
    Label1 = new QLabel(T(st, 86), this);
    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setMaxLength(35);
    BitBtn1 = new QPushButton(T(st, 249), this);
    BitBtn3 = new QPushButton(T(st, 97), this);
    BitBtn1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(MaskEdit1);
    layout->addLayout(buttons);
    connect(MaskEdit1, &QLineEdit::textChanged, this, [this](const QString& t) { BitBtn1->setEnabled(!t.isEmpty()); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    MaskEdit1->setText(FromCp1252(st.cliente.TelCentrale.view()));
    BitBtn1->setEnabled(!MaskEdit1->text().isEmpty());
}

TfrmProgRemota::TfrmProgRemota(TfrmMain& main, CustomerDatabase& db, QWidget* parent)
    : QDialog(parent), main_(main), db_(db)
{
    ProgramState& st = main.State();
    setWindowTitle(T(st, 244));
    Panel2 = new QLabel(T(st, 245), this);
    lvClienti = new QTreeWidget(this);
    lvClienti->setColumnCount(2);
    lvClienti->setHeaderLabels({T(st, 13), T(st, 14)});
    lvClienti->setRootIsDecorated(false);
    lvClienti->setColumnWidth(0, 160);
    BitBtn1 = new QPushButton(T(st, 246), this);
    BitBtn3 = new QPushButton(T(st, 97), this);
    BitBtn4 = new QPushButton(T(st, 250), this);
    clbSMS = new QListWidget(this);
    clbSMS->setContextMenuPolicy(Qt::CustomContextMenu);
    BitBtn2 = new QPushButton(T(st, 21).remove(u'&'), this);
    BitBtn2->setEnabled(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setValue(0);
    lblProgress = new QLabel(this);

    auto* left = new QVBoxLayout;
    left->addWidget(Panel2);
    left->addWidget(lvClienti, 1);
    auto* buildButtons = new QHBoxLayout;
    buildButtons->addWidget(BitBtn1);
    buildButtons->addWidget(BitBtn3);
    buildButtons->addWidget(BitBtn4);
    left->addLayout(buildButtons);
    auto* right = new QVBoxLayout;
    right->addWidget(clbSMS, 1);
    right->addWidget(ProgressBar1);
    right->addWidget(lblProgress);
    right->addWidget(BitBtn2);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 2);
    resize(820, 480);

    // The customer list, as the main window lists it, with the current customer selected.
    std::vector<CustomerListEntry> rows;
    if (db_.IsOpen()) db_.ListCustomers(rows);
    for (const auto& r : rows) {
        if (r.TipoCentrale != kModelG && r.TipoCentrale != kModelA && r.TipoCentrale != kModelI) continue;
        auto* item = new QTreeWidgetItem(lvClienti, {FromCp1252(r.Nome), FromCp1252(r.CodiceCliente)});
        serials_.push_back(r.SerialCli);
        if (r.SerialCli == st.cliente.SerialCli) lvClienti->setCurrentItem(item);
    }

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(false); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn1Click(false); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn1Click(true); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(clbSMS, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        auto setAll = [this](int how) {
            for (int i = 0; i < clbSMS->count(); ++i) {
                QListWidgetItem* it = clbSMS->item(i);
                const bool on = how == 0 ? true : how == 1 ? false : it->checkState() != Qt::Checked;
                it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            }
        };
        menu.addAction(QStringLiteral("Select &all"), this, [setAll] { setAll(0); });
        menu.addAction(QStringLiteral("Select &none"), this, [setAll] { setAll(1); });
        menu.addAction(QStringLiteral("&Invert selection"), this, [setAll] { setAll(2); });
        menu.exec(clbSMS->viewport()->mapToGlobal(at));
    });

    askDestination = [this](std::string& destination) {
        TfrmChiamataRemota dlg(main_.State(), this);
        if (dlg.exec() != QDialog::Accepted) return false;
        destination = ToCp1252(dlg.MaskEdit1->text());
        return true;
    };
}

RemoteMessages TfrmProgRemota::Messages() const
{
    RemoteMessages m;
    for (int i = 0; i < clbSMS->count(); ++i)
        m.push_back({ToCp1252(clbSMS->item(i)->text()), clbSMS->item(i)->checkState() == Qt::Checked});
    return m;
}

void TfrmProgRemota::SyncChecks(const RemoteMessages& m)
{
    for (int i = 0; i < clbSMS->count() && i < static_cast<int>(m.size()); ++i)
        clbSMS->item(i)->setCheckState(m[static_cast<std::size_t>(i)].checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmProgRemota::BitBtn1Click(bool all)
{
    ProgramState& st = main_.State();
    const int row = lvClienti->currentItem() ? lvClienti->indexOfTopLevelItem(lvClienti->currentItem()) : -1;
    if (!all && row < 0) return;
    const std::string sim = main_.ModemInfo().s[6];
    const std::uint32_t now = DateTimeToUnix(NowDateTime());
    RemoteMessages built;
    try {
        if (all) {
            built = RemoteBuildAll(st, sim, now);
        } else {
            const int serial = serials_[static_cast<std::size_t>(row)];
            RemoteBuildCompare(st, sim, now, [this, serial](ProgramState&) { return db_.LoadCustomer(serial); }, built);
        }
    } catch (const std::exception& e) {
        ShowMsg(*st.feedback, e.what(), MsgType::Warning);
    }
    clbSMS->clear();
    for (const RemoteMessage& m : built) {
        auto* item = new QListWidgetItem(FromCp1252(m.text), clbSMS);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    BitBtn2->setEnabled(clbSMS->count() > 0);
}

void TfrmProgRemota::BitBtn2Click()
{
    std::string destination;
    if (!askDestination || !askDestination(destination)) return;
    ProgramState& st = main_.State();
    DialogFeedback fb(*st.feedback, ProgressBar1, lblProgress);
    LinkContext link = main_.MakeLinkContext(&fb);
    RemoteMessages messages = Messages();
    const RemoteSendResult r =
        RemoteSend(link, destination, messages, [this](const RemoteMessages& left) { SyncChecks(left); });
    SyncChecks(messages);
    // A module that cannot send SMS must not look like a send that worked.
    if (r == RemoteSendResult::NotMotorola) ShowMsg(*st.feedback, st.Text(122), MsgType::Warning);
}

}  // namespace pelix
