// The digital communicator page: the receiving centre's numbers, the Contact ID
// account and event codes of every reportable event, which events are reported,
// and the schedule of the periodic test report. TfrmComDig serves PELIX-I with
// 14 events; TfrmComDigPELIXG serves PELIX-G with 18 and can also send the
// events over GPRS.
//
// The page will not be left while events are to be reported with nowhere to
// report them: it writes back, warns and keeps itself open (Tag 255).
#pragma once

#include "pages/pageform.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelix {

class PageGrid;
class TPeriodicSchedule;

class TfrmComDig : public TPageForm {
    Q_OBJECT

public:
    TfrmComDig(PageContext& ctx, QWidget* owner);

    std::array<QLineEdit*, 4> MaskEdit{};  // MaskEdit1..MaskEdit4
    PageGrid* hgEventi;
    QPushButton* bDefault;
    TPeriodicSchedule* gbPeriodico;
    QCheckBox* CheckBox1;  // send over GPRS (PELIX-G)
    QLabel* StaticText1;

protected:
    TfrmComDig(PageContext& ctx, QWidget* owner, bool g);

    void FormShow() override;
    bool FormCloseQuery() override;

private:
    void Build();
    void LoadPage();
    void WriteBack();
    void hgEventiSetEditText(int col, int row, const QString& text);
    void hgEventiClick(int col, int row);
    void bDefaultClick();
    bool KeyAllowed(int col, QChar c) const;

    int Events() const { return g_ ? 18 : 14; }
    // The grid row of the periodic test report.
    int PeriodicRow() const { return g_ ? 15 : 13; }
    // The last row whose event code is shared with its pair.
    int LastPairedCodeRow() const { return g_ ? 14 : 12; }

    bool g_;
    QGroupBox* gbNumeri;
    QLabel* Label1;
    std::array<QLabel*, 4> NumLabel{};
};

class TfrmComDigPELIXG : public TfrmComDig {
    Q_OBJECT

public:
    TfrmComDigPELIXG(PageContext& ctx, QWidget* owner) : TfrmComDig(ctx, owner, true) {}
};

}  // namespace pelix
