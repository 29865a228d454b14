// The voice dialer page (PELIX-A): for each of the four inputs the voice
// message played and the numbers called, the labels of the eight voice
// messages, the dialling mode, call-back, and the two line-switch options of
// input 4.
#pragma once

#include "pages/pageform.h"

#include <QMetaObject>

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace pelix {

class PageGrid;
class PolarityLegend;

class TfrmAvvTel : public TPageForm {
    Q_OBJECT

public:
    TfrmAvvTel(PageContext& ctx, QWidget* owner);
    ~TfrmAvvTel() override;

    // Columns of the input grid.
    enum {
        ColInput = 0,
        ColPolarity = 1,
        ColMessage = 2,
        ColNumber1 = 3,
        ColNumber8 = 10,
        ColService = 11,
        ColUsaGsm = 12,
        ColCommutaChiama = 13
    };
    static constexpr int kInputRows = 4;
    static constexpr int kLabelLength = 20;

    QGroupBox* GroupBox1;  // inputs
    PageGrid* HyperGrid1;
    QGroupBox* GroupBox2;  // voice message labels
    PageGrid* StringGrid2;
    QGroupBox* GroupBox3;  // dialling mode
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QGroupBox* GroupBox4;  // call back
    QCheckBox* CheckBox1;
    PolarityLegend* Legend;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    bool Release11() const;
    QStringList MessageLabels() const;
    QString MessageOf(int input) const;
    void ApplyInput4Rule();
    void WriteBack();
    void StringGrid2Exit();
    void HyperGrid1DrawCell(QPainter& p, const QRect& rect, int col, int row);
    void HyperGrid1Click(int col, int row);
    void HyperGrid1ComboChosen(int col, int row, int index);

    QMetaObject::Connection focusWatch_;
};

}  // namespace pelix
