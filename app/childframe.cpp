#include "app/childframe.h"

#include "app/backgroundtask.h"
#include "document/quorveldoc.h"
#include "app/quorvelview.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CQuorvelDoc* document, QWidget* parent)
    : QMdiSubWindow(parent), mDocument(document), mView(new CQuorvelView(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(mView);
    showTitle();
    connect(document, &CQuorvelDoc::titleChanged, this, &CChildFrame::showTitle);
    connect(document, &CQuorvelDoc::modifiedChanged, this, &CChildFrame::showTitle);
}

void CChildFrame::showTitle() { setWindowTitle(markedTitle(*mDocument)); }

QString markedTitle(const CQuorvelDoc& document) {
    return document.isModified() ? document.title() + QLatin1Char('*') : document.title();
}

void CChildFrame::closeWithoutPrompt() {
    mPromptOnClose = false;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    // A close waits until an export or a print of the document is done.
    if (isBackgroundWorkRunning()) {
        event->ignore();
        return;
    }
    bool proceed = true;
    if (mPromptOnClose)
        emit closeRequested(this, &proceed);
    if (!proceed) {
        mPromptOnClose = true;
        event->ignore();
        return;
    }
    mView->stopRendering();
    QMdiSubWindow::closeEvent(event);
}
