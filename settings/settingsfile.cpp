#include "settings/settingsfile.h"

#include "settings/inifile.h"
#include "core/replacefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThreadPool>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

// QLockFile's default: a lock older than this is stale, whoever holds it
// (unless its owner still holds its flock()).
constexpr qint64 staleLockMs = 30000;
// How long an empty lock file is given for its writer to fill it.
constexpr qint64 emptyLockGraceMs = 1000;
// More than QLockFile's five short lines ever take.
constexpr qsizetype maxLockFileBytes = 4096;

std::atomic<int> reads{0};

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

qint64 ageMs(const struct stat &info)
{
    return std::llabs(QDateTime::currentMSecsSinceEpoch() - nanoseconds(info.st_mtim) / 1'000'000);
}

// Reads `fd` to its end into `bytes`; false on a read error.
bool readAll(int fd, qint64 expected, QByteArray &bytes)
{
    bytes.resize(std::max<qint64>(expected, 0) + 1);
    qsizetype length = 0;
    for (;;) {
        if (length == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + length, size_t(bytes.size() - length));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        length += got;
    }
    bytes.truncate(length);
    return true;
}

struct Machine
{
    QByteArray pid;
    QByteArray program;
    QString host;
    QByteArray hostId;
    QByteArray bootId;
};

// Never destroyed, like the lock's contents below: the end path may take
// the lock from exit(), after static objects made later are gone.
const Machine &machine()
{
    static const Machine &self = *new Machine{QByteArray::number(QCoreApplication::applicationPid()),
                                              QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8(),
                                              QSysInfo::machineHostName(), QSysInfo::machineUniqueId(),
                                              QSysInfo::bootUniqueId()};
    return self;
}

// What QLockFile writes into a lock file, so that its stale-lock check
// (is that process of that program on this machine still running?) works.
QByteArray lockContents()
{
    const Machine &self = machine();
    return self.pid + '\n' + self.program + '\n' + self.host.toUtf8() + '\n' + self.hostId + '\n' + self.bootId + '\n';
}

int createExclusive(const QByteArray &path)
{
    return ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// QLockFilePrivate::processNameByPid on Linux: the file name of the
// process's executable, "/ERROR/" when it cannot be read.
QByteArray processNameByPid(qint64 pid)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%lld/exe", static_cast<long long>(pid));
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link, target, sizeof target);
    if (length <= 0)
        return QByteArrayLiteral("/ERROR/");
    QByteArray name(target, length);
    static constexpr QByteArrayView deleted = " (deleted)";
    if (name.endsWith(deleted))
        name.chop(deleted.size());
    return name.mid(name.lastIndexOf('/') + 1);
}

// QLockFile's isProcessRunning (Unix).
bool processRunning(qint64 pid, const QString &program)
{
    if (::kill(pid_t(pid), 0) == -1 && errno == ESRCH)
        return false;
    const QByteArray running = processNameByPid(pid);
    if (!running.isEmpty()) {
        QFileInfo file(program);
        if (file.isSymLink())
            file.setFile(file.symLinkTarget());
        if (running != file.fileName().toUtf8())
            return false; // the process id was reused by another program
    }
    return true;
}

// One line as QIODevice::readLine in text mode gives it, with QLockFile's
// chop(1) of the line end.
QByteArray nextLine(QByteArrayView bytes, qsizetype &pos)
{
    const qsizetype newline = bytes.indexOf('\n', pos);
    const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
    QByteArray line = bytes.sliced(pos, end - pos).toByteArray();
    pos = end;
    line.replace('\r', QByteArray());
    line.chop(1);
    return line;
}

