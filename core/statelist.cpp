#include "core/statelist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QStringDecoder>

#include <utility>

// The data folder as seen from the program's folder, set by the build.
#ifndef KARTAVIO_DATA_FROM_BIN
#define KARTAVIO_DATA_FROM_BIN "../share/kartavio"
#endif

namespace StateList {

namespace {

// A state line is short; anything longer is junk and skipped unread.
constexpr qint64 maxLineBytes = 1024;
// A list of 61 states is a few kilobytes; a file far beyond that is not
// read to its end.
constexpr qint64 maxScanBytes = 4 * 1024 * 1024;

bool isJunk(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\t') || (u >= 0x7f && u <= 0x9f) || u == QChar::ReplacementCharacter;
}

// Reads the rest of an over-long line, up to and including its line feed.
void skipRestOfLine(QFile &file)
{
    while (!file.atEnd() && file.pos() < maxScanBytes) {
        if (file.readLine(64 * 1024).endsWith('\n'))
            return;
    }
}

} // namespace

std::optional<State> parseLine(QByteArrayView line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(line);
    if (utf8.hasError())
        text = QString::fromLatin1(line);
    for (const QChar c : std::as_const(text)) {
        if (isJunk(c))
            return std::nullopt;
    }
    const QList<QStringView> fields = QStringView(text).split(u'\t');
    if (fields.size() < 2)
        return std::nullopt;
    // Both fields as they stand: spaces belong to the code and the name.
    State state{fields[0].toString(), fields[1].toString()};
    if (state.code.isEmpty() || state.name.isEmpty())
        return std::nullopt;
    return state;
}

QList<State> read(const QString &path)
{
    QList<State> states;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return states;
    while (states.size() < maxStates && !file.atEnd() && file.pos() < maxScanBytes) {
        // One byte more than a state line may have tells an over-long line.
        const QByteArray line = file.readLine(maxLineBytes + 2);
        if (line.size() > maxLineBytes && !line.endsWith('\n')) {
            skipRestOfLine(file);
            continue;
        }
        if (const auto state = parseLine(line))
            states.append(*state);
    }
    return states;
}

QStringList candidates(const QString &appDir, const QString &dataDir)
{
    const auto folder = [](const QString &dir) { return dir.endsWith(u'/') ? dir : dir + u'/'; };
    const QString fileName = QStringLiteral("staaten.txt");
    return {folder(appDir) + fileName,
            QDir::cleanPath(folder(appDir) + QStringLiteral(KARTAVIO_DATA_FROM_BIN) + u'/' + fileName),
            folder(dataDir) + fileName};
}

QString locate(const QString &appDir, const QString &dataDir)
{
    const QStringList paths = candidates(appDir, dataDir);
    for (const QString &path : paths) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return paths.last();
}

QString locate(const QString &appDir)
{
    return locate(appDir, QStringLiteral(KARTAVIO_DATA_DIR));
}

} // namespace StateList
