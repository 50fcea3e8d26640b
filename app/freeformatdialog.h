#pragma once

#include <QDialog>

class QLineEdit;

// "Free Format": a width and a height, each an integer from 1 to 32767 (the record holds
// signed 16-bit sizes). OK checks the horizontal field first; a bad field gets a message and
// the focus, and the dialog stays open.
class CFreeFormatDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinimum = 1;
    static constexpr int kMaximum = 32767;

    CFreeFormatDialog(int horizontal, int vertical, QWidget* parent = nullptr);

    int horizontal() const noexcept { return mHorizontal; }
    int vertical() const noexcept { return mVertical; }
    QLineEdit* horizontalField() const noexcept { return mHorizontalField; }
    QLineEdit* verticalField() const noexcept { return mVerticalField; }

    void accept() override;

private:
    bool validate(QLineEdit* field, int& value);

    QLineEdit* mHorizontalField;
    QLineEdit* mVerticalField;
    int mHorizontal;
    int mVertical;
};
