#pragma once

#include <QString>

#include <cstdint>
#include <span>

class CQuorvelDoc;
namespace quorvel {
struct TextureParams;
}

// What the editing panels need from the main window: the document they edit, a way to show its
// texture again and the status bar. The main window implements it and hands it to each panel.
class CPanelHost {
public:
    virtual ~CPanelHost() = default;

    // The document of the active child window; null when none is open.
    virtual CQuorvelDoc* activeDocument() const = 0;
    // Renders the active window's view again at once; nothing without an active window.
    virtual void redrawActiveView() = 0;
    // Writes the status bar's message pane and repaints it at once.
    virtual void showPrompt(const QString& text) = 0;
    // The sphere table the light direction picker shades (244,376 bytes); empty when no sphere
    // data could be loaded.
    virtual std::span<const uint8_t> sphereTable() const = 0;
    // Opens a copy of `record` as a new, modified document whose file is `path` (the library's
    // double click). A host without documents ignores it.
    virtual void openLibraryTexture(const quorvel::TextureParams&, const QString&) {}
};
