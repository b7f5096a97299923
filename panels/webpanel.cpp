#include "panels/webpanel.h"

#include "panels/quietpage.h"
#include "panels/webmenu.h"
#include "widgets/controls.h"
#include "widgets/twips.h"

#include <QWebEngineView>

WebPanel::WebPanel(int index, const QString &caption, const QString &viewName, QWidget *parent)
    : QGroupBox(parent)
{
    Controls::panel(this, index, caption);
    m_view = new QWebEngineView(this);
    m_view->setPage(new QuietPage(m_view));
    m_view->setObjectName(viewName);
    m_view->setAccessibleName(u"Webseite " % caption);
    m_view->setGeometry(Twips::rect(120, 240, 6975, 4695));
    WebMenu::trim(m_view);
}
