#pragma once

#include "panels/panelcontext.h"
#include "settings/rememberedvalues.h"

#include <QStringList>

#include <memory>
#include <vector>

class QWidget;

// Every panel without a web view, built standalone with a store of its own
// and a fixed rate, each a top-level widget (for layout and focus tests).
class AllPanels final
{
public:
    AllPanels();
    ~AllPanels();

    // Names as objectName of the panel ("Frame1_0", ...), in panel order.
    QStringList names() const;
    QWidget *panel(const QString &name) const;

private:
    double m_rate = 1.2345;
    RememberedValues m_store;
    std::vector<std::unique_ptr<QWidget>> m_panels;
};
