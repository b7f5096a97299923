#include "widgets/url.h"

#include <QDesktopServices>
#include <QMessageBox>
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

void openLookup(QWidget *parent, const QString &address)
{
    // Spaces become "%20" in openurl: three characters each.
    if (address.size() + 2 * address.count(u' ') <= maxAddressLength) {
        openurl(address);
        return;
    }
    QMessageBox::information(parent, QStringLiteral("Fehler"),
                             QStringLiteral("Der Text ist zu lang, um ihn an den Browser zu übergeben. "
                                            "Bitte kürzen Sie ihn."));
}
