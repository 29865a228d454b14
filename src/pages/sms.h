// The SMS and inputs page: the SMS texts, which input sends which text to which
// numbers, the texts of device events, the periodic SMS, the prepaid-credit
// check and the SMS priority.
//
// One design, two layouts: PELIX-A picks one of eight shared texts per input
// (HyperGrid1 over StringGrid3); PELIX-I and PELIX-G give every input and
// device event its own activation and restore texts (HyperGrid2), with the
// legend of the inputs' functions A and B and the periodic, credit and
// priority groups. TfrmSmsPELIXG is the PELIX-G variant of the second layout.
#pragma once

#include "pages/pageform.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pelix {

class PageGrid;
class PolarityLegend;
class TPeriodicSchedule;
struct stRecPort;

class TfrmSms : public TPageForm {
    Q_OBJECT

public:
    TfrmSms(PageContext& ctx, QWidget* owner);

    // PELIX-A layout.
    QWidget* pnlA;
    QGroupBox* gbTesti;
    PageGrid* StringGrid3;  // SMS texts 1-8
    QGroupBox* gbIngressi;
    PageGrid* HyperGrid1;   // inputs 1-4
    PolarityLegend* LegendA;

    // Event-text layout.
    QWidget* pnlEventi;
    PageGrid* HyperGrid2;   // inputs and device events
    PolarityLegend* LegendB;
    QLabel* Label1;         // title of the function legend
    PageGrid* sgLegenda;
    QGroupBox* gbChiamataADT;
    QLineEdit* edNtelADT;
    TPeriodicSchedule* gbSmsPeriodico;
    QGroupBox* gbCredito;
    QCheckBox* CheckBox1;
    QLabel* Label8;
    QLineEdit* edIntervallocredito;
    QLineEdit* Edit1;       // credit query string
    QPushButton* butt;
    QLabel* Label9;
    QGroupBox* rbPriorita;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QWidget* Panel4;
    QLabel* StaticText2;

    // The serial port record the credit query goes through; unset, the page
    // uses a record of its own set up from the port settings.
    stRecPort* creditPort = nullptr;

protected:
    TfrmSms(PageContext& ctx, QWidget* owner, bool g);

    void FormShow() override;
    void FormClose() override;

private:
    void Build();
    void BuildLayoutA();
    void BuildLayoutEvents();

    // PELIX-A layout.
    QStringList SmsItems() const;
    void ShowChoices(int row);
    void ApplyInput4Rule();
    void HyperGrid1DrawCell(QPainter& p, const QRect& r, int col, int row);
    void HyperGrid1Click(int col, int row);
    void HyperGrid1Choose(int col, int row, int index);

    // Event-text layout.
    int DataRows() const { return g_ ? 8 : 7; }
    Tag_Ingresso& Entry(int row) { return st.image.Ingresso[static_cast<std::size_t>(row - 1)]; }
    bool HasFunction(int row) const;
    void HyperGrid2DrawCell(QPainter& p, const QRect& r, int col, int row);
    void HyperGrid2Click(int col, int row);
    void HyperGrid2SetEditText(int col, int row);
    QString HyperGrid2Hint(int col, int row);
    void ApplyPeriodicRule();
    void HighlightLegend(int legendRow);
    int LegendRow(int col, int row) const { return 2 * (row - 1) + (col == 12 ? 1 : 2); }
    bool EventTextKey(QChar c) const;

    void CheckBox1Click();
    void buttClick();

    bool g_;
    bool release11_ = false;
};

class TfrmSmsPELIXG : public TfrmSms {
    Q_OBJECT

public:
    TfrmSmsPELIXG(PageContext& ctx, QWidget* owner) : TfrmSms(ctx, owner, true) {}
};

}  // namespace pelix
