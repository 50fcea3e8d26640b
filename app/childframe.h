#pragma once

#include <QMdiSubWindow>

class CQuorvelDoc;
class CQuorvelView;

// A document's title as windows show it: "*" follows it while the document is modified.
QString markedTitle(const CQuorvelDoc& document);

// The frame of one document window, holding its texture view. Closing it asks about its
// modified document (the prompt may stop the close); a document lives while one of its frames
// does.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    CChildFrame(CQuorvelDoc* document, QWidget* parent = nullptr);

    CQuorvelDoc* document() const noexcept { return mDocument; }
    CQuorvelView* view() const noexcept { return mView; }

    // Closes without asking: the document was already asked about (Close command, Exit).
    void closeWithoutPrompt();

    // The document's title, with "*" while it is modified.
    void showTitle();

signals:
    // Asked before a close by the user; returning false through `proceed` keeps the frame open.
    void closeRequested(CChildFrame* frame, bool* proceed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CQuorvelDoc* mDocument;
    CQuorvelView* mView;
    bool mPromptOnClose = true;
};
