// The installer's settings dialog: device model, firmware release and the reply
// time-out of the serial link.
#pragma once

#include "model/state.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;

namespace pelix {

class TfrmCodInst : public QDialog {
    Q_OBJECT

public:
    TfrmCodInst(ProgramState& st, QWidget* parent = nullptr);

    QComboBox* cbPanel;
    QComboBox* cbFirmware;
    QSpinBox* TimeOutSpin;
    QToolButton* tbOk;
    QToolButton* tbCancel;
    QToolButton* tbHelp;

    // Release items a model offers ("1.0x" ...).
    static QStringList ReleaseItems(int model);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void cbPanelChange();
    void tbOkClick();
    int PanelIndex(int model) const;
    bool Selected(int model) const;

    ProgramState& st_;
    QLabel* Label1;
    QLabel* Label2;
};

}  // namespace pelix
