// The status page. On PELIX-A a view of the GSM cells the module sees, drawn
// as seven hexagons; on PELIX-I and PELIX-G a live monitor of the device's
// inputs, outputs, warnings, signal and supply, with output switching and two
// maintenance commands. TfrmStato serves PELIX-A and PELIX-I,
// TfrmStatoPELIXG serves PELIX-G.
#pragma once

#include "pages/pageform.h"
#include "status/statushost.h"
#include "status/statusworker.h"

#include <array>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace pelix {

class LcdDisplay;
class PageGrid;

// The honeycomb of the cell view: a centre hexagon and six around it, each
// holding a signal picture.
class Honeycomb : public QWidget {
    Q_OBJECT

public:
    explicit Honeycomb(QWidget* parent = nullptr);
    // Image1..Image7: top, upper right, lower left, bottom, upper left, lower
    // right, centre.
    std::array<QLabel*, 7> images{};
    QSize sizeHint() const override { return {260, 250}; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QPointF Centre(int i) const;
    double Radius() const;
};

class TfrmStato : public TPageForm {
    Q_OBJECT

public:
    TfrmStato(PageContext& ctx, QWidget* owner, StatusHost& host);
    ~TfrmStato() override;

    // Identification.
    QGroupBox* GroupBox1;
    std::array<QLabel*, 5> captionLabels{};  // Label1..Label5
    std::array<QLabel*, 5> valueLabels{};    // Label6..Label10
    // Cell view (PELIX-A).
    QGroupBox* GroupBox2;
    QToolButton* SpeedButton1;
    Honeycomb* honeycomb;
    // Status area.
    QWidget* pnlPELIX_1;
    QGroupBox* gbIngressi;
    PageGrid* sgIngressi;
    QGroupBox* gbUscite;
    PageGrid* sgUscite;
    QMenu* popup;
    QAction* ONOFF1;
    QGroupBox* gbWarning;
    PageGrid* sgWarnings;
    QPushButton* BitBtn1;
    QPushButton* ResetBtn;  // BitBtn2 on the PELIX-G page
    QGroupBox* GroupBox3;
    QLabel* dtSms;
    QGroupBox* GroupBox4;
    QLabel* dtCid;
    QLabel* Image10;
    // Device display.
    QWidget* Panel2;
    LcdDisplay* lcd;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Image8;
    QLabel* Label13;
    QLabel* Image9;
    QWidget* Panel4;
    QLabel* StaticText1;

    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* TimerPIN;

    // What the tests look at.
    StatusShared& Shared() { return *shared_; }
    bool WorkerRunning() const { return shared_->running.load(); }
    const LiveValues& Shown() const { return shown_; }
    int StatusPicture() const { return statusPicture_; }
    // How often status picture n (0..3) was shown.
    int StatusPictureCount(int n) const { return n >= 0 && n < 4 ? pictureCounts_[static_cast<std::size_t>(n)] : 0; }
    int SupplyPicture() const { return supplyPicture_; }
    int AnimationFrame() const { return frame_; }
    QString DisplayBitmap() const { return displayBitmap_; }
    // The file shown in a hexagon (Image1..Image7 as 1..7); empty when cleared.
    QString CellPicture(int image) const { return cellFiles_[static_cast<std::size_t>(image - 1)]; }
    bool Polling() const { return polling_; }

    // The handlers, callable by the tests.
    void SpeedButton1Click();
    void Timer1Timer();
    void Timer2Timer();
    void TimerPINTimer();
    void ONOFF1Click();
    void BitBtn1Click();
    void ResetBtnClick();
    // Queues a command for the worker; false when it was dropped.
    bool QueueCommand(char command);

protected:
    TfrmStato(PageContext& ctx, QWidget* owner, StatusHost& host, StatoVariant variant);
    void FormShow() override;
    bool FormCloseQuery() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

    bool G() const { return variant_ == StatoVariant::PelixG; }
    int OwnModel() const;

private:
    void Build();
    void ApplyCaptions();
    void OnCode(int code, int param);
    void ShowDisplay();
    void ShowDates();
    void ShowIdentity();
    void sgIngressiDrawCell(QPainter& p, const QRect& r, int col, int row);
    void sgUsciteDrawCell(QPainter& p, const QRect& r, int col, int row);
    void sgWarningsDrawCell(QPainter& p, const QRect& r, int col, int row);
    void Image8MouseMove();
    void SetCellLevel(int image, int level);
    void StopCellView();
    void StopWorker();
    LinkContext PageLink();
    void WaitWhole(int seconds, const std::function<bool()>& until);

    StatusHost& host_;
    StatoVariant variant_;
    std::shared_ptr<StatusShared> shared_;
    std::unique_ptr<StatusWorker> worker_;
    LiveValues shown_;  // the values last handed over by the worker
    int statusPicture_ = -1;
    std::array<int, 4> pictureCounts_{};
    int supplyPicture_ = -1;
    int frame_ = 0;
    QString displayBitmap_;
    std::array<QString, 7> cellFiles_{};
    bool polling_ = false;       // a Timer1 round is talking to the module
    bool stopAfterPoll_ = false;  // the button was pressed during that round
    bool commandGuard_ = false;   // PELIX-G: a maintenance command is under way
    bool messageOpen_ = false;
    int deviceCall_ = 0;    // handlers of the page waiting on the device
    bool leaving_ = false;  // FormCloseQuery is stopping the worker
    struct DeviceCall {
        explicit DeviceCall(int& n) : n_(n) { ++n_; }
        ~DeviceCall() { --n_; }
        DeviceCall(const DeviceCall&) = delete;
        DeviceCall& operator=(const DeviceCall&) = delete;
        int& n_;
    };
};

class TfrmStatoPELIXG : public TfrmStato {
    Q_OBJECT

public:
    TfrmStatoPELIXG(PageContext& ctx, QWidget* owner, StatusHost& host);
    QPushButton* BitBtn2;
    void BitBtn2Click() { ResetBtnClick(); }
};

}  // namespace pelix
