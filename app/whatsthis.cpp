#include "app/whatsthis.h"

#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "library/librarybar.h"
#include "library/librarystrip.h"
#include "panels/commandblock.h"
#include "panels/integerfield.h"
#include "panels/palettebar.h"
#include "panels/palettecells.h"
#include "panels/promptbutton.h"
#include "panels/seamlessbox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThisClickedEvent>

#include <utility>

using namespace quorvel::command;

namespace {

QString text(const char* s) { return QString::fromUtf8(s); }

// A panel's text: a title, what it does and a link to the help page that says more.
QString panelText(const char* title, const char* body, const char* page) {
    return QStringLiteral("<b>%1</b><br>%2<br><a href=\"%3\">More in the help</a>")
        .arg(text(title), text(body), text(page));
}

// Opens the help page of a link clicked in a What's This text.
class CHelpLinkFilter : public QObject {
public:
    CHelpLinkFilter(std::function<void(const QString&)> openPage, QObject* parent)
        : QObject(parent), mOpenPage(std::move(openPage)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::WhatsThisClicked)
            return QObject::eventFilter(watched, event);
        mOpenPage(static_cast<QWhatsThisClickedEvent*>(event)->href());
        return true;
    }

private:
    std::function<void(const QString&)> mOpenPage;
};

struct CommandText {
    int id;
    const char* title;
    const char* body;
};

// Menus and the toolbar show an action's text; the shortcut is added from the action itself.
const CommandText kCommandTexts[] = {
    {kNew, "New", "Starts a new texture, a Marble of 160 x 120 pixels, in a window of its own."},
    {kOpen, "Open", "Opens one or more texture documents (.qvl), each in a new window."},
    {kClose, "Close",
     "Closes the active texture and all its windows. If it was changed you are asked whether to "
     "save it first."},
    {kSave, "Save",
     "Writes the active texture to its file without asking for a name. A texture never saved "
     "before is written as its title with .qvl in the current folder."},
    {kSaveAs, "Save As",
     "Saves the active texture under a name you choose. The extension decides what is written: "
     "a texture document (.qvl), texture parameters (.tpr) or an image (.tga, .bmp, .jpg, .png, "
     ".ppm)."},
    {kPrint, "Print", "Prints the active texture on one page under its title."},
    {kPrintPreview, "Print Preview", "Shows the page that Print would print."},
    {kPrintSetup, "Print Setup", "Chooses the printer and its options for the next print."},
    {kExportMaps, "Export Maps",
     "Writes the active texture's colour, normal and height maps as images under one base name, "
     "all of them or, on any failure, none."},
    {kExit, "Exit",
     "Closes Quorvel. You are asked about every changed texture, in the order they were opened."},
    {kImageFormat, "Image Format",
     "Sets the size in pixels at which the active texture is shown, printed and exported."},
    {kToolbar, "Toolbars", "Shows or hides the toolbar."},
    {kStatusBar, "Status Bar", "Shows or hides the status bar at the bottom of the window."},
    {kLibrary, "Library", "Shows or hides the texture library panel."},
    {kPalette, "Palette", "Shows or hides the palette panel with the texture's 24 colours."},
    {kCommandBlock, "Command Block",
     "Shows or hides the command block, where the material and the relief are set."},
    {kNewWindow, "New Window",
     "Opens a second window on the active texture; both show and edit the same texture."},
    {kCascade, "Cascade", "Arranges the texture windows overlapping, each title in view."},
    {kTile, "Tile",
     "Arranges the texture windows one above the other, each as wide as the window area."},
    {kArrangeIcons, "Arrange Icons",
     "Lines the minimised texture windows up along the bottom of the window area."},
    {kHelpContents, "Help Topics", "Opens the help at its table of contents."},
    {kHelpIndex, "Help Topics", "Opens the help at its alphabetical index."},
    {kAbout, "About Quorvel", "Shows the program's version and copyright."},
    {kWebsite, "Website", "Opens the Quorvel web page in your web browser."},
    {kTipOfTheDay, "Tip of the Day", "Shows a tip about using Quorvel."},
    {kContextHelp, "What's This?",
     "Click this, then click any part of the window to learn what it does."},
    {kHelp, "Help", "Opens the help page about the panel or window you are working in."},
    {kUndo, "Undo", "Takes back the last change of the active texture; the menu names it."},
    {kRedo, "Redo", "Makes again the last change that Undo took back."},
    {kCut, "Cut", "A texture cannot be cut out of its window; use Copy. Not available."},
    {kCopy, "Copy", "Puts the active texture on the Clipboard, as its image and as a texture."},
    {kPaste, "Paste",
     "Replaces the active texture by a texture on the Clipboard; Undo takes it back."},
    {kNextPane, "Next Pane", "No texture window is split into panes; not available."},
    {kPreviousPane, "Previous Pane", "No texture window is split into panes; not available."},
};

