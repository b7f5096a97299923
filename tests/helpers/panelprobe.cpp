#include "helpers/panelprobe.h"

#include "app/settingskeys.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

namespace PanelProbe {

void useProgramFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
}

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

QStringList layoutFaults(const QWidget *panel)
{
    QStringList faults;
    for (const QLabel *label : panel->findChildren<QLabel *>()) {
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->width())
            faults.append(label->objectName() + QStringLiteral(" cut off"));
    }
    for (const QWidget *child : panel->findChildren<QWidget *>()) {
        if (!child->parentWidget()->rect().contains(child->geometry()))
            faults.append(child->objectName() + QStringLiteral(" outside its parent"));
    }
    return faults;
}

} // namespace PanelProbe
