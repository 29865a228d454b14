// The progress window of the device commands: a small window on top of the
// others that blocks input to them while an exchange runs, with one gauge.
#pragma once

#include <QDialog>

class QProgressBar;

namespace pelix {

class TfrmProg : public QDialog {
    Q_OBJECT

public:
    explicit TfrmProg(QWidget* parent = nullptr);

    QProgressBar* Gauge1;

    // Shown with the gauge at 0 and the application title as caption.
    void ProgressShow();
    void ProgressStep(int n = 1);
    // The gauge goes full, the window repaints, and after a short pause it closes.
    void ProgressClose();
};

}  // namespace pelix
