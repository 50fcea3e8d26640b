#pragma once

#include <QString>

#include <functional>

class CMainFrame;
class QWidget;

// Context help for the main window.

// Sets the What's This texts of the main window's commands, panels, toolbar, status bar and
// document area, shown by Shift+F1 or the toolbar's What's This button for whatever is clicked
// next. A link in a panel's text opens that help page through `openPage` (a page name such as
// "palette.html#gradient").
void installWhatsThis(CMainFrame& frame, std::function<void(const QString& page)> openPage);

// The help page F1 opens: the page about the panel or area holding `focus`, or the contents
// when the focus is anywhere else or nowhere.
QString contextHelpPage(const CMainFrame& frame, const QWidget* focus);
