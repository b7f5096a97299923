#include "panels/webmenu.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <array>

namespace WebMenu {

namespace {

constexpr std::array leftOut = {
    QWebEnginePage::SavePage,
    QWebEnginePage::ViewSource,
    QWebEnginePage::InspectElement,
    QWebEnginePage::OpenLinkInNewWindow,
    QWebEnginePage::OpenLinkInNewTab,
    QWebEnginePage::OpenLinkInNewBackgroundTab,
    QWebEnginePage::DownloadLinkToDisk,
    QWebEnginePage::DownloadImageToDisk,
    QWebEnginePage::DownloadMediaToDisk,
};

void showMenu(QWebEngineView *view, const QPoint &position)
{
    QMenu *menu = view->createStandardContextMenu();
    for (const QWebEnginePage::WebAction action : leftOut)
        menu->removeAction(view->pageAction(action));
    menu->setSeparatorsCollapsible(true);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (menu->actions().isEmpty()) {
        menu->close();
        return;
    }
    menu->popup(view->mapToGlobal(position));
}

} // namespace

void trim(QWebEngineView *view)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, view,
                     [view](const QPoint &position) { showMenu(view, position); });
}

} // namespace WebMenu
