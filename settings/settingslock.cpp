#include "settings/settingslock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

// What QLockFile writes into a lock file, so that its stale-lock check
// (is that process of that program on this machine still running?) works.
QByteArray lockContents()
{
    const qint64 pid = QCoreApplication::applicationPid();
    const QByteArray program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    return QByteArray::number(pid) + '\n' + program + '\n' + QSysInfo::machineHostName().toUtf8() + '\n'
           + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
}

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

} // namespace

SettingsLock::SettingsLock(const QString &settingsFile, int timeoutMs)
    : m_path(QFile::encodeName(settingsFile) + ".lock")
{
    static const QByteArray contents = lockContents();
    int fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    // A first start: the folder the settings file goes into is made here.
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(settingsFile).absolutePath()))
        fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        // As QLockFile: the flock keeps another program from removing it as stale.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && writeAll(fd, contents)) {
            m_fd = fd;
            return;
        }
        ::close(fd);
        ::unlink(m_path.constData());
        return;
    }
    if (errno != EEXIST)
        return; // a folder that cannot be written: nothing can be written there
    auto waited = std::make_unique<QLockFile>(QFile::decodeName(m_path));
    if (waited->tryLock(timeoutMs))
        m_waited = std::move(waited);
}

SettingsLock::~SettingsLock()
{
    if (m_fd >= 0) {
        // In QLockFile's order: the flock goes with the close, then the file.
        ::close(m_fd);
        ::unlink(m_path.constData());
    }
}
