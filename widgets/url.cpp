#include "widgets/url.h"

#include <QDesktopServices>
#include <QUrl>

void openurl(const QString &address)
{
    QString escaped = address;
    escaped.replace(u' ', QStringLiteral("%20"));
    // Taken as already encoded, so a "%" sequence in it is not encoded a
    // second time; only an address that is not valid that way (umlauts,
    // line breaks) is encoded by QUrl's tolerant reading.
    QUrl url = QUrl::fromEncoded(escaped.toUtf8(), QUrl::StrictMode);
    if (!url.isValid())
        url = QUrl(escaped, QUrl::TolerantMode);
    QDesktopServices::openUrl(url);
}
