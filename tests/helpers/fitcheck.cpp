#include "helpers/fitcheck.h"

#include "widgets/controls.h"
#include "widgets/surface.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace FitCheck {

bool isNamed(const QWidget *widget)
{
    return !widget->objectName().isEmpty() && !widget->objectName().startsWith(u"qt_");
}

QWidget *focusOwner()
{
    QWidget *widget = QApplication::focusWidget();
    while (widget && !isNamed(widget))
        widget = widget->parentWidget();
    return widget;
}

bool focusRingDrawn(QWidget *control)
{
    QWidget *parent = control->parentWidget();
    const QImage row = parent->grab(QRect(control->pos() - QPoint(1, 1), QSize(control->width(), 1))).toImage();
    int dots = 0;
    for (int x = 0; x < row.width(); ++x)
        dots += row.pixelColor(x, 0) == parent->palette().color(QPalette::WindowText);
    return dots >= row.width() / 3;
}

void useAppFont()
{
    QApplication::setFont(Controls::programFont());
}

namespace {

// `area` in the device pixels of a picture drawn at `ratio`: every pixel it touches.
QRect toDevice(const QRect &area, qreal ratio)
{
    return {QPoint(qFloor(area.left() * ratio), qFloor(area.top() * ratio)),
            QPoint(qCeil((area.right() + 1) * ratio) - 1, qCeil((area.bottom() + 1) * ratio) - 1)};
}

QString describe(const QWidget *widget, const QString &reason)
{
    return widget->objectName() % u": " % reason;
}

// Empty when the text fits on one line in `room` pixels, else what it needs.
QString oneLine(const QWidget *widget, const QString &text, int room)
{
    const QFontMetrics metrics(widget->font());
    const QSize needed(metrics.horizontalAdvance(text), metrics.height());
    if (needed.width() <= room && needed.height() <= widget->height())
        return {};
    return QStringLiteral("needs %1 x %2 px, has %3 x %4").arg(needed.width()).arg(needed.height())
            .arg(room).arg(widget->height());
}

} // namespace

QStringList problems(const QWidget *root)
{
    QStringList found;
    const auto children = root->findChildren<const QWidget *>();
    for (const QWidget *widget : children) {
        if (!isNamed(widget))
            continue;
        if (const QWidget *parent = widget->parentWidget(); !parent->rect().contains(widget->geometry()))
            found << describe(widget, QStringLiteral("outside its parent"));

        if (const auto *label = qobject_cast<const QLabel *>(widget); label && !label->text().isEmpty()) {
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height())
                    found << describe(label, QStringLiteral("wrapped text needs %1 px height, has %2")
                                                     .arg(label->heightForWidth(label->width()))
                                                     .arg(label->height()));
            } else if (const QString cut = oneLine(label, label->text(), label->contentsRect().width());
                       !cut.isEmpty()) {
                found << describe(label, cut);
            }
        } else if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
            if (const QString cut = oneLine(button, button->text(), button->width() - 8); !cut.isEmpty())
                found << describe(button, cut);
        } else if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
            if (const QString cut = oneLine(edit, edit->text(), edit->width() - 6); !cut.isEmpty())
                found << describe(edit, cut);
        } else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
            QFont bold = group->font();
            bold.setBold(true);
            if (QFontMetrics(bold).horizontalAdvance(group->title()) > group->width() - 16)
                found << describe(group, QStringLiteral("caption cut off"));
        }
    }
    return found;
}

namespace {

// A straight run this long (device pixels) is a frame line, not a letter.
constexpr int lineRun = 12;

// The pixels of `group`'s frame lines, drawn without its children.
std::vector<bool> frameLines(QGroupBox *group, QImage &image)
{
    const qreal ratio = group->devicePixelRatioF();
    image = QImage(group->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    group->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QRgb background = image.pixel(image.width() / 2, image.height() / 2);
    const int w = image.width();
    const int h = image.height();
    std::vector<bool> line(size_t(w) * size_t(h), false);
    // Runs along each row, then along each column.
    for (const bool rows : {true, false}) {
        const auto at = [rows](int run, int i) { return rows ? QPoint(i, run) : QPoint(run, i); };
        const int length = rows ? w : h;
        for (int run = 0; run < (rows ? h : w); ++run) {
            for (int i = 0; i < length;) {
                int end = i;
                while (end < length && image.pixel(at(run, end)) != background)
                    ++end;
                for (int k = i; end - i >= lineRun && k < end; ++k)
                    line[size_t(at(run, k).y()) * size_t(w) + size_t(at(run, k).x())] = true;
                i = end == i ? i + 1 : end;
            }
        }
    }
    return line;
}

// Where `widget` shows text, in its own coordinates; the whole face for
// controls that are not labels.
QRect textArea(const QWidget *widget)
{
    const bool showsText = qobject_cast<const QLabel *>(widget) || qobject_cast<const QGroupBox *>(widget)
        || qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget)
        || qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractScrollArea *>(widget)
        || qobject_cast<const QAbstractSlider *>(widget);
    if (!showsText)
        return {};
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->text().isEmpty())
            return label->pixmap().isNull() ? QRect() : label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        return QFontMetrics(label->font()).boundingRect(label->contentsRect(), flags, label->text());
    }
    if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
        const QFontMetrics metrics(group->font());
        return {0, 0, metrics.size(Qt::TextShowMnemonic, group->title()).width() + 12, metrics.height()};
    }
    return widget->rect();
}

} // namespace

