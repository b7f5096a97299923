#pragma once

#include "settings/rememberedvalues.h"

#include <QLineEdit>
#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <Qt>

#include <memory>

struct PanelContext;

// Shared steps of the calculator panel tests.
namespace PanelProbe {

// The keys of the settings section, sorted, read through a QSettings of their own.
QStringList storedKeys();

// Writes `values` into the settings section as a previous run would have; false when that failed.
bool storeAsBefore(const QMap<QString, QString> &values);

// What the named box, text or label below `root` shows; "<no control name>" when there is none.
QString shown(const QWidget *root, const QString &name);

// Shows `widget` as the active window; false when it did not become active.
bool showActive(QWidget *widget);

// Puts text in the box and releases a key in it, as typing does.
void type(QLineEdit *box, const QString &text, Qt::Key key = Qt::Key_0);

} // namespace PanelProbe

// The set-up the calculator panel tests share, as the base of their test
// class: for the whole test an isolated settings store, the program's font
// and the addresses the panel opens caught in m_opened; before each test
// function an empty store, a rate of 1.2345 and a fresh panel, which is
// destroyed again before its store.
class PanelFixture : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

protected:
    // The panel under test, built on `context`.
    virtual std::unique_ptr<QWidget> build(const PanelContext &context) = 0;

    // The named control of the panel under test; the test program ends when there is none.
    template <typename Control = QLineEdit>
    Control *control(const QString &name) const
    {
        auto *found = m_widget->findChild<Control *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }

    double m_rate = 1.2345;
    QList<QUrl> m_opened;
    std::unique_ptr<RememberedValues> m_store;

private:
    std::unique_ptr<QWidget> m_widget;
};

template <typename Panel>
class PanelTest : public PanelFixture
{
protected:
    std::unique_ptr<QWidget> build(const PanelContext &context) final
    {
        auto panel = std::make_unique<Panel>(context);
        m_panel = panel.get();
        return panel;
    }

    Panel *m_panel = nullptr;
};
