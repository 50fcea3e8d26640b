#pragma once

#include "files/libraryfile.h"

#include <QWidget>

#include <vector>

class CLibraryCommands;
class CLibraryStrip;
class CPanelHost;
class CPromptButton;

// The texture library panel: the thumbnail strip and, at its right end, the Add, Load, Delete
// and Save buttons, whose prompts go to the host's status bar. A double click on a thumbnail
// opens a copy of that texture as a new, modified document through the host.
class CLibraryBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kAddId = 1011;
    static constexpr int kLoadId = 1012;
    static constexpr int kDeleteId = 1013;
    static constexpr int kSaveId = 1014;
    // The band at the right edge that holds the buttons, in pixels at least.
    static constexpr int kButtonBand = 84;

    explicit CLibraryBar(CPanelHost& host, QWidget* parent = nullptr);

    CLibraryStrip* strip() const noexcept { return mStrip; }
    CLibraryCommands* commands() const noexcept { return mCommands; }
    CPromptButton* addButton() const noexcept { return mAddButton; }
    CPromptButton* loadButton() const noexcept { return mLoadButton; }
    CPromptButton* deleteButton() const noexcept { return mDeleteButton; }
    CPromptButton* saveButton() const noexcept { return mSaveButton; }

    // Replaces the library by `entries` (the default library at start-up), reading their
    // textures along the data search path.
    void setEntries(const std::vector<quorvel::LibraryFileEntry>& entries);
    // The library's names and paths, as a library file stores them.
    std::vector<quorvel::LibraryFileEntry> entries() const;

private:
    CPromptButton* makeButton(const QString& text, const QString& prompt, int id);
    void openEntry(int index);

    CPanelHost& mHost;
    CLibraryStrip* mStrip;
    CLibraryCommands* mCommands;
    CPromptButton* mAddButton;
    CPromptButton* mLoadButton;
    CPromptButton* mDeleteButton;
    CPromptButton* mSaveButton;
};
