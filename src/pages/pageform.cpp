#include "pageform.h"

#include "app/formfit.h"
#include "common/text.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QProxyStyle>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include <atomic>

namespace pelix {

namespace {

std::atomic<int> hintPauseMs{kHintPauseDefault};

// The application's own style with one answer changed: the hint pause.
class HintPauseStyle : public QProxyStyle {
public:
    explicit HintPauseStyle(const QString& base) : QProxyStyle(base) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) return hintPauseMs.load();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void SetHintPause(int ms)
{
    hintPauseMs = ms;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    static QPointer<QStyle> installed;
    if (installed && QApplication::style() == installed.data()) return;
    // A fresh instance of the style in use as the base: the application deletes
    // the style it replaces.
    auto* style = new HintPauseStyle(QApplication::style()->name());
    installed = style;
    QApplication::setStyle(style);
}

int HintPause() { return hintPauseMs.load(); }

TPageForm::TPageForm(PageContext& c, QWidget* owner, HintPauseRule hintPause)
    : QWidget(owner), ctx(c), st(c.st), fb(c.fb), hintPause_(hintPause)
{
    if (hintPause_ != HintPauseRule::Unchanged) SetHintPause(kHintPauseShort);
    if (owner) {
        setWindowFlags(Qt::Widget);
        move(1, 1);
        if (!owner->layout()) {
            auto* l = new QVBoxLayout(owner);
            l->setContentsMargins(0, 0, 0, 0);
        }
        owner->layout()->addWidget(this);
    }
}

void TPageForm::ShowPage()
{
    FormShow();
    show();
}

void TPageForm::ClosePage()
{
    if (!FormCloseQuery()) return;
    FormClose();
    if (hintPause_ == HintPauseRule::ShortWhileOpen) SetHintPause(kHintPauseDefault);
}

bool TPageForm::event(QEvent* e)
{
    if (e->type() == QEvent::StatusTip && statusLine_) {
        statusLine_->setText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QWidget::event(e);
}

QString TPageForm::Text(int n) const { return FromCp1252(st.Text(n)); }

QLabel* TPageForm::NewStatusLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumHeight(22);
    return label;
}

bool PageHost::CloseCurrent()
{
    if (!current_) return true;
    current_->Tag = 0;
    current_->ClosePage();
    if (current_->Tag == 255) return false;
    delete current_.data();
    current_ = nullptr;
    node_ = -1;
    return true;
}

bool PageHost::Open(int node, const PageFactory& factory)
{
    if (!CloseCurrent()) return false;
    node_ = node;
    current_ = factory(ctx_, area_);
    if (!current_) return true;
    FitFormToScreen(current_, 800, 600);
    current_->ShowPage();
    return true;
}

}  // namespace pelix
