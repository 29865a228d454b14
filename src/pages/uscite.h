// The outputs page: polarity of the five outputs, the device events that switch
// each one or its reservation for remote commands, and the user code that SMS
// commands for the outputs must carry. PELIX-A names seven events per output;
// the other models switch an output by an event mask and give a reserved
// output a label, a confirmation, a type and an on-time.
#pragma once

#include "pages/pageform.h"

#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace pelix {

class PageGrid;
class PolarityLegend;

// Reserves an output of the second-generation models for remote commands: a
// reserved output is switched by no device event, so its event mask goes.
void ReserveOutput(Tag_Uscita& u);

class TfrmUscite : public TPageForm {
    Q_OBJECT

public:
    TfrmUscite(PageContext& ctx, QWidget* owner);
    ~TfrmUscite() override;

    // Columns of the PELIX-A grid.
    enum { ColNumber = 0, ColPolarity = 1, ColFirstEvent = 2, ColLastEvent = 8, ColReservedA = 9, ColLabelA = 10 };
    // Columns of the grid of the other models.
    enum { ColFirstBit = 2, ColLastBit = 9, ColReserved = 10, ColLabel = 11, ColConfirm = 12, ColTimed = 13, ColOnTime = 14 };
    static constexpr int kLabelLengthA = 10;
    static constexpr int kLabelLength = 8;
    static constexpr const char* kDefaultUserCode = "7305";
    static constexpr const char* kUserCodeMessage =
        "User code must be 4 characters long. Code will be brougth to default. (7305)";

    // The event flag a PELIX-A event column stands for.
    static std::uint8_t Tag_Uscita::*EventOf(int col);

    QGroupBox* GroupBox1;
    PageGrid* HyperGrid2;  // PELIX-A
    PageGrid* hgOutI;      // the other models
    PolarityLegend* Legend;
    QLabel* Label3;
    QLineEdit* Edit1;      // user code
    QWidget* Panel1;       // bottom status panel
    QLabel* StaticText1;

protected:
    void FormShow() override;
    void FormClose() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    Tag_Uscita& Output(int row);
    QStringList ConfirmItems(int row) const;
    void Edit1Exit();
    void HyperGrid2DrawCell(QPainter& p, const QRect& rect, int col, int row);
    void HyperGrid2Click(int col, int row);
    void hgOutIDrawCell(QPainter& p, const QRect& rect, int col, int row);
    void hgOutIClick(int col, int row);
    void hgOutIComboChosen(int col, int row, int index);
    void CellEdited(PageGrid* grid, int col, int row, const QString& text);
};

}  // namespace pelix
