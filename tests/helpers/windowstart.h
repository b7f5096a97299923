#pragma once

#include "standin/httpserver.h"

#include <memory>

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QWidget>

class Form2;
class Form3;

namespace WindowStart {

// Serves a banner page from `server` and points the product site and the
// rate service at it; the rate replies are the caller's.
void pointHostsAt(StandIn::HttpServer &server);

// Builds the main window, shows it when it is ready and waits for its first
// activation (rate retrieval and restored boxes) to finish. Null on a timeout.
// `msToReady`, when given, gets the time from construction to ready-to-show.
std::unique_ptr<Form3> startAndActivate(qint64 *msToReady = nullptr);

// The index of the panel in front of `window` (from its name Frame1_<index>),
// or -1.
int frontPanel(const QWidget *window);
// The please-wait window, a top-level window of its own; null when none exists.
Form2 *waitWindow();

// What the X server holds for a top-level window, read with xprop and
// xwininfo as a user would: a text property ("WM_NAME", "_NET_WM_NAME"), and
// the window's outer frame as the window manager placed it.
QString xProperty(WId window, const QString &name);
QRect xFrame(WId window);

} // namespace WindowStart
