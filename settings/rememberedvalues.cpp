#include "settings/rememberedvalues.h"

#include "settings/inifile.h"
#include "settings/settingskeys.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThreadPool>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

// How long typing must pause before the file is flushed to the disk.
constexpr int flushDelayMs = 1000;

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
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
}

RememberedValues::~RememberedValues()
{
    if (m_flushPending)
        syncToDisk(QFile::encodeName(m_path), QFile::encodeName(QFileInfo(m_path).absolutePath()));
}

RememberedValues::Stamp RememberedValues::stampOnDisk() const
{
    struct stat info {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return {};
    return {qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            quint64(info.st_ino)};
}

// Reads the store's section through QSettings, which knows every spelling
// the file may hold, and keeps the raw file for the other sections.
void RememberedValues::reload()
{
    m_stamp = stampOnDisk();
    QFile file(m_path);
    m_file = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    m_values.clear();
    QSettings reader(m_path, QSettings::IniFormat);
    reader.beginGroup(SettingsKeys::section.toString());
    const QStringList keys = reader.childKeys();
    for (const QString &key : keys)
        m_values.insert(key, reader.value(key).toString());
    // A damaged file is not carried on: what could be read of it is kept above.
    if (reader.status() != QSettings::NoError)
        m_file.clear();
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
    // Another copy of the program may have written the file since.
    if (stampOnDisk() != m_stamp)
        reload();
    const QString name = key.toString();
    const auto it = m_values.constFind(name);
    // Rewriting the file for an unchanged value is wasted work on every key release.
    if (it != m_values.cend() && *it == text)
        return;
    m_values.insert(name, text);
    if (!writeFile())
        qWarning("Kartavio: cannot write the settings file %s", qPrintable(m_path));
}

// Writes a new file beside the old one and renames it over the old one.
bool RememberedValues::writeFile()
{
    IniFile::Entries entries;
    entries.reserve(m_values.size());
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        entries.append({it.key(), it.value()});
    const QByteArray content = IniFile::withSection(m_file, SettingsKeys::section, entries);

    const QByteArray path = QFile::encodeName(m_path);
    QByteArray temp = path + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        temp = path + ".XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
    }
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(path.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    // Each version gets its own millisecond time stamp: QSettings readers
    // tell versions apart by time stamp (in milliseconds) and size.
    m_lastModifiedMs = std::max(QDateTime::currentMSecsSinceEpoch(), m_lastModifiedMs + 1);
    const timespec times[2] = {{0, UTIME_NOW},
                               {time_t(m_lastModifiedMs / 1000), long(m_lastModifiedMs % 1000) * 1'000'000}};
    const bool written = writeAll(fd, content) && ::futimens(fd, times) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.constData(), path.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    m_file = content;
    m_stamp = stampOnDisk();
    m_flushPending = true;
    m_flushTimer.start();
    return true;
}

// Flushes the file and its folder entry to the disk without blocking typing.
void RememberedValues::flushToDisk()
{
    m_flushPending = false;
    const QByteArray path = QFile::encodeName(m_path);
    const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
    QThreadPool::globalInstance()->start([path, folder] { syncToDisk(path, folder); });
}
