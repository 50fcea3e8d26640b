#include "tests/gui/userinput.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QAbstractItemView>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

QWindow* windowOf(QWidget* widget) {
    QWidget* top = widget->window();
    if (!top->windowHandle())
        top->winId();
    return top->windowHandle();
}

QPoint inWindow(QWidget* widget, QPoint at) {
    if (at == user::kCentre)
        at = widget->rect().center();
    return widget->mapTo(widget->window(), at);
}

void activate(QWidget* widget) {
    QWidget* top = widget->window();
    if (QApplication::activeWindow() == top)
        return;
    top->activateWindow();
    (void)QTest::qWaitForWindowActive(top, 1000);
}

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

// Runs `step` on the active modal widget once it is there, looking again for up to ten
// seconds: a modal dialog opens only after the command that shows it has started.
void onModal(const std::function<bool(QWidget*)>& step, int tries = 500) {
    QTimer::singleShot(tries == 500 ? 0 : 20, [step, tries] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && step(modal))
            return;
        if (tries > 0) {
            onModal(step, tries - 1);
            return;
        }
        // Never leave a test waiting for ever on a box nobody answers.
        ADD_FAILURE() << "no modal dialog took the expected answer";
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
}

QMenu* menuHolding(const QList<QAction*>& actions, QAction* command, QList<QMenu*>& path) {
    for (QAction* entry : actions) {
        QMenu* menu = entry->menu();
        if (!menu)
            continue;
        path.append(menu);
        if (menu->actions().contains(command))
            return menu;
        if (QMenu* inner = menuHolding(menu->actions(), command, path))
            return inner;
        path.removeLast();
    }
    return nullptr;
}

}  // namespace

namespace user {

void click(QWidget* widget, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(windowOf(widget), button, modifiers, inWindow(widget, at));
}

void doubleClick(QWidget* widget, QPoint at) {
    // Press, release, and a second press that the system reports as a double click.
    QTest::mouseDClick(windowOf(widget), Qt::LeftButton, {}, inWindow(widget, at));
}

void press(QWidget* widget, QPoint at, Qt::MouseButton button) {
    QTest::mousePress(windowOf(widget), button, {}, inWindow(widget, at));
}

void move(QWidget* widget, QPoint to) { QTest::mouseMove(windowOf(widget), inWindow(widget, to)); }

void release(QWidget* widget, QPoint at, Qt::MouseButton button) {
    QTest::mouseRelease(windowOf(widget), button, {}, inWindow(widget, at));
}

void drag(QWidget* widget, QPoint from, QPoint to, Qt::MouseButton button) {
    press(widget, from, button);
    move(widget, (from + to) / 2);
    move(widget, to);
    release(widget, to, button);
}

void wheel(QWidget* widget, int delta) {
    QWindow* window = windowOf(widget);
    const QPointF where = inWindow(widget, kCentre);
    QWheelEvent event(where, window->mapToGlobal(where.toPoint()), {}, {0, delta}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &event);
}

void key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    activate(widget);
    QTest::keyClick(windowOf(widget), key, modifiers);
}

void type(QWidget* widget, const QString& text) {
    activate(widget);
    QWindow* window = windowOf(widget);
    for (const QChar character : text)
        QTest::keyClick(window, character.toLatin1());
}

void typeInto(QWidget* field, const QString& text) {
    activate(field);
    click(field);
    QTest::keyClick(windowOf(field), Qt::Key_A, Qt::ControlModifier);
    type(field, text);
}

void choose(QMainWindow* window, QAction* command) {
    QList<QMenu*> path;
    if (!menuHolding(window->menuBar()->actions(), command, path)) {
        ADD_FAILURE() << "no menu holds " << plain(command->text()).toStdString();
        return;
    }
    QMenuBar* bar = window->menuBar();
    click(bar, bar->actionGeometry(path.first()->menuAction()).center());
    for (qsizetype i = 1; i < path.size(); ++i) {
        QMenu* outer = path.at(i - 1);
        click(outer, outer->actionGeometry(path.at(i)->menuAction()).center());
    }
    QMenu* menu = path.last();
    if (!QTest::qWaitForWindowExposed(menu, 2000))
        return;
    click(menu, menu->actionGeometry(command).center());
}

void pick(QComboBox* list, int row) {
    click(list);
    if (!QTest::qWaitForWindowExposed(list->view()->window(), 2000))
        return;
    click(list->view()->viewport(), list->view()->visualRect(list->model()->index(row, 0)).center());
}

void shortcut(QWidget* window, QAction* command) {
    if (command->shortcut().isEmpty()) {
        ADD_FAILURE() << plain(command->text()).toStdString() << " has no shortcut";
        return;
    }
    const QKeyCombination combination = command->shortcut()[0];
    key(window, combination.key(), combination.keyboardModifiers());
}

void answerLater(QMessageBox::StandardButton button) {
    onModal([button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QAbstractButton* target = box ? box->button(button) : nullptr;
        if (!target)
            return false;
        click(target);
        return true;
    });
}

void clickLater(const QString& buttonText) {
    onModal([buttonText](QWidget* modal) {
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && plain(button->text()) == plain(buttonText)) {
                click(button);
                return true;
            }
        }
        return false;
    });
}

}  // namespace user
