#include "panels/webpanel.h"

#include "panels/quietpage.h"
#include "panels/webmenu.h"
#include "widgets/controls.h"
#include "widgets/focusmark.h"
#include "widgets/twips.h"

#include <QWebEngineView>

QWebEngineView *embeddedView(QWidget *parent, const QString &name, const QString &accessibleName,
                             const TwipsRect &place)
{
    auto *view = new QWebEngineView(parent);
    view->setPage(new QuietPage(view));
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setGeometry(Twips::rect(place));
    WebMenu::trim(view);
    // The page draws no mark of its own when it has the focus.
    FocusMark::attach(view);
    return view;
}

WebPanel::WebPanel(int index, const QString &caption, const QString &viewName, QWidget *parent)
    : QGroupBox(parent)
{
    Controls::panel(this, index, caption);
    m_view = embeddedView(this, viewName, u"Webseite " % caption, {120, 240, 6975, 4695});
}