QStringList framesCrossingText(QWidget *root)
{
    QStringList found;
    QList<QGroupBox *> groups = root->findChildren<QGroupBox *>();
    if (auto *self = qobject_cast<QGroupBox *>(root))
        groups.prepend(self);
    const auto widgets = root->findChildren<QWidget *>();
    for (QGroupBox *group : std::as_const(groups)) {
        if (group != root && !group->isVisibleTo(root))
            continue;
        QImage image;
        const std::vector<bool> line = frameLines(group, image);
        const qreal ratio = image.devicePixelRatio();
        const QPoint origin = group == root ? QPoint() : group->mapTo(root, QPoint());
        for (const QWidget *widget : widgets) {
            if (widget == group || !isNamed(widget) || !widget->isVisibleTo(root) || widget->isAncestorOf(group))
                continue;
            QRect area = textArea(widget);
            if (area.isEmpty())
                continue;
            // Touching counts: one pixel around the text.
            area = area.adjusted(-1, -1, 1, 1).translated(widget->mapTo(root, QPoint()) - origin);
            const QRect inside = toDevice(area, ratio).intersected(image.rect());
            bool crossed = false;
            for (int y = inside.top(); y <= inside.bottom() && !crossed; ++y)
                for (int x = inside.left(); x <= inside.right() && !crossed; ++x)
                    crossed = line[size_t(y) * size_t(image.width()) + size_t(x)];
            if (crossed)
                found << (widget->objectName() % u" crosses the frame of " % group->objectName());
        }
    }
    return found;
}

namespace {

// Where `widget` draws text, in its own coordinates; empty where it shows none.
QRect inkArea(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return QFontMetrics(button->font()).boundingRect(button->rect(), Qt::AlignCenter, button->text());
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        if (edit->text().isEmpty())
            return {};
        const QRect inside = edit->rect().adjusted(3, 3, -3, -3);
        return QFontMetrics(edit->font()).boundingRect(inside, Qt::AlignLeft | Qt::AlignVCenter, edit->text())
                .intersected(inside);
    }
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return text->toPlainText().isEmpty() ? QRect() : text->viewport()->geometry();
    // A picture drawn for its whole box may hold text (a chart); an icon does not.
    if (const auto *label = qobject_cast<const QLabel *>(widget); label && label->text().isEmpty())
        return label->pixmap().deviceIndependentSize().toSize() == label->size() ? label->rect() : QRect();
    if (qobject_cast<const QLabel *>(widget) || qobject_cast<const QGroupBox *>(widget))
        return textArea(widget);
    return {};
}

} // namespace

QStringList lowContrast(QWidget *root)
{
    QStringList found;
    const QImage image = root->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (const QWidget *widget : std::as_const(widgets)) {
        if (!isNamed(widget) || (widget != root && !widget->isVisibleTo(root)))
            continue;
        const QRect area = inkArea(widget).translated(widget->mapTo(root, QPoint()));
        const QRect device = toDevice(area, ratio).intersected(image.rect());
        if (area.isEmpty() || device.isEmpty())
            continue;
        QHash<QRgb, int> counts;
        for (int y = device.top(); y <= device.bottom(); ++y)
            for (int x = device.left(); x <= device.right(); ++x)
                ++counts[image.pixel(x, y)];
        const QRgb behind = std::max_element(counts.keyValueBegin(), counts.keyValueEnd(),
                                             [](const auto &a, const auto &b) { return a.second < b.second; })->first;
        // A picture without a plain surface (a photo) has no text to measure.
        const auto *label = qobject_cast<const QLabel *>(widget);
        if (label && label->text().isEmpty() && counts.value(behind) * 2 < device.width() * device.height())
            continue;
        double most = 1.0;
        for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
            most = std::max(most, Surface::contrast(QColor(*it), QColor(behind)));
        if (most < Surface::readable)
            found << describe(widget, QStringLiteral("text contrasts %1:1 with its background").arg(most, 0, 'f', 1));
    }
    return found;
}

} // namespace FitCheck
