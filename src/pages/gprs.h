// The GPRS page (PELIX-G): how the communicator reaches its receiving centre
// over GPRS — access point, receiver address and port, an optional second
// receiver, the GPRS login, the caller numbers, supervision, DNIS and account.
#pragma once

#include "pages/pageform.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace pelix {

class TfrmGPRS : public TPageForm {
    Q_OBJECT

public:
    TfrmGPRS(PageContext& ctx, QWidget* owner);

    QLineEdit* APNE;
    std::array<QLineEdit*, 4> IpE{};   // Ip1E, IP2E, IP3E, IP4E
    QLineEdit* PortE;
    QLineEdit* UserE;
    QLineEdit* PasswordE;
    QLineEdit* APN2E;
    std::array<QLineEdit*, 4> Ip2E{};  // Ip5E .. Ip8E
    QLineEdit* Port2E;
    QLineEdit* Tel1E;
    QLineEdit* Tel2E;
    QCheckBox* CBSupervi;
    QSpinBox* TempoE;
    QLineEdit* DNISE;
    QLineEdit* Edit1;  // account
    QLineEdit* SIME;
    QLabel* StaticText1;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void SecondReceiverRule();
    void CBSuperviClick();
    void ShowSupervision(bool on, int minutes);

    QGroupBox* gbImpostazioni;
    QGroupBox* gbChiamanti;
    QGroupBox* gbSupervisione;
    QGroupBox* gbParametri;
    std::array<QLabel*, 12> L{};
    QList<QWidget*> tag55_;  // the second receiver's controls and labels
};

}  // namespace pelix
