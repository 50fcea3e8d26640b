#pragma once

#include <QPushButton>

// A push button that puts its prompt in the status bar while the pointer moves over it. The two
// mouse moves that follow a press leave the status bar alone, so a message the click itself
// writes is not overwritten at once.
class CPromptButton : public QPushButton {
    Q_OBJECT

public:
    explicit CPromptButton(const QString& text, QWidget* parent = nullptr);

    QString prompt() const { return mPrompt; }
    void setPrompt(const QString& prompt);

signals:
    // Asks for `prompt` in the status bar.
    void prompted(const QString& prompt);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString mPrompt;
    int mSuppressedMoves = 0;
};