// QLockFilePrivate::isApparentlyStale (Qt 6.4) over what the lock holds
// (nothing when it is no regular file) and the time it was last changed.
bool apparentlyStale(std::optional<QByteArrayView> contents, const struct stat &info)
{
    const QByteArrayView bytes = contents.value_or(QByteArrayView());
    qsizetype pos = 0;
    const QByteArray pidLine = nextLine(bytes, pos);
    const QByteArray programLine = nextLine(bytes, pos);
    const QByteArray hostLine = nextLine(bytes, pos);
    const QByteArray hostId = nextLine(bytes, pos);
    const QByteArray bootId = nextLine(bytes, pos);
    bool ok = false;
    const qint64 pid = pidLine.toLongLong(&ok);
    if (!pidLine.isEmpty() && ok && pid > 0) {
        const Machine &self = machine();
        const QString host = QString::fromUtf8(hostLine);
        bool sameHost = host.isEmpty() || host == self.host;
        if (!hostId.isEmpty() && !self.hostId.isEmpty())
            sameHost = hostId == self.hostId;
        if (sameHost) {
            if (!bootId.isEmpty() && bootId != self.bootId)
                return true;
            if (!processRunning(pid, QString::fromUtf8(programLine)))
                return true;
        }
    }
    // An empty lock file: its writer was killed between making it and
    // writing it (a living one takes the flock and writes within
    // microseconds). QLockFile would wait the full 30 s.
    if (contents && contents->isEmpty())
        return ageMs(info) > emptyLockGraceMs;
    return ageMs(info) > staleLockMs;
}

// Looks at what stands at the lock's path, without ever blocking, and
// removes it when QLockFile would call it stale and nobody holds its flock.
// A link is judged by what it leads to, as QLockFile reads through it, and
// removed itself; a folder, which QLockFile cannot read, by its age.
bool removedAsStale(const QByteArray &path)
{
    struct stat entry {};
    if (::lstat(path.constData(), &entry) != 0)
        return errno == ENOENT; // gone meanwhile: try again
    bool stale = false;
    int fd = -1;
    if (S_ISDIR(entry.st_mode)) {
        stale = ageMs(entry) > staleLockMs;
    } else {
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat info = entry; // a link that leads nowhere: its own age
        if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            QByteArray bytes;
            if (!readAll(fd, maxLockFileBytes, bytes))
                bytes.clear();
            stale = apparentlyStale(bytes.left(maxLockFileBytes), info)
                    && ::flock(fd, LOCK_EX | LOCK_NB) == 0; // no live owner holds it
        } else {
            stale = apparentlyStale(std::nullopt, info);
        }
    }
    // Still what was looked at, not one made since.
    struct stat now {};
    stale = stale && ::lstat(path.constData(), &now) == 0 && now.st_dev == entry.st_dev && now.st_ino == entry.st_ino
            && (S_ISDIR(entry.st_mode) ? ::rmdir(path.constData()) : ::unlink(path.constData())) == 0;
    if (fd >= 0)
        ::close(fd);
    return stale;
}

// From this size on, the old file is freed off the window's thread.
constexpr qint64 freeLaterBytes = 256 * 1024;

void closeLater(int fd)
{
    if (fd < 0)
        return;
    // No pool when the program ends through exit(): closed here then.
    if (QThreadPool *pool = QThreadPool::globalInstance())
        pool->start([fd] { ::close(fd); });
    else
        ::close(fd);
}

// Whether errno tells that this user may not write there.
bool denied(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// The file a write replaces: `path`, or the file its link leads to (through
// every link of a chain), as QSaveFile writes through links.
QString linkTarget(const QString &path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? path : file.absoluteFilePath();
}

// What QSettings reads from section `name` of `bytes`. QSettings gets a
// copy of its own to read: it keeps what it read of a path under that
// file's size and time, so reading the shared file itself could hand an
// old text to a later read.
QMap<QString, QString> sectionRead(const QByteArray &bytes, QStringView name)
{
    QMap<QString, QString> values;
    if (bytes.isEmpty())
        return values;
    static int copies = 0; // no name twice, so no cached read of a name
    QTemporaryFile copy(QDir::tempPath() + u"/kartavio-" + QString::number(++copies) + u"-XXXXXX.conf");
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
        return values;
    QSettings reader(copy.fileName(), QSettings::IniFormat);
    reader.beginGroup(name.toString());
    const QStringList keys = reader.childKeys();
    for (const QString &key : keys)
        values.insert(key, reader.value(key).toString());
    return values;
}

void syncPath(const QByteArray &path, bool dataOnly)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (dataOnly)
        ::fdatasync(fd);
    else
        ::fsync(fd);
    ::close(fd);
}

} // namespace

