// The unlock dialogs: they ask for the SIM PIN and hand it to the GSM module
// through the controller. TfrmSbloccaPin serves PELIX-I (two buttons: unlock
// and switch the PIN request off, or unlock only), TfrmSbloccaPinPELIXG serves
// PELIX-G (one button that does both).
#pragma once

#include "link/simstatus.h"
#include "model/state.h"

#include <QDialog>

#include <atomic>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pelix {

class TfrmSbloccaPin : public QDialog, public PinDialogs {
    Q_OBJECT

public:
    // `unlockOpen`, when given, is set while the dialog object exists, so the
    // status page's worker does not poll for the PIN meanwhile.
    TfrmSbloccaPin(ProgramState& st, std::atomic<bool>* unlockOpen, QWidget* parent = nullptr);
    ~TfrmSbloccaPin() override;

    // Asks the controller whether the SIM wants its PIN and only then shows
    // the dialog; the port is opened and closed here.
    bool SimCheck(LinkContext& ctx);

    enum Result { ResultCancel = QDialog::Rejected, ResultOk = QDialog::Accepted, ResultAbort = 3 };

    QLabel* Label1;
    QLineEdit* MaskEdit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2 = nullptr;  // PELIX-I only

protected:
    TfrmSbloccaPin(ProgramState& st, UnlockVariant variant, QWidget* parent);
    void showEvent(QShowEvent* e) override;
    PinDialogResult ShowUnlockDialog(LinkContext& ctx, UnlockVariant variant) override;

private:
    void Build();
    void MaskEdit1Change();
    void BitBtn1Click(UnlockButton button);

    ProgramState& st_;
    UnlockVariant variant_;
    std::atomic<bool>* unlockOpen_ = nullptr;
    LinkContext* ctx_ = nullptr;
    bool pressing_ = false;
};

class TfrmSbloccaPinPELIXG : public TfrmSbloccaPin {
    Q_OBJECT

public:
    explicit TfrmSbloccaPinPELIXG(ProgramState& st, QWidget* parent = nullptr);
};

}  // namespace pelix
