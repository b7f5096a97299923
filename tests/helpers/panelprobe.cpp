#include "helpers/panelprobe.h"

#include "helpers/fitcheck.h"
#include "helpers/testenv.h"
#include "panels/panelcontext.h"
#include "settings/settingskeys.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

bool storeAsBefore(const QMap<QString, QString> &values)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::organization.toString());
    settings.beginGroup(SettingsKeys::section.toString());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString shown(const QWidget *root, const QString &name)
{
    if (const auto *box = root->findChild<QLineEdit *>(name))
        return box->text();
    if (const auto *text = root->findChild<QPlainTextEdit *>(name))
        return text->toPlainText();
    if (const auto *label = root->findChild<QLabel *>(name))
        return label->text();
    return u"<no control " % name % u'>';
}

bool showActive(QWidget *widget)
{
    widget->show();
    widget->activateWindow();
    return QTest::qWaitForWindowActive(widget);
}

void type(QLineEdit *box, const QString &text, Qt::Key key)
{
    box->setText(text);
    QTest::keyRelease(box, key);
}

} // namespace PanelProbe

void PanelFixture::initTestCase()
{
    TestEnv::isolate();
    FitCheck::useAppFont();
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
}

void PanelFixture::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void PanelFixture::init()
{
    TestEnv::clearSettings();
    m_rate = 1.2345;
    m_opened.clear();
    m_store = std::make_unique<RememberedValues>();
    m_widget = build(PanelContext{*m_store, [this] { return m_rate; }, QStringLiteral("http://www.kartavio.example/")});
}

void PanelFixture::cleanup()
{
    m_widget.reset();
    m_store.reset();
}
