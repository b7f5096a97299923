#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <optional>

#include <sys/types.h>

struct stat;

// The per-user store of remembered box texts, in the settings file QSettings
// uses (~/.config/Kelvara.conf, section "Kartavio"). The file is shared with
// the maker's other programs: their sections are kept byte for byte, and
// where a section starts and ends is decided exactly as QSettings decides.
//
// A write replaces the file (new file, then rename) before the key release
// returns whenever it can, so a program killed right after a key release
// loses nothing and the file is never half-written. It takes the lock
// QSettings takes ("Kelvara.conf.lock"), tried once and never waited for
// (SettingsLock), and reads the file again first when another program has
// changed it. A settings file that is a link is written through to its
// target; one its owner may not write is left alone.
//
// A value that cannot be written at once (another program holds the lock,
// the disk is full, the folder cannot be written) stays pending, newest text
// per key, and is tried again by a timer with growing pauses (50 ms up to
// 1 s) until it is in the file, with nothing typed in between; it is also
// written when the program ends: at destruction, through
// writePendingBeforeEnd() (the application calls it at the end of the
// session), and on SIGTERM, SIGHUP and SIGINT (EndSignals).
// Each value is encoded once, when it changes, so a key release costs the
// same whatever else the file holds. The flush to the disk itself (fsync,
// many milliseconds) runs on a worker thread a moment after typing stops,
// and at exit, instead of on every key release as QSettings::sync() would.
class RememberedValues final
{
public:
    RememberedValues();
    ~RememberedValues();
    RememberedValues(const RememberedValues &) = delete;
    RememberedValues &operator=(const RememberedValues &) = delete;

    // The text stored under `key`, or empty text when there is none.
    QString value(QStringView key) const;
    // The text stored under `key`, empty text included; nothing when the
    // key holds no value at all.
    std::optional<QString> stored(QStringView key) const;
    void setValue(QStringView key, const QString &text);

    // Stores the box's text under its object name. A box is any text box
    // (line or plain text edit); the store itself knows no widgets.
    template <typename Box>
    void save(const Box *box)
    {
        setValue(box->objectName(), textOf(box));
    }
    // Puts back the box's stored text; an empty or missing value leaves it.
    template <typename Box>
    void load(Box *box) const
    {
        const QString text = value(box->objectName());
        if (text.isEmpty())
            return;
        if constexpr (requires { box->setPlainText(text); })
            box->setPlainText(text);
        else
            box->setText(text);
    }

    QString fileName() const { return m_path; }

    // Whether some value could not be written yet.
    bool hasPending() const { return !m_unsaved.isEmpty(); }
    // Tries once, without waiting, to write the pending values now (the
    // desktop session asks the program to save its data).
    void flushPending();
    // The program ends: writes the pending values, waiting for another
    // program's lock at most a short while, and flushes the file to the
    // disk. Says on stderr what could not be written.
    void writePendingBeforeEnd();

private:
    template <typename Box>
    static QString textOf(const Box *box)
    {
        if constexpr (requires { box->toPlainText(); })
            return box->toPlainText();
        else
            return box->text();
    }

    // What identifies one version of the file on disk.
    struct Stamp
    {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        quint64 inode = 0;
        bool operator==(const Stamp &) const = default;
    };

    // Why the last write did not happen.
    enum class Failure { None, LockBusy, Unwritable, WriteFailed };

    static Stamp stampOf(const struct stat &info);
    Stamp stampOnDisk() const;
    void reload();
    Failure save();
    // Tries the pending values once; keeps the retry timer and the signal
    // handlers in step with what is still pending.
    void writePending();
    void retryLater();
    bool writeFile(const QString &targetPath, std::optional<mode_t> mode);
    QString target() const;
    void flushToDisk();

    QString m_path;
    QMap<QString, QString> m_values;
    QMap<QString, QByteArray> m_lines; // each value as its line in the file, made when it changes
    QByteArray m_others;               // the other sections of the file, as they were read
    QSet<QString> m_unsaved;           // keys whose value is not in the file yet
    Stamp m_stamp;                     // the file as this store last read or wrote it
    QString m_written;                 // the file last written (a link's target)
    qint64 m_lastModifiedMs = 0;
    bool m_flushPending = false;
    bool m_warned = false;
    Failure m_failure = Failure::None;
    int m_writeErrno = 0;
    int m_retryDelayMs = 0;
    QTimer m_flushTimer;
    QTimer m_retryTimer;
};
