#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>

#include <memory>

// The lock that QSettings takes around every write of a settings file: the
// file "<settings file>.lock", created exclusively, held with flock() and
// holding QLockFile's lines (process id, program, host, machine and boot
// ids), so QLockFile in other programs waits for it and tells a stale one.
//
// Taken uncontended, it is made directly: QLockFile syncs the lock file to
// the disk each time (milliseconds), more than a whole key release may
// take, and a lock held for a moment needs no sync. When another program
// holds it, QLockFile itself waits for it, stale locks included.
class SettingsLock final
{
public:
    // Takes the lock for `settingsFile`, waiting at most `timeoutMs`.
    SettingsLock(const QString &settingsFile, int timeoutMs);
    ~SettingsLock();
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;

    bool isLocked() const { return m_fd >= 0 || m_waited; }

private:
    QByteArray m_path;
    int m_fd = -1;                         // the lock file made directly
    std::unique_ptr<QLockFile> m_waited;   // or the one QLockFile waited for
};
