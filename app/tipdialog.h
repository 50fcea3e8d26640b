#pragma once

#include <QDialog>
#include <QFile>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QSettings;

// "Tip of the Day": one tip at a time from tips.txt, in file order, wrapping after the last.
// Its state lives in the settings' "Tip" section: "StartUp" (0 or absent: show tips at start-up),
// "FilePos" (the byte where the next tip is searched) and "TimeStamp" (the tips file's time
// when the position was last reset; a different time restarts at the first tip).
//
// A tip is a line whose first character is not a space, a tab, a line break or ';'. Lines are
// read 999 bytes at most; the rest of a longer line counts as the next line.
class CTipDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLineBufferBytes = 1000;

    // Reads the settings, opens `tipsPath` and fetches the next tip. A missing file shows a
    // message instead of a tip and disables Next Tip; a position that cannot be sought to is
    // reported in a message box and leaves the tip empty.
    CTipDialog(QSettings& settings, const QString& tipsPath, QWidget* parent = nullptr);
    // Remembers where the next tip is to be searched, when the file was open.
    ~CTipDialog() override;

    // tips.txt along the data search path (the current folder first); empty when not found.
    static QString findTipsFile();
    // When the tips file last changed, as "Www Mmm dd hh:mm:ss yyyy" (24 characters, English
    // names, local time); empty when the file cannot be looked at.
    static QString fileTimeStamp(const QString& path);

    // Whether tips are shown at start-up, as the settings said when the dialog was made or as
    // Close last set it.
    bool showAtStartUp() const noexcept { return mShowAtStartUp; }
    // The tip shown, without its line break.
    QString tip() const { return mTip; }

    QCheckBox* startUpBox() const noexcept { return mStartUpBox; }
    QPushButton* nextTipButton() const noexcept { return mNextTipButton; }
    QPushButton* closeButton() const noexcept { return mCloseButton; }
    QLabel* tipLabel() const noexcept { return mTipLabel; }

    // Next Tip: the next tip, and the check box again as the flag says.
    void nextTip();

private:
    void openTips(const QString& tipsPath);
    void fetchNextTip();
    bool readLine(QByteArray& line);
    void closeAndRemember();
    void showData();
    QWidget* makeTipArea();

    QSettings& mSettings;
    QFile mFile;
    bool mShowAtStartUp = true;
    QString mTip;
    QCheckBox* mStartUpBox = nullptr;
    QPushButton* mNextTipButton = nullptr;
    QPushButton* mCloseButton = nullptr;
    QLabel* mTipLabel = nullptr;
};
