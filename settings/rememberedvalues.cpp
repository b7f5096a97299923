#include "settings/rememberedvalues.h"

#include "settings/inifile.h"
#include "settings/settingskeys.h"

#include <QThreadPool>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

using Status = SettingsFile::Status;

namespace {

// How long typing must pause before the file is flushed to the disk.
constexpr int flushDelayMs = 1000;
// The pauses between tries of a value that could not be written: the first
// one short, each next one twice as long. Another program's lock, a full
// disk or a moment without file descriptors pass soon; a file this user may
// not write, or a pipe in its place, waits for the user.
constexpr int firstRetryMs = 50;
constexpr int longestRetryMs = 1000;
constexpr int longestRetryLeftAloneMs = 64000;
// At the end of the program: how often pending values try again.
constexpr int endTryEveryMs = 20;

bool leftAlone(Status status)
{
    return status == Status::Unwritable || status == Status::NotRegular;
}

const char *reason(Status status, int error)
{
    switch (status) {
    case Status::LockBusy: return "another program holds its lock";
    case Status::NotRegular: return "it is not a regular file";
    case Status::Unwritable: return "this user may not write it or its folder";
    case Status::ReadFailed: return error != 0 ? std::strerror(error) : "it could not be read";
    case Status::WriteFailed: return std::strerror(error);
    case Status::Ok: break;
    }
    return "";
}

} // namespace

RememberedValues::RememberedValues()
    : m_file(SettingsFile::userFile(SettingsKeys::organization.toString()))
{
    take(m_file.refresh(SettingsKeys::section).section);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(flushDelayMs);
    QObject::connect(&m_flushTimer, &QTimer::timeout, &m_flushTimer, [this] { flushToDisk(); });
    m_retryTimer.setSingleShot(true);
    QObject::connect(&m_retryTimer, &QTimer::timeout, &m_retryTimer, [this] { writePending(); });
}

RememberedValues::~RememberedValues()
{
    writePendingNow();
}

void RememberedValues::take(const QMap<QString, QString> &section)
{
    QMap<QString, QString> values = section;
    for (const QString &key : std::as_const(m_unsaved))
        values.insert(key, m_values.value(key));
    m_values = std::move(values);
    m_lines.clear();
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        m_lines.insert(it.key(), IniFile::entryLine(it.key(), it.value()));
}

QString RememberedValues::value(QStringView key) const
{
    return m_values.value(key.toString());
}

std::optional<QString> RememberedValues::stored(QStringView key) const
{
    const auto it = m_values.constFind(key.toString());
    if (it == m_values.cend())
        return std::nullopt;
    return *it;
}

void RememberedValues::setValue(QStringView key, const QString &text)
{
    const QString name = key.toString();
    const auto it = m_values.constFind(name);
    // Rewriting the file for an unchanged value is wasted work on every key release.
    if (it != m_values.cend() && *it == text && !m_unsaved.contains(name))
        return;
    m_values.insert(name, text);
    m_lines.insert(name, IniFile::entryLine(name, text));
    m_unsaved.insert(name);
    // One try, never a wait: what cannot be written now stays pending.
    writePending();
}

// Writes the values not yet in the file, under the lock other programs
// take, after reading what they wrote since.
Status RememberedValues::save()
{
    const SettingsFile::Lock lock(m_file.path());
    if (lock.status() != Status::Ok)
        return lock.status();
    const SettingsFile::Refresh read = m_file.refresh(SettingsKeys::section);
    if (read.status != Status::Ok)
        return read.status;
    if (read.changed)
        take(read.section);
    // Never destroyed: the end path may write from exit().
    static const QByteArray &header = *new QByteArray(IniFile::sectionHeader(SettingsKeys::section));
    std::vector<QByteArrayView> lines;
    lines.reserve(size_t(m_lines.size()));
    for (const QByteArray &line : std::as_const(m_lines))
        lines.push_back(line);
    const Status written = m_file.replace(header, lines);
    if (written == Status::Ok) {
        m_unsaved.clear();
        m_flushPending = true;
        m_flushTimer.start();
    }
    return written;
}

void RememberedValues::writePending()
{
    if (m_unsaved.isEmpty())
        return;
    const Status status = save();
    if (status == Status::Ok) {
        m_retryTimer.stop();
        m_retryDelayMs = 0;
        return;
    }
    warnOnce(status);
    if (m_retryTimer.isActive())
        return; // a key release tries anyway; the pause keeps growing
    const int longest = leftAlone(status) ? longestRetryLeftAloneMs : longestRetryMs;
    m_retryDelayMs = m_retryDelayMs == 0 ? firstRetryMs : std::min(m_retryDelayMs * 2, longest);
    m_retryTimer.start(m_retryDelayMs);
}

void RememberedValues::warnOnce(Status status)
{
    if (m_warned)
        return;
    m_warned = true;
    qWarning("Kartavio: cannot write the settings file %s now (%s); the values typed are kept "
             "and written as soon as it can be written",
             qPrintable(m_file.path()), reason(status, m_file.lastError()));
}

bool RememberedValues::writePendingNow(std::chrono::milliseconds bound)
{
    m_retryTimer.stop();
    if (!m_unsaved.isEmpty()) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        Status status = save();
        // Only what passes by itself is worth a wait. This runs only as the
        // program ends (nothing is typed any more), and the wait has its bound.
        while ((status == Status::LockBusy || status == Status::ReadFailed)
               && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(endTryEveryMs));
            status = save();
        }
        if (status != Status::Ok)
            qWarning("Kartavio: the settings file %s could not be written before the end (%s); "
                     "%lld typed values are lost",
                     qPrintable(m_file.path()), reason(status, m_file.lastError()),
                     static_cast<long long>(m_unsaved.size()));
    }
    m_flushTimer.stop();
    if (m_flushPending) {
        m_flushPending = false;
        SettingsFile::syncToDisk(m_file.target());
    }
    return m_unsaved.isEmpty();
}

// Flushes the file and its folder entry to the disk without blocking typing.
void RememberedValues::flushToDisk()
{
    if (!m_flushPending)
        return;
    m_flushPending = false;
    QThreadPool::globalInstance()->start([file = m_file.target()] { SettingsFile::syncToDisk(file); });
}
