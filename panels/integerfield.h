#pragma once

#include <QAbstractSpinBox>

#include <optional>

// A one-line integer field with a spin control at its right edge. Any text may be typed: the
// owner validates it when it commits. The arrows (and the arrow keys) step the number within
// the spin range, which may be narrower or wider than the range the owner accepts.
class CIntegerField : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit CIntegerField(QWidget* parent = nullptr);

    void setSpinRange(int minimum, int maximum);
    int spinMinimum() const noexcept { return mMinimum; }
    int spinMaximum() const noexcept { return mMaximum; }

    // The field's text as an integer; empty when it does not hold one.
    std::optional<int> number() const;
    // Shows `value` and takes it as the value the user has not changed yet.
    void showNumber(int value);
    // Whether the text differs from the number last shown (or committed).
    bool isEdited() const;
    // Takes the field's current number as unchanged from now on.
    void markCommitted();

    void stepBy(int steps) override;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    QValidator::State validate(QString& input, int& position) const override;

signals:
    // The field lost the keyboard focus (`reason` says why) or the user pressed Enter.
    void focusLost(Qt::FocusReason reason);
    void enterPressed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    int mMinimum = 0;
    int mMaximum = 100;
    std::optional<int> mShown;
};
