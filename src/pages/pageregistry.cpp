#include "pageregistry.h"

#include "pages/avvtel.h"
#include "pages/comdig.h"
#include "pages/gprs.h"
#include "pages/sms.h"
#include "pages/telefono.h"
#include "pages/uscite.h"

#include <map>

namespace pelix {

namespace {
std::map<PageKind, PageFactory>& Registry()
{
    static std::map<PageKind, PageFactory> pages;
    return pages;
}
}  // namespace

void RegisterPage(PageKind kind, PageFactory factory) { Registry()[kind] = std::move(factory); }

const PageFactory* FindPage(PageKind kind)
{
    auto it = Registry().find(kind);
    return it == Registry().end() ? nullptr : &it->second;
}

// Each page adds one line here: RegisterPage(PageKind::X, MakePage<TfrmX>);
void RegisterConfigurationPages()
{
    RegisterPage(PageKind::Telefono, MakePage<TfrmTelefono>);
    RegisterPage(PageKind::AvvTel, MakePage<TfrmAvvTel>);
    RegisterPage(PageKind::Uscite, MakePage<TfrmUscite>);
    RegisterPage(PageKind::Sms, MakePage<TfrmSms>);
    RegisterPage(PageKind::SmsPELIXG, MakePage<TfrmSmsPELIXG>);
    RegisterPage(PageKind::ComDig, MakePage<TfrmComDig>);
    RegisterPage(PageKind::ComDigPELIXG, MakePage<TfrmComDigPELIXG>);
    RegisterPage(PageKind::GPRS, MakePage<TfrmGPRS>);
}

}  // namespace pelix
