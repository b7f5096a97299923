#include "widgets/url.h"

#include <QDesktopServices>
#include <QUrl>

void openurl(const QString &address)
{
    QString escaped = address;
    escaped.replace(u' ', QStringLiteral("%20"));
    QDesktopServices::openUrl(QUrl(escaped, QUrl::TolerantMode));
}
