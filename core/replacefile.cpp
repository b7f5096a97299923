#include "core/replacefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

ReplaceResult failed(const char *what, int error)
{
    return {QString::fromLatin1(what) % u": " % QString::fromLocal8Bit(std::strerror(error)), error};
}

} // namespace

int writeAll(int fd, const std::vector<QByteArrayView> &pieces)
{
    std::vector<iovec> left;
    left.reserve(pieces.size());
    for (QByteArrayView piece : pieces) {
        if (!piece.isEmpty())
            left.push_back({const_cast<char *>(piece.data()), size_t(piece.size())});
    }
    size_t first = 0;
    while (first < left.size()) {
        const int count = int(std::min<size_t>(left.size() - first, IOV_MAX));
        ssize_t written = ::writev(fd, left.data() + first, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        while (first < left.size() && size_t(written) >= left[first].iov_len)
            written -= ssize_t(left[first++].iov_len);
        if (written > 0) {
            left[first].iov_base = static_cast<char *>(left[first].iov_base) + written;
            left[first].iov_len -= size_t(written);
        }
    }
    return 0;
}

ReplaceResult replaceFile(const QString &path, const std::vector<QByteArrayView> &pieces,
                          const ReplaceOptions &options)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && options.makeFolder && QDir().mkpath(QFileInfo(path).absolutePath())) {
        temp = target + ".XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
    }
    if (fd < 0)
        return failed("new file", errno);

    ReplaceResult result;
    if (options.mode && ::fchmod(fd, *options.mode) != 0)
        result = failed("permissions", errno);
    else if (const int writeError = writeAll(fd, pieces))
        result = failed("write", writeError);
    else if (options.beforeRename && !options.beforeRename(fd))
        result = failed("finishing the new file", errno);
    if (::close(fd) != 0 && result)
        result = failed("close", errno);
    if (result && ::rename(temp.constData(), target.constData()) != 0)
        result = failed("rename", errno);
    if (!result)
        ::unlink(temp.constData());
    return result;
}
