#include "status/sbloccapin.h"

#include "common/text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace pelix {

TfrmSbloccaPin::TfrmSbloccaPin(ProgramState& st, std::atomic<bool>* unlockOpen, QWidget* parent)
    : QDialog(parent), st_(st), variant_(UnlockVariant::PelixI), unlockOpen_(unlockOpen)
{
    // A tool window without title-bar buttons: the dialog ends only by its own buttons.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (unlockOpen_) *unlockOpen_ = true;
    Build();
}

TfrmSbloccaPin::TfrmSbloccaPin(ProgramState& st, UnlockVariant variant, QWidget* parent)
    : QDialog(parent), st_(st), variant_(variant)
{
    Build();
}

TfrmSbloccaPin::~TfrmSbloccaPin()
{
    if (unlockOpen_) *unlockOpen_ = false;
}

TfrmSbloccaPinPELIXG::TfrmSbloccaPinPELIXG(ProgramState& st, QWidget* parent)
    : TfrmSbloccaPin(st, UnlockVariant::PelixG, parent)
{
}

void TfrmSbloccaPin::Build()
{
    setModal(true);
    auto* grid = new QGridLayout(this);
    Label1 = new QLabel(this);
    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setMaxLength(kPinFieldMax);
    BitBtn1 = new QPushButton(this);
    BitBtn1->setEnabled(false);
    BitBtn1->setAutoDefault(false);
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addWidget(MaskEdit1, 1, 0, 1, 2);
    grid->addWidget(BitBtn1, 2, 0);
    if (variant_ == UnlockVariant::PelixI) {
        BitBtn2 = new QPushButton(this);
        BitBtn2->setEnabled(false);
        BitBtn2->setAutoDefault(false);
        grid->addWidget(BitBtn2, 2, 1);
        connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn1Click(UnlockButton::PinOnly); });
    }
    connect(MaskEdit1, &QLineEdit::textChanged, this, [this] { MaskEdit1Change(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(UnlockButton::PinAndSwitchOff); });
}

void TfrmSbloccaPin::showEvent(QShowEvent* e)
{
    setWindowTitle(FromCp1252(st_.Text(232)));
    Label1->setText(FromCp1252(st_.Text(231)));
    if (variant_ == UnlockVariant::PelixI) {
        BitBtn1->setText(FromCp1252(st_.Text(521)));
        BitBtn2->setText(FromCp1252(st_.Text(233)));
    } else {
        BitBtn1->setText(FromCp1252(st_.Text(233)));
    }
    adjustSize();
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(e);
}

void TfrmSbloccaPin::MaskEdit1Change()
{
    const bool on = PinButtonsEnabled(ToCp1252(MaskEdit1->text())) && !pressing_;
    BitBtn1->setEnabled(on);
    if (BitBtn2) BitBtn2->setEnabled(on);
}

bool TfrmSbloccaPin::SimCheck(LinkContext& ctx)
{
    const bool ok = pelix::SimCheck(ctx, variant_, *this);
    if (variant_ == UnlockVariant::PelixG) close();
    return ok;
}

PinDialogResult TfrmSbloccaPin::ShowUnlockDialog(LinkContext& ctx, UnlockVariant)
{
    ctx_ = &ctx;
    const int r = exec();
    ctx_ = nullptr;
    switch (r) {
    case ResultOk: return PinDialogResult::Ok;
    case ResultAbort: return PinDialogResult::Abort;
    default: return PinDialogResult::Cancel;
    }
}

void TfrmSbloccaPin::BitBtn1Click(UnlockButton button)
{
    if (!ctx_ || pressing_) return;
    // The exchange lets the window repaint; the buttons stay off meanwhile so
    // a second press cannot start a second exchange inside the first.
    pressing_ = true;
    MaskEdit1Change();
    const PinDialogResult r =
        UnlockPressed(*ctx_, variant_, button, [this] { return ToCp1252(MaskEdit1->text()); });
    pressing_ = false;
    MaskEdit1Change();
    if (r == PinDialogResult::Ok) done(ResultOk);
    else if (r == PinDialogResult::Abort) done(ResultAbort);
    else if (r == PinDialogResult::Cancel) done(ResultCancel);
}

}  // namespace pelix
