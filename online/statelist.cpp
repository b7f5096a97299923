#include "online/statelist.h"

#include <QFile>
#include <QTextStream>

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

QString locate(const QString &appDir)
{
    const QString beside = appDir + u"staaten.txt";
    if (QFile::exists(beside))
        return beside;
    return QStringLiteral(KARTAVIO_DATA_DIR "/staaten.txt");
}

} // namespace StateList
