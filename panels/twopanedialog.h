#pragma once

#include <QString>

class QDialog;
class QWidget;

// Lays out the Lighting and Reflection dialogs alike: two labelled panes side by side and OK
// (the default) and Cancel below them, at a fixed size.
void layOutTwoPanes(QDialog& dialog, const QString& leftLabel, QWidget* left,
                    const QString& rightLabel, QWidget* right);

// The width a dialog needs for its whole title in a window manager's title bar: the text in a
// slightly larger font than the dialog's, and room for the icon and the title-bar buttons.
int widthForTitle(const QWidget& dialog);