// Not QLockFile::tryLock(): it opens whatever stands there with a blocking
// open and cannot take a stale lock over without sleeping (see the rules).
SettingsFile::Lock::Lock(const QString &settingsFile)
    : m_path(QFile::encodeName(settingsFile) + ".lock")
{
    static const QByteArray &contents = *new QByteArray(lockContents());
    int fd = createExclusive(m_path);
    int error = errno;
    // A first start: the folder the settings file goes into is made here.
    if (fd < 0 && error == ENOENT && QDir().mkpath(QFileInfo(settingsFile).absolutePath())) {
        fd = createExclusive(m_path);
        error = errno;
    }
    if (fd < 0 && error == EEXIST && removedAsStale(m_path)) {
        fd = createExclusive(m_path);
        error = errno;
    }
    if (fd < 0) {
        m_status = error == EEXIST ? Status::LockBusy : denied(error) ? Status::Unwritable : Status::WriteFailed;
        return;
    }
    // As QLockFile: the flock keeps another program from removing it as stale.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && writeAll(fd, {contents}) == 0) {
        m_fd = fd;
        m_status = Status::Ok;
        return;
    }
    // The disk is full, or another program took it as stale at once.
    ::close(fd);
    ::unlink(m_path.constData());
    m_status = Status::WriteFailed;
}

SettingsFile::Lock::~Lock()
{
    if (m_fd >= 0) {
        // In QLockFile's order: the flock goes with the close, then the file.
        ::close(m_fd);
        ::unlink(m_path.constData());
    }
}

QString SettingsFile::userFile(const QString &organization)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + u"/.config";
    return QFileInfo(folder + u'/' + organization + u".conf").absoluteFilePath();
}

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path))
    , m_target(m_path)
{
}

