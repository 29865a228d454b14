// The calls page: reads the received, missed and (except on PELIX-A) dialled
// call lists from the GSM module's phone books and shows them. It edits
// nothing in the configuration.
#pragma once

#include "pages/pageform.h"
#include "status/statushost.h"

#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QToolButton;

namespace pelix {

class PageGrid;

class TfrmChiamate : public TPageForm {
    Q_OBJECT

public:
    TfrmChiamate(PageContext& ctx, QWidget* owner, StatusHost& host);

    QGroupBox* gbRicevute;
    PageGrid* gRicevute;
    QGroupBox* gbPerse;
    PageGrid* gPerse;
    QGroupBox* gbEffettuate;
    PageGrid* gEffettuate;
    QToolButton* SpeedButton4;
    QWidget* Panel1;
    QLabel* StaticText1;

    void SpeedButton4Click();
    // Fills a grid from the entry lines of a phone-book listing.
    void FillGrid(PageGrid* grid, const std::vector<std::string>& lines);

protected:
    void FormShow() override;

private:
    void ReadA(LinkContext& ctx);
    void ReadOther(LinkContext& ctx);
    bool SelectBook(LinkContext& ctx, const char* name, bool checkOk);

    StatusHost& host_;
};

}  // namespace pelix
