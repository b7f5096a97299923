#pragma once

#include <QByteArray>
#include <QString>

// The lock that QSettings takes around every write of a settings file: the
// file "<settings file>.lock", created exclusively, held with flock() and
// holding QLockFile's lines (process id, program, host, machine and boot
// ids), so QLockFile in other programs waits for it and tells a stale one.
//
// It is tried once and never waited for: the store runs on the thread of
// the window, which must not wait on another program. A lock file that
// exists is only opened without blocking and without following a link
// (O_NONBLOCK | O_NOFOLLOW) and read only when fstat() calls it a regular
// file; anything else there (a pipe, a link, a device, a folder) counts as
// a lock another program holds. A stale lock (its owner dead or not that
// program any more, another boot, older than QLockFile's 30 s) is taken
// over as QLockFile takes it over: removed under flock() when no live
// owner holds that, then made anew, all without waiting.
class SettingsLock final
{
public:
    enum class State {
        Locked,     // ours until destruction
        Busy,       // another program holds it, or something not a lock file is there
        Unwritable, // the lock file cannot be made in the settings folder
    };

    // Tries once to take the lock for `settingsFile`.
    explicit SettingsLock(const QString &settingsFile);
    ~SettingsLock();
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;

    bool isLocked() const { return m_fd >= 0; }
    State state() const { return m_state; }

private:
    QByteArray m_path;
    int m_fd = -1;
    State m_state = State::Busy;
};
