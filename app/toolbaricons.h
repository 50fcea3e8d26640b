#pragma once

#include <QIcon>
#include <QString>

// The pictures of the toolbar's buttons. The desktop's icon theme is asked first, by the
// freedesktop name; without a theme (or without that icon) the program paints its own, drawn as
// shapes at whatever size and pixel ratio is asked, so that it stays sharp on any screen.
enum class ToolbarGlyph { New, Open, Save, Print, HelpTopics, ContextHelp };

QIcon toolbarIcon(ToolbarGlyph glyph);