SettingsFile::Identity SettingsFile::identityOf(const struct stat &info)
{
    return {true, info.st_dev, info.st_ino, qint64(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

// The file at the path now (through a link); no file at all is an identity
// too. Nothing when it cannot be looked at.
std::optional<SettingsFile::Identity> SettingsFile::identityNow()
{
    struct stat info {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) == 0)
        return identityOf(info);
    if (errno == ENOENT)
        return Identity{};
    m_errno = errno;
    return std::nullopt;
}

SettingsFile::Status SettingsFile::readOnce(QByteArray &bytes, Identity &read)
{
    bytes.clear();
    read = {};
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_errno = errno;
        return m_errno == ENOENT ? Status::Ok : Status::ReadFailed;
    }
    ++reads;
    struct stat before {};
    struct stat after {};
    Status status = Status::Ok;
    if (::fstat(fd, &before) != 0) {
        m_errno = errno;
        status = Status::ReadFailed;
    } else if (!S_ISREG(before.st_mode)) {
        status = Status::NotRegular;
    } else if (!readAll(fd, before.st_size, bytes) || ::fstat(fd, &after) != 0) {
        m_errno = errno;
        status = Status::ReadFailed;
    } else if (identityOf(after) != identityOf(before)) {
        m_errno = EAGAIN; // written to while read
        status = Status::ReadFailed;
    } else {
        read = identityOf(before);
        m_mode = before.st_mode & 07777;
    }
    ::close(fd);
    return status;
}

SettingsFile::Refresh SettingsFile::refresh(QStringView section)
{
    const std::optional<Identity> now = identityNow();
    if (now && m_known && *now == *m_known)
        return {};
    Refresh result;
    result.status = now ? Status::Ok : Status::ReadFailed;
    m_known.reset();
    for (int attempt = 0; attempt < 2 && now; ++attempt) {
        QByteArray bytes;
        Identity read;
        result.status = readOnce(bytes, read);
        if (result.status == Status::NotRegular)
            break;
        // Read completely, and still the file at the path.
        if (result.status == Status::Ok && identityNow() == read) {
            m_known = read;
            m_target = linkTarget(m_path);
            if (!read.exists)
                m_mode.reset();
            // Left alone when its owner made it read-only, or when it is not
            // this user's to write (root included: it would pass access()).
            m_writable = !read.exists
                         || ((*m_mode & S_IWUSR)
                             && ::faccessat(AT_FDCWD, QFile::encodeName(m_target).constData(), W_OK, AT_EACCESS) == 0);
            m_others = IniFile::otherSections(bytes, section);
            result.changed = true;
            result.section = sectionRead(bytes, section);
            return result;
        }
        result.status = Status::ReadFailed;
    }
    return result;
}

// Not QSaveFile::commit() nor QSettings::sync(): both fsync on every call,
// and this runs on every key release. The flush to the disk comes later,
// off the window's thread (syncToDisk).
SettingsFile::Status SettingsFile::replace(QByteArrayView sectionHeader, const std::vector<QByteArrayView> &lines)
{
    if (!m_known)
        return Status::ReadFailed;
    if (!m_writable)
        return Status::Unwritable;
    const QByteArray target = QFile::encodeName(m_target);
    QByteArray temp = target + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(m_target).absolutePath())) {
        temp = target + ".XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
    }
    if (fd < 0) {
        m_errno = errno;
        return denied(m_errno) ? Status::Unwritable : Status::WriteFailed;
    }
    std::vector<QByteArrayView> pieces;
    pieces.reserve(lines.size() + 2);
    pieces.push_back(sectionHeader);
    pieces.insert(pieces.end(), lines.begin(), lines.end());
    pieces.push_back(m_others);

    // Each version gets its own millisecond time stamp: QSettings readers
    // tell versions apart by time stamp (in milliseconds) and size.
    m_lastModifiedMs = std::max(QDateTime::currentMSecsSinceEpoch(), m_lastModifiedMs + 1);
    const timespec times[2] = {{0, UTIME_NOW},
                               {time_t(m_lastModifiedMs / 1000), long(m_lastModifiedMs % 1000) * 1'000'000}};
    // A new file is its owner's alone; a replaced one keeps its permissions.
    int error = ::fchmod(fd, m_mode.value_or(0600)) != 0 ? errno : writeAll(fd, pieces);
    if (error == 0 && ::futimens(fd, times) != 0)
        error = errno;
    // The rename frees the old file's blocks at once (milliseconds for a
    // large one, with discard); kept open across it, a large old file is
    // freed when a worker thread closes it.
    const int old = m_known->size >= freeLaterBytes ? ::open(target.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (error == 0 && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    closeLater(old);
    // The identity is the written file's own, taken after the rename (which
    // changes its change time): a look at the path could already see
    // another program's version.
    struct stat written {};
    if (error == 0 && ::fstat(fd, &written) != 0)
        error = errno;
    ::close(fd);
    if (error != 0) {
        ::unlink(temp.constData());
        m_errno = error;
        return denied(error) ? Status::Unwritable : Status::WriteFailed;
    }
    m_known = identityOf(written);
    return Status::Ok;
}

void SettingsFile::syncToDisk(const QString &file)
{
    syncPath(QFile::encodeName(file), true);
    syncPath(QFile::encodeName(QFileInfo(file).absolutePath()), false);
}

int SettingsFile::readCount()
{
    return reads.load();
}
