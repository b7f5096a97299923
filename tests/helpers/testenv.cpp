#include "helpers/testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

namespace TestEnv {

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

void isolate()
{
    const QString base = folder().path();
    QDir(base).mkpath(QStringLiteral("config"));
    QDir(base).mkpath(QStringLiteral("cache"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + u"/config"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(base + u"/cache"));
    qputenv("KARTAVIO_REFERENCE_HOST", "127.0.0.1:9"); // never the real bank from a test
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCoreApplication::setOrganizationName(QStringLiteral("Kelvara"));
    QCoreApplication::setApplicationName(QStringLiteral("Kartavio"));
}

QString root()
{
    return folder().path();
}

QString settingsFile()
{
    return folder().path() + u"/config/Kelvara.conf";
}

void clearSettings()
{
    // The files themselves: QSettings would wait up to 30 s for a lock that
    // a killed writer left behind.
    QFile::remove(settingsFile());
    QFile::remove(settingsFile() + u".lock");
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QMap<QString, QVariant> readIni(const QByteArray &bytes, const QString &group)
{
    static int files = 0;
    const QString path = root() % u"/read" % QString::number(++files) % u".conf";
    if (!write(path, bytes))
        return {{QStringLiteral("<not written>"), QVariant()}};
    QMap<QString, QVariant> values;
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup(group);
        const QStringList keys = group.isEmpty() ? settings.allKeys() : settings.childKeys();
        for (const QString &key : keys)
            values.insert(key, key.isEmpty() ? QVariant() : settings.value(key));
    }
    QFile::remove(path);
    return values;
}

QString storedValue(const QString &key)
{
    return readIni(contents(settingsFile())).value(u"Kartavio/" % key).toString();
}

QByteArray junk(quint32 seed, int size)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QByteArray onePixelGif(QColor colour)
{
    // Header and a two-colour table whose first entry is the pixel's colour.
    const char rgb[] = {char(colour.red()), char(colour.green()), char(colour.blue())};
    return QByteArray::fromHex("47494638396101000100800000") % QByteArray(rgb, 3)
        % QByteArray::fromHex("00000021f90401000000002c00000000010001000002024401003b");
}

} // namespace TestEnv
