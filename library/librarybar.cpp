#include "library/librarybar.h"

#include "files/searchpath.h"
#include "library/librarycommands.h"
#include "library/librarystrip.h"
#include "panels/panelhost.h"
#include "panels/promptbutton.h"

#include <QGridLayout>
#include <QHBoxLayout>

CLibraryBar::CLibraryBar(CPanelHost& host, QWidget* parent)
    : QWidget(parent), mHost(host), mStrip(new CLibraryStrip),
      mCommands(new CLibraryCommands(*mStrip, host, this)),
      mAddButton(makeButton(QStringLiteral("Add"), QStringLiteral("Add a Texture to the Library"),
                            kAddId)),
      mLoadButton(
          makeButton(QStringLiteral("Load"), QStringLiteral("Load a Texture Library"), kLoadId)),
      mDeleteButton(makeButton(QStringLiteral("Delete"),
                               QStringLiteral("Delete the Current Texture from the Library"),
                               kDeleteId)),
      mSaveButton(
          makeButton(QStringLiteral("Save"), QStringLiteral("Save a Texture Library"), kSaveId)) {
    setObjectName(QStringLiteral("libraryBar"));
    mStrip->setObjectName(QStringLiteral("libraryStrip"));

    auto* buttons = new QWidget;
    // Wider only when the buttons' texts need it.
    buttons->setMinimumWidth(kButtonBand);
    buttons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* grid = new QGridLayout(buttons);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(mAddButton, 0, 0);
    grid->addWidget(mLoadButton, 1, 0);
    grid->addWidget(mDeleteButton, 0, 1);
    grid->addWidget(mSaveButton, 1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mStrip, 1);
    layout->addWidget(buttons);
    setFixedHeight(mStrip->height());

    connect(mAddButton, &CPromptButton::clicked, mCommands, &CLibraryCommands::add);
    connect(mLoadButton, &CPromptButton::clicked, mCommands, &CLibraryCommands::load);
    connect(mDeleteButton, &CPromptButton::clicked, mCommands, &CLibraryCommands::deleteSelected);
    connect(mSaveButton, &CPromptButton::clicked, mCommands, &CLibraryCommands::save);
    connect(mStrip, &CLibraryStrip::openRequested, this, &CLibraryBar::openEntry);
}

CPromptButton* CLibraryBar::makeButton(const QString& text, const QString& prompt, int id) {
    auto* button = new CPromptButton(text);
    button->setPrompt(prompt);
    button->setObjectName(QStringLiteral("libraryButton%1").arg(id));
    // Two rows of buttons share the strip's height.
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(button, &CPromptButton::prompted, this,
            [this](const QString& text) { mHost.showPrompt(text); });
    return button;
}

void CLibraryBar::setEntries(const std::vector<quorvel::LibraryFileEntry>& entries) {
    mCommands->setEntries(entries, quorvel::dataSearchPath());
}

std::vector<quorvel::LibraryFileEntry> CLibraryBar::entries() const {
    return mStrip->fileEntries();
}

void CLibraryBar::openEntry(int index) {
    const LibraryEntry& entry = mStrip->entry(index);
    mHost.openLibraryTexture(entry.record, libraryTexturePath(entry.file.name));
}
