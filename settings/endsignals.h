#pragma once

#include <functional>

// Writes what settings stores hold pending when the program is told to end
// by SIGTERM, SIGHUP or SIGINT (logout, shutdown, a closed terminal, Ctrl+C).
//
// The handlers are there only while some store holds a value it could not
// write yet, and not for a signal that is ignored (a SIGHUP under nohup
// stays ignored): with nothing pending, a signal does what it always did.
// The handler itself only writes the signal's number into a pipe (the
// self-pipe pattern); a QSocketNotifier on the thread of the application
// reads it, has every pending store write its values, puts back what
// handled the signal before and raises it again, so that the program ends
// by it as it would have. A second signal while the first is being handled
// is handed on at once.
namespace EndSignals {

// `owner` (a store) holds pending values: handle the signals, and have
// `writePending` write them on one.
void watch(const void *owner, std::function<void()> writePending);
// `owner` holds nothing pending any more (or is going away).
void unwatch(const void *owner);

} // namespace EndSignals
