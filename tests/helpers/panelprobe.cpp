#include "helpers/panelprobe.h"

#include "settings/settingskeys.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

namespace PanelProbe {

QStringList storedKeys()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::organization.toString());
    settings.beginGroup(SettingsKeys::section.toString());
    QStringList keys = settings.childKeys();
    keys.sort();
    return keys;
}

void type(QLineEdit *box, const QString &text, Qt::Key key)
{
    box->setText(text);
    QTest::keyRelease(box, key);
}

} // namespace PanelProbe
