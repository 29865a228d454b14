// Which page class the tree opens for a node. The pages register themselves in
// RegisterConfigurationPages(); a kind nobody registered opens the start page.
#pragma once

#include "pages/pageform.h"

namespace pelix {

enum class PageKind { Logo, Telefono, AvvTel, Sms, SmsPELIXG, Uscite, ComDig, ComDigPELIXG, GPRS, Chiamate, Stato, StatoPELIXG };

void RegisterPage(PageKind kind, PageFactory factory);

template <class Page>
TPageForm* MakePage(PageContext& ctx, QWidget* owner)
{
    return new Page(ctx, owner);
}
const PageFactory* FindPage(PageKind kind);

// Registers every configuration page this library holds. Called once by the
// program (and by tests) before the main window opens a page.
void RegisterConfigurationPages();

}  // namespace pelix
