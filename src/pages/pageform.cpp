#include "pageform.h"

#include "app/formfit.h"
#include "common/text.h"

#include <QEvent>
#include <QLabel>
#include <QStatusTipEvent>
#include <QVBoxLayout>

namespace pelix {

TPageForm::TPageForm(PageContext& c, QWidget* owner) : QWidget(owner), ctx(c), st(c.st), fb(c.fb)
{
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
