#include "widgets/url.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

void showError(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QStringLiteral("Fehler"), text);
}

// A warning with the address as text to select and copy, so that the user
// can open it in a browser by hand.
void showNoBrowser(QWidget *parent, const QString &address)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Fehler"),
                    u"Es konnte kein Webbrowser gestartet werden, um die Seite zu öffnen.\n\n"
                    u"Sie können diese Adresse kopieren und selbst im Browser öffnen:\n" % address,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // the address may hold the user's text
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A long one does not fit the message; its details show it whole, wrapped.
    if (address.size() > 200)
        box.setDetailedText(address);
    box.exec();
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
        showNoBrowser(parent, escaped);
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
