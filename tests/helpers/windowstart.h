#pragma once

#include "app/firstactivation.h"
#include "app/form2.h"
#include "app/form3.h"
#include "standin/httpserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QString>
#include <QWidget>

#include <memory>

namespace WindowStart {

// Serves a banner page from `server` and points the product site and the
// rate service at it; the rate replies are the caller's.
inline void pointHostsAt(StandIn::HttpServer &server)
{
    server.setReply(QStringLiteral("/_tools"), {200, "<!doctype html><meta charset=utf-8><p>Banner</p>"});
    qputenv("KARTAVIO_SITE_HOST", server.hostAndPort().toUtf8());
    qputenv("KARTAVIO_SERVICE_HOST", server.hostAndPort().toUtf8());
}

// Builds the main window, shows it when it is ready and waits for its first
// activation (rate retrieval and restored boxes) to finish. Null on a timeout.
// `msToReady`, when given, gets the time from construction to ready-to-show.
inline std::unique_ptr<Form3> startAndActivate(qint64 *msToReady = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    auto window = std::make_unique<Form3>();
    QSignalSpy ready(window.get(), &Form3::readyToShow);
    if (!ready.wait(10000))
        return nullptr;
    if (msToReady)
        *msToReady = clock.elapsed();
    QSignalSpy done(window->findChild<FirstActivation *>(), &FirstActivation::done);
    window->show();
    if (!done.wait(20000))
        return nullptr;
    return window;
}

// The index of the panel in front of `window` (from its name Frame1_<index>),
// or -1.
inline int frontPanel(const QWidget *window)
{
    const auto *stack = window->findChild<QStackedWidget *>(QStringLiteral("panels"));
    const QWidget *front = stack ? stack->currentWidget() : nullptr;
    bool ok = false;
    const int index = front ? front->objectName().section(u'_', 1).toInt(&ok) : -1;
    return ok ? index : -1;
}

// The please-wait window, a top-level window of its own; null when none exists.
inline Form2 *waitWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form2 *>(widget))
            return form;
    }
    return nullptr;
}

namespace Detail {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int number(const QString &text, const QString &pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace Detail

// What the X server holds for a top-level window, read with xprop and
// xwininfo as a user would: a text property ("WM_NAME", "_NET_WM_NAME"), and
// the window's outer frame as the window manager placed it.
inline QString xProperty(WId window, const QString &name)
{
    // WM_NAME(STRING) = "Kartavio 1.00"
    const QString line = Detail::run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), name});
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("= \"(.*)\"\\s*$")).match(line);
    return match.hasMatch() ? match.captured(1) : QString();
}

inline QRect xFrame(WId window)
{
    const QString id = QString::number(window);
    const QString info = Detail::run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const QRect client(Detail::number(info, QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")),
                       Detail::number(info, QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")),
                       Detail::number(info, QStringLiteral("Width:\\s+(\\d+)")),
                       Detail::number(info, QStringLiteral("Height:\\s+(\\d+)")));
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const QString extents = Detail::run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
    if (!m.hasMatch())
        return client;
    return client.adjusted(-m.captured(1).toInt(), -m.captured(3).toInt(), m.captured(2).toInt(), m.captured(4).toInt());
}

} // namespace WindowStart
