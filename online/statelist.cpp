#include "online/statelist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

// The data folder as seen from the program's folder, set by the build.
#ifndef KARTAVIO_DATA_FROM_BIN
#define KARTAVIO_DATA_FROM_BIN "../share/kartavio"
#endif

namespace StateList {

QList<State> read(const QString &path)
{
    QList<State> states;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return states;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    // A line longer than this holds no state.
    constexpr qsizetype maxLine = 1024;
    while (states.size() < maxStates && !in.atEnd()) {
        const QString line = in.readLine();
        if (line.size() > maxLine)
            continue;
        const QList<QStringView> fields = QStringView(line).split(u'\t');
        if (fields.size() < 2)
            continue;
        const QString code = fields[0].trimmed().toString();
        const QString name = fields[1].trimmed().toString();
        if (code.isEmpty() || name.isEmpty())
            continue;
        states.append({code, name});
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