void setCommandText(QAction* action, const QString& title, const QString& body) {
    if (!action)
        return;
    const QString keys = action->shortcut().toString(QKeySequence::NativeText);
    const QString heading =
        keys.isEmpty() ? title : title + QStringLiteral(" (") + keys + QLatin1Char(')');
    action->setWhatsThis(QStringLiteral("<b>%1</b><br>%2").arg(heading, body));
}

void installCommandTexts(CCommandActions& actions) {
    for (const CommandText& command : kCommandTexts)
        setCommandText(actions.action(command.id), text(command.title), text(command.body));
    for (QAction* recent : actions.recentFileActions())
        setCommandText(recent, text("Recent file"),
                       text("Opens this texture document again in a new window."));
}

// Gives a widget its note and lets the links in it open help pages.
class TextSetter {
public:
    explicit TextSetter(QObject* linkFilter) : mLinkFilter(linkFilter) {}

    void operator()(QWidget* widget, const QString& html) const {
        if (!widget)
            return;
        widget->setWhatsThis(html);
        widget->installEventFilter(mLinkFilter);
    }

private:
    QObject* mLinkFilter;
};

void installMaterialTexts(const CCommandBlock& block, const TextSetter& set) {
    using Field = CCommandBlock::Field;
    set(block.materialList(),
        panelText("Material type",
                  "The pattern of the texture. Choosing a material loads its preset detail, "
                  "turbulence, scale and colours; relief, lighting and image size stay.",
                  "materials.html"));
    set(block.field(Field::Detail),
        panelText("Detail",
                  "How many layers of noise make up the pattern, 1 to 256 (the arrows stop at "
                  "100). More detail gives finer grain and takes longer to draw.",
                  "commandblock.html#detail"));
    set(block.field(Field::Turbulence),
        panelText("Turbulence",
                  "How strongly the pattern is swirled, 0 to 100. For Agate it sets the contrast "
                  "of the bands instead.",
                  "commandblock.html#turbulence"));
    const char* scale = "How often the pattern repeats, in tenths, 1 to 1000: 10 shows one unit "
                        "of the pattern across the image, 20 shows two.";
    set(block.field(Field::ScaleX), panelText("Scale X", scale, "commandblock.html#scale"));
    set(block.field(Field::ScaleY), panelText("Scale Y", scale, "commandblock.html#scale"));
}

void installReliefTexts(const CCommandBlock& block, const TextSetter& set) {
    using Field = CCommandBlock::Field;
    set(block.reliefList(),
        panelText("Relief type",
                  "The embossed surface laid over the pattern: Waves, Ripples, Bumps, Dents or "
                  "Inverse Dents. It shows only while Intensity is above 0.",
                  "materials.html#reliefs"));
    set(block.field(Field::Intensity),
        panelText("Relief intensity",
                  "How deep the relief is, 0 to 100. At 0 the texture has no relief and no "
                  "lighting.",
                  "commandblock.html#intensity"));
    const char* reliefScale = "How often the relief repeats, in tenths, 1 to 1000, apart from "
                              "the pattern's own scale.";
    set(block.field(Field::ReliefScaleX),
        panelText("Relief scale X", reliefScale, "commandblock.html#reliefscale"));
    set(block.field(Field::ReliefScaleY),
        panelText("Relief scale Y", reliefScale, "commandblock.html#reliefscale"));
}

void installButtonTexts(const CCommandBlock& block, const TextSetter& set) {
    const QString seamless = panelText(
        "Seamless",
        "Makes the image tile: copies placed side by side and above each other show no seam. "
        "The pattern's and the relief's scales are rounded to whole cells; the note below says "
        "which scales are used. Off, the texture is drawn exactly as before.",
        "commandblock.html#seamless");
    set(block.seamlessBox()->checkBox(), seamless);
    set(block.seamlessBox()->scaleNote(), seamless);
    set(block.reflectionButton(),
        panelText("Reflection",
                  "Opens Reflection Parameters: the colour and brilliance of the light that the "
                  "relief reflects.",
                  "lighting.html#reflection"));
    set(block.lightingButton(),
        panelText("Lighting",
                  "Opens Lighting Properties: the direction and colour of the light on the relief.",
                  "lighting.html#lighting"));
    set(block.progressBar(),
        panelText("Progress",
                  "How far the active window's texture has been drawn. Escape stops the drawing.",
                  "view.html#rendering"));
    set(block.previewButton(),
        panelText("Preview",
                  "Draws the active texture again with every change so far, palette, lighting and "
                  "reflection changes included.",
                  "view.html#rendering"));
}

