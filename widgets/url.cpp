#include "widgets/url.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void openurl(const QString &address)
{
    QString escaped = address;
    escaped.replace(u' ', QStringLiteral("%20"));
    QDesktopServices::openUrl(QUrl(escaped, QUrl::TolerantMode));
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
