#pragma once

#include "settings/settingsfile.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <chrono>
#include <optional>

// The per-user store of remembered box texts, in the settings file shared
// with the maker's other programs (section "Kartavio"; SettingsFile keeps
// the rules for reading and writing it).
//
// Each value is written before the key release that typed it returns,
// whenever the file can be written at once; a program killed right after
// loses nothing. A value that cannot be written at once (another program
// holds the lock, the disk is full, the file cannot be read or written)
// stays pending, newest text per key, and a timer tries again with growing
// pauses until it is in the file, with nothing typed in between. However
// the program ends, the application calls writePendingNow() first.
// The flush to the disk itself (fsync, many milliseconds) runs on a worker
// thread a moment after typing stops, never on a key release.
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

    QString fileName() const { return m_file.path(); }

    // Whether some value could not be written yet.
    bool hasPending() const { return !m_unsaved.isEmpty(); }

    // The program ends: writes the pending values now, waiting for another
    // program's lock (or a moment without file descriptors) at most `bound`,
    // and puts the file on the disk. Says on stderr what is lost. Needs no
    // event loop, so it may run from a signal's or exit()'s end path.
    bool writePendingNow(std::chrono::milliseconds bound = std::chrono::seconds(3));

private:
    template <typename Box>
    static QString textOf(const Box *box)
    {
        if constexpr (requires { box->toPlainText(); })
            return box->toPlainText();
        else
            return box->text();
    }

    // Takes what another program wrote since the last read; values not
    // written yet stay as typed.
    void take(const QMap<QString, QString> &section);
    SettingsFile::Status save();
    // Tries the pending values once; keeps the retry timer in step.
    void writePending();
    void warnOnce(SettingsFile::Status status);
    void flushToDisk();

    SettingsFile m_file;
    QMap<QString, QString> m_values;
    QMap<QString, QByteArray> m_lines; // each value as its line in the file, made when it changes
    QSet<QString> m_unsaved;           // keys whose value is not in the file yet
    bool m_flushPending = false;
    bool m_warned = false;
    int m_retryDelayMs = 0;
    QTimer m_flushTimer;
    QTimer m_retryTimer;
};
