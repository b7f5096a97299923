#include "settings/rememberedvalues.h"

#include "settings/endsignals.h"
#include "settings/inifile.h"
#include "settings/settingskeys.h"
#include "settings/settingslock.h"
#include "core/replacefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <QThreadPool>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// How long typing must pause before the file is flushed to the disk.
constexpr int flushDelayMs = 1000;
// The pauses between tries of a value that could not be written: the first
// one short, each next one twice as long, up to the longest.
constexpr int firstRetryMs = 50;
constexpr int longestRetryMs = 1000;
// At the end of the program: how long pending values wait for another
// program's lock, and how often they try.
constexpr int endBudgetMs = 3000;
constexpr int endTryEveryMs = 20;

// Whether a file at `path` may be replaced: a plain file its owner may
// write, or none at all.
bool replaceable(const QByteArray &path, struct stat &info, bool &exists)
{
    exists = ::stat(path.constData(), &info) == 0;
    return !exists || (S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR));
}

void syncPath(const QByteArray &path, bool dataOnly)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (dataOnly)
        ::fdatasync(fd);
    else
        ::fsync(fd);
    ::close(fd);
}

// Puts the file's data and its folder entry (the rename) on the disk.
void syncToDisk(const QByteArray &path, const QByteArray &folder)
{
    syncPath(path, true);
    syncPath(folder, false);
}

// What QSettings reads from our section of `bytes`. QSettings gets a copy of
// its own to read: reading the shared file while another program replaces
// it, QSettings may keep the old text under the new file's size and time,
// and then hand that old text to every later read of the file.
QMap<QString, QString> sectionRead(const QByteArray &bytes, const QString &settingsFile)
{
    static int copies = 0; // no name twice, so no cached read of a name
    QTemporaryFile copy(QDir::tempPath() + u"/kartavio-" + QString::number(++copies) + u"-XXXXXX.conf");
    const bool copied = copy.open() && copy.write(bytes) == bytes.size() && copy.flush();
    QSettings reader(copied ? copy.fileName() : settingsFile, QSettings::IniFormat);
    reader.beginGroup(SettingsKeys::section.toString());
    QMap<QString, QString> values;
    const QStringList keys = reader.childKeys();
    for (const QString &key : keys)
        values.insert(key, reader.value(key).toString());
    return values;
}

} // namespace

RememberedValues::RememberedValues()
{
    m_path = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                       SettingsKeys::organization.toString())
                 .fileName();
    reload();
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(flushDelayMs);
    QObject::connect(&m_flushTimer, &QTimer::timeout, &m_flushTimer, [this] { flushToDisk(); });
    m_retryTimer.setSingleShot(true);
    QObject::connect(&m_retryTimer, &QTimer::timeout, &m_retryTimer, [this] { writePending(); });
}

RememberedValues::~RememberedValues()
{
    writePendingBeforeEnd();
    EndSignals::unwatch(this);
}

RememberedValues::Stamp RememberedValues::stampOf(const struct stat &info)
{
    return {qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            quint64(info.st_ino)};
}