void installPaletteTexts(const CPaletteBar& bar, const TextSetter& set) {
    set(bar.cells(),
        panelText("Colour cells",
                  "Click a cell to select it; double-click it to choose its colour. After "
                  "Gradient, click two cells to blend the colours between them. Changes show "
                  "when the texture is next drawn (Preview).",
                  "palette.html#cells"));
    set(bar.colourButton(), panelText("Color...", "Chooses a new colour for the selected cell.",
                                      "palette.html#colour"));
    set(bar.gradientButton(),
        panelText("Gradient",
                  "Click this, then two cells: the cells between them are blended evenly from "
                  "the first colour to the second.",
                  "palette.html#gradient"));
}

void installLibraryTexts(const CLibraryBar& bar, const TextSetter& set) {
    set(bar.strip(), panelText("Library thumbnails",
                               "Click a picture to select its texture; double-click it to open "
                               "the texture in a new window. A marked picture shows the Marble "
                               "defaults because its file could not be read; point at it to see "
                               "why.",
                               "library.html#strip"));
    set(bar.addButton(),
        panelText("Add", "Adds one or more texture documents (.qvl) to the end of the library.",
                  "library.html#add"));
    set(bar.loadButton(),
        panelText("Load", "Replaces the library by the textures a library file (.qlb) lists.",
                  "library.html#load"));
    set(bar.saveButton(),
        panelText("Save",
                  "Writes the library's names and paths to a library file (.qlb); the textures "
                  "themselves are not written.",
                  "library.html#save"));
    set(bar.deleteButton(),
        panelText("Delete", "Takes the selected texture out of the library; its file stays.",
                  "library.html#delete"));
}

void installFrameTexts(CMainFrame& frame, const TextSetter& set) {
    const QString block = panelText(
        "Command block",
        "Sets the material and the relief of the active texture. Each change goes into the "
        "texture at once; the lists and Preview also draw it again.",
        "commandblock.html");
    set(frame.commandBlock(), block);
    set(frame.commandBlockDock(), block);
    // The scroll area that carries the block on small screens.
    set(frame.commandBlockDock()->widget(), block);
    const QString palette = panelText(
        "Palette",
        "The 24 colours the texture's pattern runs through, from its lowest values (left) to "
        "its highest (right).",
        "palette.html");
    set(frame.paletteBar(), palette);
    set(frame.paletteDock(), palette);
    const QString library = panelText(
        "Texture library",
        "Favourite textures as small pictures. Click one to select it, double-click it to open "
        "it as a new texture; Add, Load, Save and Delete change the library.",
        "library.html");
    set(frame.libraryBar(), library);
    set(frame.libraryDock(), library);
    set(frame.mdiArea(),
        panelText("Texture windows",
                  "Each window shows one texture at its image size. Drag with the left button to "
                  "move the texture, double-click to draw it again, press Escape to stop a "
                  "drawing.",
                  "view.html"));
    set(frame.toolBar(),
        panelText("Toolbar",
                  "New, Open, Save, Print, Help Topics and What's This. The status bar says what "
                  "the button under the pointer does.",
                  "mainwindow.html#toolbar"));
    set(frame.statusBar(),
        panelText("Status bar",
                  "Says what the command or button under the pointer does. CAP, NUM and SCR "
                  "stand for the keyboard's lock keys.",
                  "mainwindow.html#statusbar"));
}

}  // namespace

void installWhatsThis(CMainFrame& frame, std::function<void(const QString& page)> openPage) {
    installCommandTexts(frame.actions());
    const TextSetter set(new CHelpLinkFilter(std::move(openPage), &frame));
    installFrameTexts(frame, set);
    installMaterialTexts(*frame.commandBlock(), set);
    installReliefTexts(*frame.commandBlock(), set);
    installButtonTexts(*frame.commandBlock(), set);
    installPaletteTexts(*frame.paletteBar(), set);
    installLibraryTexts(*frame.libraryBar(), set);
}

QString contextHelpPage(const CMainFrame& frame, const QWidget* focus) {
    const std::pair<const QWidget*, const char*> areas[] = {
        {frame.commandBlock(), "commandblock.html"},
        {frame.commandBlockDock(), "commandblock.html"},
        {frame.paletteBar(), "palette.html"},
        {frame.paletteDock(), "palette.html"},
        {frame.libraryBar(), "library.html"},
        {frame.libraryDock(), "library.html"},
        {frame.mdiArea(), "view.html"},
        {frame.toolBar(), "mainwindow.html#toolbar"},
    };
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget())
        for (const auto& [area, page] : areas)
            if (widget == area)
                return text(page);
    return text("contents.html");
}
