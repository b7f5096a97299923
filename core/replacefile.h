#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include <sys/types.h>

// How replacing a file went: an empty error means the new file is in place.
struct ReplaceResult
{
    QString error;       // what failed, with the system's reason
    int systemError = 0; // errno of the failed call, where there was one
    explicit operator bool() const { return error.isEmpty(); }
};

struct ReplaceOptions
{
    // The new file's permissions; none: only its owner may read and write it.
    std::optional<mode_t> mode;
    // Creates the file's folder when it is missing.
    bool makeFolder = false;
    // Last touches on the written file before it takes the old one's place
    // (time stamps, a look at what was written); false fails the replacement.
    std::function<bool(int fd)> beforeRename;
};

// Writes every piece to `fd`, however many calls it takes; the system's
// error number when a write fails (a full disk, a file-size limit), else 0.
int writeAll(int fd, const std::vector<QByteArrayView> &pieces);

// Replaces the file at `path` by a new one made of `pieces`, written beside
// it and then renamed over it: a reader sees the old file or the new one,
// never a part of either. A link at `path` is replaced, not followed. On any
// failure (no room, a file-size limit, a folder that cannot be written) the
// old file stays as it was and the partial new one is removed.
ReplaceResult replaceFile(const QString &path, const std::vector<QByteArrayView> &pieces,
                          const ReplaceOptions &options = {});
