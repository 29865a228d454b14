// Fitting a window designed for W x H pixels to a smaller screen, and centring
// a panel inside its window.
#pragma once

#include <QSize>

class QWidget;

namespace pelix {

// The form is centred, does not scroll and uses "Arial". On a screen narrower
// than W, the form and every control not placed by a layout are scaled by
// screen/design in each direction (fonts by the vertical factor, grid columns by
// the horizontal one). `screen` overrides the size of the form's screen.
void FitFormToScreen(QWidget* form, int W, int H, QSize screen = QSize());

void CenterPanelX(QWidget* form, QWidget* panel);
void CenterPanelY(QWidget* form, QWidget* panel);

}  // namespace pelix