RememberedValues::Stamp RememberedValues::stampOnDisk() const
{
    struct stat info {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return {};
    return stampOf(info);
}

// Reads the store's section through QSettings, which knows every spelling
// the file may hold, and keeps the other sections as they are. Values that
// could not be written yet stay as typed.
void RememberedValues::reload()
{
    m_stamp = stampOnDisk();
    QByteArray bytes;
    QMap<QString, QString> values;
    // Only a plain file: a link to a device or a pipe would never end.
    if (QFileInfo(m_path).isFile()) {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        values = sectionRead(bytes, m_path);
    }
    // Whatever our section holds, even lines QSettings cannot read, the
    // other sections belong to other programs and are kept byte for byte.
    m_others = IniFile::otherSections(bytes, SettingsKeys::section);
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
    // Another program may have written the file since.
    if (stampOnDisk() != m_stamp)
        reload();
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

void RememberedValues::writePending()
{
    if (m_unsaved.isEmpty())
        return;
    m_failure = save();
    if (m_failure == Failure::None) {
        m_retryTimer.stop();
        m_retryDelayMs = 0;
        EndSignals::unwatch(this);
        return;
    }
    EndSignals::watch(this, [this] { writePendingBeforeEnd(); });
    if (!m_warned) {
        m_warned = true;
        const char *why = m_failure == Failure::LockBusy ? "another program holds its lock"
                          : m_failure == Failure::Unwritable ? "it or its folder cannot be written"
                                                              : std::strerror(m_writeErrno);
        qWarning("Kartavio: cannot write the settings file %s now (%s); the values typed are kept "
                 "and written as soon as it can be written",
                 qPrintable(m_path), why);
    }
    retryLater();
}

void RememberedValues::retryLater()
{
    if (m_retryTimer.isActive())
        return; // a key release tries anyway; the pause keeps growing
    m_retryDelayMs = m_retryDelayMs == 0 ? firstRetryMs : std::min(m_retryDelayMs * 2, longestRetryMs);
    m_retryTimer.start(m_retryDelayMs);
}

void RememberedValues::flushPending()
{
    writePending();
}

void RememberedValues::writePendingBeforeEnd()
{
    if (!m_unsaved.isEmpty()) {
        m_failure = save();
        // Only another program's lock is worth a wait: it goes away.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(endBudgetMs);
        while (m_failure == Failure::LockBusy && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(endTryEveryMs));
            m_failure = save();
        }
        if (m_failure != Failure::None)
            qWarning("Kartavio: the settings file %s could not be written before the end; %lld typed values are lost",
                     qPrintable(m_path), static_cast<long long>(m_unsaved.size()));
    }
    m_retryTimer.stop();
    m_flushTimer.stop();
    if (m_flushPending) {
        m_flushPending = false;
        syncToDisk(QFile::encodeName(m_written), QFile::encodeName(QFileInfo(m_written).absolutePath()));
    }
    if (m_unsaved.isEmpty())
        EndSignals::unwatch(this);
}

// The file a write replaces: the settings file, or the file its link leads
// to (through every link of a chain), as QSettings writes through links.
QString RememberedValues::target() const
{
    QFileInfo file(m_path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? m_path : file.filePath();
}

// Writes the values not yet in the file, under the lock other programs
// take, after reading what they wrote last.
RememberedValues::Failure RememberedValues::save()
{
    const QString targetPath = target();
    struct stat old {};
    bool exists = false;
    if (!replaceable(QFile::encodeName(targetPath), old, exists))
        return Failure::Unwritable;
    const SettingsLock lock(m_path);
    if (!lock.isLocked())
        return lock.state() == SettingsLock::State::Busy ? Failure::LockBusy : Failure::Unwritable;
    if (stampOnDisk() != m_stamp)
        reload();
    if (!writeFile(targetPath, exists ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt))
        return Failure::WriteFailed;
    m_unsaved.clear();
    return Failure::None;
}

// Writes a new file beside the old one (with the old one's permissions) and
// renames it over the old one.
bool RememberedValues::writeFile(const QString &targetPath, std::optional<mode_t> mode)
{
    static const QByteArray header = IniFile::sectionHeader(SettingsKeys::section);
    std::vector<QByteArrayView> pieces;
    pieces.reserve(size_t(m_lines.size()) + 2);
    pieces.push_back(header);
    for (const QByteArray &line : std::as_const(m_lines))
        pieces.push_back(line);
    pieces.push_back(m_others);

    // Each version gets its own millisecond time stamp: QSettings readers
    // tell versions apart by time stamp (in milliseconds) and size.
    m_lastModifiedMs = std::max(QDateTime::currentMSecsSinceEpoch(), m_lastModifiedMs + 1);
    const timespec times[2] = {{0, UTIME_NOW},
                               {time_t(m_lastModifiedMs / 1000), long(m_lastModifiedMs % 1000) * 1'000'000}};
    struct stat written {};
    // The stamp is the written file's own: a later look at the path could
    // already see another program's version.
    const auto stampAndLook = [&](int fd) { return ::futimens(fd, times) == 0 && ::fstat(fd, &written) == 0; };
    const ReplaceResult replaced =
        replaceFile(targetPath, pieces, {.mode = mode, .makeFolder = true, .beforeRename = stampAndLook});
    if (!replaced) {
        m_writeErrno = replaced.systemError;
        return false;
    }
    m_stamp = stampOf(written);
    m_written = targetPath;
    m_flushPending = true;
    m_flushTimer.start();
    return true;
}

// Flushes the file and its folder entry to the disk without blocking typing.
void RememberedValues::flushToDisk()
{
    if (!m_flushPending)
        return;
    m_flushPending = false;
    const QByteArray path = QFile::encodeName(m_written);
    const QByteArray folder = QFile::encodeName(QFileInfo(m_written).absolutePath());
    QThreadPool::globalInstance()->start([path, folder] { syncToDisk(path, folder); });
}
