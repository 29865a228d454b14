// The phone numbers page: name and number of every phone entry in use, which
// numbers may command which output by remote command, and the dialling prefix
// and digits to remove.
#pragma once

#include "pages/pageform.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace pelix {

class PageGrid;

class TfrmTelefono : public TPageForm {
    Q_OBJECT

public:
    TfrmTelefono(PageContext& ctx, QWidget* owner);

    // Grid columns.
    enum { ColNumber = 0, ColName = 1, ColPhone = 2, ColSms = 3, ColOut1 = 4, ColOut4 = 7 };
    static constexpr int kTextLength = 20;

    QGroupBox* GroupBox1;   // the phone book
    PageGrid* StringGrid1;
    QGroupBox* GroupBox2;   // dialling options
    QGroupBox* GroupBox3;   // prefix
    QLineEdit* LabeledEdit1;
    QGroupBox* GroupBox4;   // digits to remove
    QSpinBox* SpinEdit1;
    QWidget* Panel1;        // bottom status panel
    QLabel* StaticText1;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    int Entries() const;
    void StringGrid1DrawCell(QPainter& p, const QRect& rect, int col, int row);
    void StringGrid1Click(int col, int row);
    void StringGrid1SetEditText(int col, int row, const QString& text);
    bool ReceivesInputSms(int entry) const;
};

}  // namespace pelix
