#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>

class QAction;
class QComboBox;
class QMainWindow;
class QWidget;

// The user's hands. Every event goes to the top-level QWindow that holds the widget, as the
// window system delivers it, so application event filters, modality, focus and shortcuts decide
// what happens, exactly as they do for a person. Positions are in the widget's coordinates; a
// default position is the widget's centre.
namespace user {

inline constexpr QPoint kCentre{-1, -1};

void click(QWidget* widget, QPoint at = kCentre, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = {});
void doubleClick(QWidget* widget, QPoint at = kCentre);
void press(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void move(QWidget* widget, QPoint to);
void release(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton);
// Press at `from`, move through the midpoint to `to`, release there.
void drag(QWidget* widget, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton);
// A wheel turn over the widget; one notch is 120.
void wheel(QWidget* widget, int delta);

// Keys go to the window's focus widget; `widget` names the window (and is activated first).
void key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
// Clicks into the field, selects what it holds and types `text` over it.
void typeInto(QWidget* field, const QString& text);
// Types `text` into whatever has the focus in the widget's window.
void type(QWidget* widget, const QString& text);

// Chooses a menu command by mouse: the menu bar title, then the entry in its pop-up.
void choose(QMainWindow* window, QAction* command);
// Opens a drop-down list and clicks entry `row`.
void pick(QComboBox* list, int row);
// Presses the command's first shortcut in the window.
void shortcut(QWidget* window, QAction* command);

// Clicks the button of the active modal dialog that carries `text` (or, for a message box,
// the standard button), once the event loop runs: call before the action that opens it.
void answerLater(QMessageBox::StandardButton button);
void clickLater(const QString& buttonText);

}  // namespace user
