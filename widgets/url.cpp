#include "widgets/url.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

void showError(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QStringLiteral("Fehler"), text);
}

} // namespace

void openurl(QWidget *parent, const QString &address)
{
    QString escaped = address;
    escaped.replace(u' ', QStringLiteral("%20"));
    // Taken as already encoded, so a "%" sequence in it is not encoded a
    // second time; only an address that is not valid that way (umlauts,
    // line breaks) is encoded by QUrl's tolerant reading.
    QUrl url = QUrl::fromEncoded(escaped.toUtf8(), QUrl::StrictMode);
    if (!url.isValid())
        url = QUrl(escaped, QUrl::TolerantMode);
    // False when no browser was found or it could not be started.
    if (!QDesktopServices::openUrl(url))
        showError(parent, QStringLiteral("Es konnte kein Webbrowser gestartet werden, um die Seite zu öffnen."));
}

void openLookup(QWidget *parent, const QString &address)
{
    // Spaces become "%20" in openurl: three characters each.
    if (address.size() + 2 * address.count(u' ') <= maxAddressLength) {
        openurl(parent, address);
        return;
    }
    showError(parent, QStringLiteral("Der Text ist zu lang, um ihn an den Browser zu übergeben. "
                                     "Bitte kürzen Sie ihn."));
}
