#include "app/commandactions.h"

#include "app/commandids.h"

#include <QAction>

using namespace quorvel::command;

namespace {
QString text(const char* s) { return QString::fromUtf8(s); }
}  // namespace

CCommandActions::CCommandActions(QObject* parent) : QObject(parent) {
    make(kNew, text("&New"), text("Create a new texture"), text("New"),
         {QKeySequence(text("Ctrl+N"))});
    make(kOpen, text("&Open..."), text("Open an existing texture"), text("Open"),
         {QKeySequence(text("Ctrl+O"))});
    make(kClose, text("&Close"), text("Close the active texture"), text("Close"));
    make(kSave, text("&Save"), text("Save the active texture"), text("Save"),
         {QKeySequence(text("Ctrl+S"))});
    make(kSaveAs, text("Save &As..."), text("Save the active texture under a new name"),
         text("Save as"));
    make(kExportMaps, text("Export &Maps..."),
         text("Export the colour, normal and height maps of the active texture"),
         text("Export maps"));
    make(kPrint, text("&Print..."), text("Print the active texture"), text("Print"),
         {QKeySequence(text("Ctrl+P"))});
    make(kPrintPreview, text("Print Pre&view"), text("Display multiple pages"),
         text("Print preview"));
    make(kPrintSetup, text("Print Set&up..."), text("Change the printer and printing options"),
         text("Configuration of the printer"));
    for (int k = 0; k < kRecentFileCount; ++k)
        mRecent.append(make(kRecentFile1 + k, text("Recent File"), text("Open this Texture")));
    make(kExit, text("E&xit"), text("Close the application ; prompt to save the documents"),
         text("Exit"));
    make(kImageFormat, text("Image &Format"), text("Choose an Image Format"));
    make(kToolbar, text("&Toolbars"), text("Display or hide the toolbar"), text("Toolbar"));
    make(kStatusBar, text("&Status Bar"), text("Display or hide the status bar"),
         text("Status bar"));
    make(kLibrary, text("&Library"), text("Display or hide the texture library"));
    make(kPalette, text("&Palette"), text("Display or hide the colors palette"));
    make(kCommandBlock, text("&Command Block"), text("Display or hide the command block"));
    for (int id : {kToolbar, kStatusBar, kLibrary, kPalette, kCommandBlock})
        action(id)->setCheckable(true);
    make(kNewWindow, text("&New Window"), text("Open a new window for the active document"),
         text("New window"));
    make(kCascade, text("&Cascade"), text("Arrange the windows in cascade"), text("Cascade"));
    make(kTile, text("&Tile"), text("Arrange the windows in horizontal tile"), text("Tile"));
    make(kArrangeIcons, text("&Arrange Icons"),
         text("Arrange the icons at the bottom of the window"), text("Arrange the icons"));
    make(kHelpContents, text("&Help Topics"), text("List the help topics"), text("Help topics"));
    make(kHelpIndex, text("&Help Topics"), text("Open the help"), text("Help topics"));
    make(kAbout, text("&About Quorvel..."),
         text("Show information about the program, version number and copyright"), text("About"));
    make(kWebsite, text("Visit Tarnwick Software Web Site"),
         text("Connect to Tarnwick Software's website"));
    make(kTipOfTheDay, text("Tip of the &Day..."), text("Show Tips at Startup"));
    make(kContextHelp, text("What's This?"),
         text("Display help for clicked on buttons, menus and windows"), text("Help"),
         {QKeySequence(text("Shift+F1"))});
    make(kHelp, text("Help"), text("Display help for current task or command"), text("Help"),
         {QKeySequence(text("F1"))});

    make(kUndo, text("&Undo"), text("Undo the last action"), text("Undo"),
         {QKeySequence(text("Ctrl+Z")), QKeySequence(text("Alt+Backspace"))});
    make(kRedo, text("&Redo"), text("Redo the previously undone action"), text("Redo"),
         {QKeySequence(text("Ctrl+Shift+Z")), QKeySequence(text("Ctrl+Y"))});
    make(kCut, text("Cu&t"), text("Cut the selection and put it on the Clipboard"), text("Cut"),
         {QKeySequence(text("Ctrl+X")), QKeySequence(text("Shift+Del"))});
    make(kCopy, text("&Copy"), text("Copy the texture and its image to the Clipboard"),
         text("Copy"), {QKeySequence(text("Ctrl+C")), QKeySequence(text("Ctrl+Ins"))});
    make(kPaste, text("&Paste"), text("Replace the texture by the one on the Clipboard"),
         text("Paste"), {QKeySequence(text("Ctrl+V")), QKeySequence(text("Shift+Ins"))});
    make(kNextPane, text("Next Pane"), text("Switch to the next window pane"), text("Next Pane"),
         {QKeySequence(text("F6"))});
    make(kPreviousPane, text("Previous Pane"), text("Switch back to the previous window pane"),
         text("Previous Pane"), {QKeySequence(text("Shift+F6"))});
    for (QAction* inert : inertActions())
        inert->setEnabled(false);
}

QList<QAction*> CCommandActions::inertActions() const {
    return {action(kCut), action(kNextPane), action(kPreviousPane)};
}

QAction* CCommandActions::make(int id, const QString& menuText, const QString& prompt,
                               const QString& tooltip, const QList<QKeySequence>& keys) {
    auto* created = new QAction(menuText, this);
    created->setData(id);
    created->setStatusTip(prompt);
    created->setToolTip(tooltip.isEmpty() ? prompt : tooltip);
    created->setShortcuts(keys);
    mActions.insert(id, created);
    return created;
}
