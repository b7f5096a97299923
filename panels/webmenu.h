#pragma once

class QWebEngineView;

// The right-click menu of an embedded page, with only what works in a small
// view inside this window: back, forward, reload, copying, pasting, the link
// and image addresses. Saving the page, its source, the inspector, downloads
// and new windows are left out: nothing here would take them up.
namespace WebMenu {

void trim(QWebEngineView *view);

} // namespace WebMenu
