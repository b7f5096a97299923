#include "settings/settingslock.h"

#include "core/replacefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// QLockFile's default: a lock file older than this is stale, whoever holds it
// (unless its owner still holds its flock()).
constexpr qint64 staleLockMs = 30000;
// How long an empty lock file is given for its writer to fill it.
constexpr qint64 emptyLockGraceMs = 1000;
// More than QLockFile's five short lines ever take.
constexpr qsizetype maxLockFileBytes = 4096;

struct Machine
{
    QByteArray pid;
    QByteArray program;
    QString host;
    QByteArray hostId;
    QByteArray bootId;
};

const Machine &machine()
{
    static const Machine self = [] {
        const qint64 pid = QCoreApplication::applicationPid();
        return Machine{QByteArray::number(pid),
                       QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8(),
                       QSysInfo::machineHostName(), QSysInfo::machineUniqueId(), QSysInfo::bootUniqueId()};
    }();
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

// QLockFilePrivate::isApparentlyStale (Qt 6.4) over the lock file's bytes
// and its modification time.
bool apparentlyStale(QByteArrayView bytes, const struct stat &info)
{
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
    const qint64 modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1'000'000;
    const qint64 ageMs = std::llabs(QDateTime::currentMSecsSinceEpoch() - modifiedMs);
    // An empty lock file: its writer was killed between making it and
    // writing it (a living one takes the flock and writes within
    // microseconds). QLockFile would wait the full 30 s; typed values would
    // stay pending that long, and be lost if the program ended meanwhile.
    if (bytes.isEmpty())
        return ageMs > emptyLockGraceMs;
    return ageMs > staleLockMs;
}

// Looks at the lock file another program left, without ever blocking, and
// removes it when it is stale and nobody holds its flock(), as QLockFile's
// removeStaleLock does. Returns whether it was removed.
bool removedAsStale(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false; // a link (ELOOP), gone, or not ours to read: busy
    bool removed = false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        QByteArray bytes(maxLockFileBytes, Qt::Uninitialized);
        ssize_t length;
        do
            length = ::read(fd, bytes.data(), size_t(bytes.size()));
        while (length < 0 && errno == EINTR);
        bytes.truncate(length < 0 ? 0 : length);
        struct stat now {};
        removed = apparentlyStale(bytes, info) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
                  // still the file looked at, not one made since
                  && ::lstat(path.constData(), &now) == 0 && now.st_dev == info.st_dev && now.st_ino == info.st_ino
                  && ::unlink(path.constData()) == 0;
    }
    ::close(fd);
    return removed;
}

} // namespace

SettingsLock::SettingsLock(const QString &settingsFile)
    : m_path(QFile::encodeName(settingsFile) + ".lock")
{
    static const QByteArray contents = lockContents();
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
        // EEXIST: held, or something that is no lock file is there.
        m_state = error == EEXIST ? State::Busy : State::Unwritable;
        return;
    }
    // As QLockFile: the flock keeps another program from removing it as stale.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && writeAll(fd, {contents}) == 0) {
        m_fd = fd;
        m_state = State::Locked;
        return;
    }
    // The disk is full, or another program took it as stale at once.
    ::close(fd);
    ::unlink(m_path.constData());
    m_state = State::Unwritable;
}

SettingsLock::~SettingsLock()
{
    if (m_fd >= 0) {
        // In QLockFile's order: the flock goes with the close, then the file.
        ::close(m_fd);
        ::unlink(m_path.constData());
    }
}
