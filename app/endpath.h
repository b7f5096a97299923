#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;
class RememberedValues;

// The one way the program ends: whatever ends it, what the settings store
// holds pending is written first, within the store's bound of 3 s.
// - The window closed, QCoreApplication::exit(): before the event loop ends
//   (aboutToQuit), and again when this object goes at the end of main().
// - The desktop session ends (commitDataRequest).
// - SIGTERM, SIGHUP, SIGINT, in any number and order: the first is written
//   into a pipe and handled from the event loop, which writes, then ends
//   the program by that signal as it would have ended; later ones wait for
//   that, unless it has overrun its bound. A signal that was ignored (SIGHUP
//   under nohup) stays ignored.
// - exit() from elsewhere, as the display's plugin calls it when the
//   display goes away: a hook that needs no event loop.
// Made after the application and the store, gone before the store.
class EndPath final : public QObject
{
    Q_OBJECT

public:
    explicit EndPath(RememberedValues &store);
    ~EndPath() override;

private:
    void endBySignal();

    RememberedValues &m_store;
    std::unique_ptr<QSocketNotifier> m_signals;
};
