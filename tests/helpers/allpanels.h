#pragma once

#include "panels/panelcontext.h"
#include "settings/rememberedvalues.h"

#include <QStringList>

#include <memory>
#include <vector>

class QWidget;

// The navigation column and every panel without a web view, built
// standalone with a store of its own and a fixed rate, each a top-level
// widget (for layout and focus tests). The column comes first: its links are
// the first ones the program builds.
class AllPanels final
{
public:
    AllPanels();
    ~AllPanels();

    // Names as objectName: "Navigation", then the panels ("Frame1_0", ...) in panel order.
    static QStringList names();
    QWidget *panel(const QString &name) const;

private:
    double m_rate = 1.2345;
    RememberedValues m_store;
    std::vector<std::unique_ptr<QWidget>> m_panels;
};
