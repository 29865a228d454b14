// The "Update Database" window of dbrefit: shows what is being worked on while
// its timer runs the upgrade once, then closes.
#pragma once

#include "dbrefit/upgrade.h"

#include <QTimer>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace pelix::refit {

class TfrmCreafile : public QWidget {
    Q_OBJECT
public:
    TfrmCreafile(Upgrade& upgrade, Feedback& fb, QWidget* parent = nullptr);

    // Whether the run completed (left "altflag.540").
    bool Completed() const { return completed_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void Timer1Timer();
    void UpgradeStepsRun();

    Upgrade& upgrade_;
    Feedback& fb_;
    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Nomedelfile;
    QLabel* NomeDelDatabase;
    QPushButton* btnok;
    QPushButton* btncancel;
    QTimer Timer1;
    bool shown_ = false;
    bool ran_ = false;
    bool completed_ = false;
};

}  // namespace pelix::refit
