#pragma once

#include <QString>

#include <functional>

class RememberedValues;

// What a panel needs from the main window: the settings store, the current
// exchange rate (US dollars per euro, 0 while none is known) and the product
// site's base address. Panels never see the main window itself.
struct PanelContext
{
    RememberedValues &store;
    std::function<double()> rate;
    QString baseUrl;
};
