#include "Controls.h"

#include "Scenario.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <QWidget>

namespace halvex::test {

namespace {

QWidget* widget(QObject* control)
{
    auto* w = qobject_cast<QWidget*>(control);
    if (!w)
        fail(control->objectName() + QStringLiteral(" is not a control on a window"));
    return w;
}

// The window a control sits in; an action belongs to the window of its menu.
QWidget* windowOf(QObject* o)
{
    for (; o; o = o->parent()) {
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->window();
    }
    return nullptr;
}

QList<QWidget*> windowsInSearchOrder()
{
    QList<QWidget*> shown;
    QList<QWidget*> hidden;
    for (QWidget* w : QApplication::topLevelWidgets())
        (w->isVisible() ? shown : hidden).append(w);
    if (QWidget* modal = QApplication::activeModalWidget()) {
        shown.removeAll(modal);
        shown.prepend(modal);
    }
    return shown + hidden;
}

QStringList items(QObject* control, int column)
{
    QStringList texts;
    if (auto* box = qobject_cast<QComboBox*>(control)) {
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
    } else if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            const QModelIndex index = view->model()->index(row, column);
            const bool selected = view->selectionModel()->isSelected(index);
            texts.append((selected ? QStringLiteral("*") : QString()) + index.data().toString());
        }
    } else {
        fail(control->objectName() + QStringLiteral(" has no items"));
    }
    return texts;
}

QString text(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (!value.canConvert<QString>())
        fail(QStringLiteral("a %1 cannot be compared as text").arg(value.typeName()));
    return value.toString();
}

} // namespace

QObject* findControl(const QString& path)
{
    const QString windowName = path.section(u'/', 0, -2);
    const QString name = path.section(u'/', -1);
    // A window shown twice (a board opened again instead of raised) is a fault of its own.
    const QString windowOrName = windowName.isEmpty() ? name : windowName;
    qsizetype shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        shown += window->isVisible() && window->objectName() == windowOrName;
    if (shown > 1)
        fail(QStringLiteral("%1 windows named %2 are shown").arg(shown).arg(windowOrName));
    for (QWidget* window : windowsInSearchOrder()) {
        if (!windowName.isEmpty() && window->objectName() != windowName)
            continue;
        if (window->objectName() == name)
            return window;
        for (QObject* o : window->findChildren<QObject*>(name)) {
            if (windowOf(o) == window)
                return o;
        }
    }
    return nullptr;
}

QStringList readProperty(QObject* control, const QString& property)
{
    if (property == u"items")
        return items(control, 0);
    if (property.startsWith(u"column"))
        return items(control, property.mid(6).toInt());
    if (property == u"background")
        return {widget(control)->palette().color(QPalette::Window).name()};
    if (property == u"pointSize")
        return {QString::number(widget(control)->font().pointSize())};
    if (property == u"pixelSize")
        return {QString::number(widget(control)->font().pixelSize())};
    if (auto* main = qobject_cast<QMainWindow*>(control); main && property == u"status")
        return {main->statusBar()->currentMessage()};
    const QByteArray name = property.toLatin1();
    if (control->metaObject()->indexOfProperty(name) < 0) {
        if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit())
            return readProperty(box->lineEdit(), property);
        fail(control->objectName() + QStringLiteral(" has no property ") + property);
    }
    return {text(control->property(name))};
}

void writeProperty(QObject* control, const QString& property, const QString& value)
{
    if (auto* box = qobject_cast<QComboBox*>(control); box && property == u"text") {
        box->isEditable() ? box->setEditText(value) : box->setCurrentText(value);
        return;
    }
    if (auto* w = qobject_cast<QWidget*>(control); w && property == u"size") {
        w->resize(value.section(u'x', 0, 0).toInt(), value.section(u'x', 1).toInt());
        return;
    }
    const QByteArray name = property.toLatin1();
    const int index = control->metaObject()->indexOfProperty(name);
    if (index < 0)
        fail(control->objectName() + QStringLiteral(" has no property ") + property);
    QVariant v(value);
    if (!v.convert(control->metaObject()->property(index).metaType()) ||
        !control->setProperty(name, v))
        fail(QStringLiteral("cannot set %1 to %2").arg(property, value));
}

void clickControl(QObject* control)
{
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->trigger();
        return;
    }
    QTest::mouseClick(widget(control), Qt::LeftButton);
}

void pressKeys(QObject* control, const QString& keys)
{
    const QKeySequence sequence = QKeySequence::fromString(keys);
    if (sequence.isEmpty())
        fail(QStringLiteral("no such key: ") + keys);
    const QKeyCombination key = sequence[0];
    QTest::keyClick(widget(control), key.key(), key.keyboardModifiers());
}

void typeText(QObject* control, const QString& text)
{
    QTest::keyClicks(widget(control), text);
}

void focusControl(QObject* control)
{
    QWidget* w = widget(control);
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w->window(), 1000))
        fail(QStringLiteral("the window of %1 did not become active").arg(w->objectName()));
    w->setFocus(Qt::TabFocusReason);
}

void pickRow(QObject* control, int row, int column, bool twice)
{
    auto* box = qobject_cast<QComboBox*>(control);
    auto* view = box ? box->view() : qobject_cast<QAbstractItemView*>(control);
    if (!view)
        fail(control->objectName() + QStringLiteral(" is neither a box nor a list"));
    if (box) {
        box->showPopup();
        if (!QTest::qWaitFor([view] { return view->isVisible(); }))
            fail(QStringLiteral("the list of %1 did not open").arg(control->objectName()));
    }
    const QModelIndex index = view->model()->index(row, column);
    if (!index.isValid())
        fail(
            QStringLiteral("%1 has no cell %2,%3").arg(control->objectName()).arg(row).arg(column));
    const QPoint centre = view->visualRect(index).center();
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    else
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
}

void dragCell(QObject* control, QPoint from, QPoint to)
{
    auto* view = qobject_cast<QAbstractItemView*>(control);
    if (!view)
        fail(control->objectName() + QStringLiteral(" is not a list"));
    // Points are (row, column).
    const auto centre = [view](QPoint cell) {
        return view->visualRect(view->model()->index(cell.x(), cell.y())).center();
    };
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(from));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(to));
}

void closeWindow(QObject* control)
{
    widget(control)->close();
}

} // namespace halvex::test
