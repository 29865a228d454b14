// Remote programming: the configuration sent as SMS to a distant communicator
// through the device on the serial port, and the dialog asking where to.
#pragma once

#include "db/customerdb.h"
#include "link/remote.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace pelix {

class TfrmMain;

class TfrmChiamataRemota : public QDialog {
    Q_OBJECT

public:
    TfrmChiamataRemota(ProgramState& st, QWidget* parent = nullptr);
    QLabel* Label1;
    QLineEdit* MaskEdit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
};

class TfrmProgRemota : public QDialog {
    Q_OBJECT

public:
    TfrmProgRemota(TfrmMain& main, CustomerDatabase& db, QWidget* parent = nullptr);

    QLabel* Panel2;
    QTreeWidget* lvClienti;
    QPushButton* BitBtn1;  // compare with the selected customer
    QPushButton* BitBtn3;  // compare (second button of the same kind)
    QPushButton* BitBtn4;  // all messages
    QListWidget* clbSMS;
    QPushButton* BitBtn2;  // send
    QProgressBar* ProgressBar1;
    QLabel* lblProgress;

    // Builds the list: all messages (`all`) or those differing from the selected customer.
    void BitBtn1Click(bool all);
    // Asks for the destination (through `askDestination`, which the tests replace)
    // and sends the checked messages.
    void BitBtn2Click();
    std::function<bool(std::string& destination)> askDestination;

    RemoteMessages Messages() const;

private:
    void SyncChecks(const RemoteMessages& m);

    TfrmMain& main_;
    CustomerDatabase& db_;
    std::vector<int> serials_;
};

}  // namespace pelix
