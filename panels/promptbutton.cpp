#include "panels/promptbutton.h"

#include <QMouseEvent>

namespace {

constexpr int kMovesSuppressedAfterPress = 2;

}  // namespace

CPromptButton::CPromptButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    // Moves without a button held must arrive too.
    setMouseTracking(true);
}

void CPromptButton::setPrompt(const QString& prompt) {
    mPrompt = prompt;
    // The tooltip tells keyboard users too.
    setToolTip(prompt);
}

void CPromptButton::mouseMoveEvent(QMouseEvent* event) {
    if (mSuppressedMoves > 0)
        --mSuppressedMoves;
    else
        emit prompted(mPrompt);
    QPushButton::mouseMoveEvent(event);
}

void CPromptButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        mSuppressedMoves = kMovesSuppressedAfterPress;
    QPushButton::mousePressEvent(event);
}
