#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

#include <sys/types.h>

// The settings file shared with the maker's other programs
// (~/.config/Kelvara.conf), read and replaced without QSettings, under the
// rules every write of it keeps:
//
// 1. Read before write, or do not write. The file is replaced only after a
//    complete, successful read of it as it now stands (same device, inode,
//    size and change times as when read). A read that fails, or a file that
//    changes while it is read, is read once more; when that fails too,
//    nothing is written. Other programs' bytes are only ever written back
//    from a successful read of them.
// 2. Only regular files are opened, never with a blocking open. The file
//    and its lock are opened with O_NONBLOCK and looked at with fstat; a
//    pipe, a device or a folder is never read or written. A link to a
//    regular file is followed and its target replaced; the link stays.
// 3. The lock ("Kelvara.conf.lock") is judged as QLockFile judges it. Held
//    by a live program: busy, never waited for. Stale (its owner dead on
//    this host, another boot, or older than QLockFile's 30 s; a file, a link
//    or an empty folder alike): removed (a link itself, never its target)
//    and taken at once. An empty lock file older than 1 s is stale: its
//    writer died between making it and filling it.
// 4. Nothing is re-read when nothing changed. While the file is the one
//    last read or written, a write costs one stat and the replacement (a
//    new file beside it, renamed over it), with no fsync.
// 5. A file this user may not write is left alone.
//
// Why not QSettings::sync(), QSaveFile::commit() or QLockFile::tryLock():
// the first two fsync the file on every call (tens of milliseconds on a
// busy disk, on every key release), and QLockFile reads whatever stands at
// the lock's path with a blocking open, so a pipe there would hang the
// window; tryLock(0) also cannot take over a stale lock without its sleep.
class SettingsFile final
{
public:
    enum class Status {
        Ok,
        LockBusy,   // another program holds the lock
        ReadFailed, // the file could not be read completely (rule 1)
        NotRegular, // a pipe, device or folder stands where the file goes (rule 2)
        Unwritable, // this user may not write the file or its folder (rule 5)
        WriteFailed // the new file could not be made: no room, a size limit
    };

    // The lock, taken once and never waited for; released at destruction.
    class Lock final
    {
    public:
        explicit Lock(const QString &settingsFile);
        ~Lock();
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;
        Status status() const { return m_status; }

    private:
        QByteArray m_path;
        int m_fd = -1;
        Status m_status = Status::LockBusy;
    };

    // The file QSettings(NativeFormat, UserScope, organization) uses, as it
    // computes it ($XDG_CONFIG_HOME/<organization>.conf), without opening it.
    static QString userFile(const QString &organization);

    explicit SettingsFile(QString path);

    QString path() const { return m_path; }
    // The file the last write replaced: the path, or where its link leads.
    QString target() const { return m_target; }

    // Reads the file when it is not the one last read or written: true and
    // `section` set to what QSettings reads from that section; false when it
    // is unchanged. A failed read forgets the last one, so that nothing is
    // written until a read succeeds again.
    struct Refresh
    {
        Status status = Status::Ok;
        bool changed = false;
        QMap<QString, QString> section;
    };
    Refresh refresh(QStringView section);

    // Replaces the file by `sectionHeader`, `lines` and every other section
    // as last read. Only after a successful refresh() under the same lock.
    Status replace(QByteArrayView sectionHeader, const std::vector<QByteArrayView> &lines);

    // The system's reason for the last failure, for a message.
    int lastError() const { return m_errno; }

    // Puts the file last written, and the rename, on the disk.
    static void syncToDisk(const QString &file);

    // How often the file was read, for the tests of rule 4.
    static int readCount();

private:
    struct Identity
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const Identity &) const = default;
    };
    static Identity identityOf(const struct stat &info);
    std::optional<Identity> identityNow();
    Status readOnce(QByteArray &bytes, Identity &read);

    QString m_path;
    QString m_target;           // the file a write replaces: the path, or where its link leads
    std::optional<Identity> m_known; // the file as last read or written; none: read it first
    std::optional<mode_t> m_mode;    // its permissions, kept by a replacement
    bool m_writable = true;
    QByteArray m_others; // every other section, as last read
    qint64 m_lastModifiedMs = 0;
    int m_errno = 0;
};
