// The customer dialog: stores the current configuration as a customer.
#pragma once

#include "db/customerdb.h"
#include "model/state.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pelix {

class TfrmCliente : public QDialog {
    Q_OBJECT

public:
    TfrmCliente(ProgramState& st, CustomerDatabase& db, QWidget* parent = nullptr);

    QLineEdit* txtNome;
    QLineEdit* txtIndirizzo;
    QLineEdit* txtComune;
    QLineEdit* txtNumTelCliente;
    QLineEdit* txtNumTelSim;
    QLineEdit* txtDescrImpianto;
    QLineEdit* txtCodiceCliente;
    QPushButton* btnfindcode;
    QLineEdit* txtLastChange;
    QLineEdit* txtTipoCentrale;
    QLineEdit* txtFirmware;
    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void BitBtn1Click();

    ProgramState& st_;
    CustomerDatabase& db_;
    bool shown_ = false;
};

}  // namespace pelix
