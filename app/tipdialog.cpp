#include "app/tipdialog.h"

#include "document/userdialogs.h"
#include "files/searchpath.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <array>

namespace {

const QString kStartUpKey = QStringLiteral("Tip/StartUp");
const QString kFilePosKey = QStringLiteral("Tip/FilePos");
const QString kTimeStampKey = QStringLiteral("Tip/TimeStamp");

QString missingFileText() {
    return QStringLiteral("The file Tips.txt does not exist in the current directory");
}

QString readProblemText() { return QStringLiteral("Problem Reading the File"); }

// Shown when a tips file holds comments and blank lines only, so the search has to give up.
QString noTipsText() { return QStringLiteral("The file Tips.txt does not hold any tip."); }

bool isTip(const QByteArray& line) {
    const char first = line.front();
    return first != ' ' && first != '\t' && first != '\n' && first != '\r' && first != ';';
}

// A light bulb of 40 x 53 pixels on white, the picture beside "Did you Know...".
QPixmap bulbPicture() {
    QPixmap picture(40, 53);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    QPainterPath glass;
    glass.moveTo(14.5, 36);
    glass.cubicTo(14.5, 28, 6, 26, 6, 17);
    glass.arcTo(QRectF(6, 3, 28, 28), 180, -180);
    glass.cubicTo(34, 26, 25.5, 28, 25.5, 36);
    glass.closeSubpath();
    painter.setBrush(QColor(255, 236, 96));
    painter.drawPath(glass);
    painter.setBrush(QColor(255, 252, 220));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(11, 9, 7, 9));
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(QColor(160, 160, 168));
    for (int ring = 0; ring < 3; ++ring)
        painter.drawRoundedRect(QRectF(14, 37 + 4 * ring, 12, 4), 1.5, 1.5);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF(17, 49, 6, 3));
    return picture;
}

}  // namespace

CTipDialog::CTipDialog(QSettings& settings, const QString& tipsPath, QWidget* parent)
    : QDialog(parent), mSettings(settings) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    mShowAtStartUp = mSettings.value(kStartUpKey, 0).toInt() == 0;

    mStartUpBox = new QCheckBox(QStringLiteral("&Show Tips at Startup"));
    mNextTipButton = new QPushButton(QStringLiteral("&Next Tip"));
    mCloseButton = new QPushButton(QStringLiteral("&Close"));
    mNextTipButton->setAutoDefault(false);
    mCloseButton->setDefault(true);
    connect(mNextTipButton, &QPushButton::clicked, this, &CTipDialog::nextTip);
    connect(mCloseButton, &QPushButton::clicked, this, &CTipDialog::closeAndRemember);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mStartUpBox);
    buttons->addStretch();
    buttons->addWidget(mNextTipButton);
    buttons->addWidget(mCloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTipArea(), 1);
    layout->addLayout(buttons);

    openTips(tipsPath);
    mNextTipButton->setEnabled(mFile.isOpen());
    showData();
}

CTipDialog::~CTipDialog() {
    if (mFile.isOpen())
        mSettings.setValue(kFilePosKey, mFile.pos());
}

QWidget* CTipDialog::makeTipArea() {
    // The tip area is white inside a black border, the bulb and its caption at the top.
    auto* area = new QFrame;
    area->setFrameShape(QFrame::Box);
    QPalette colours = area->palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    area->setPalette(colours);
    area->setAutoFillBackground(true);
    area->setMinimumSize(360, 200);
    auto* bulb = new QLabel;
    bulb->setPixmap(bulbPicture());
    auto* caption = new QLabel(QStringLiteral("Did you Know..."));
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption->setFixedHeight(bulb->pixmap().height());
    mTipLabel = new QLabel;
    mTipLabel->setWordWrap(true);
    mTipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mTipLabel->setTextFormat(Qt::PlainText);

    auto* heading = new QHBoxLayout;
    heading->addWidget(bulb);
    heading->addWidget(caption, 1);
    auto* layout = new QVBoxLayout(area);
    layout->addLayout(heading);
    layout->addWidget(mTipLabel, 1);
    layout->setContentsMargins(8, 6, 14, 10);
    return area;
}

QString CTipDialog::findTipsFile() {
    const std::optional<std::string> path =
        quorvel::findInFolders("tips.txt", quorvel::dataSearchPath());
    return path ? QString::fromStdString(*path) : QString();
}

QString CTipDialog::fileTimeStamp(const QString& path) {
    const QDateTime time = QFileInfo(path).lastModified();
    if (!time.isValid())
        return {};
    // The C library's textual time, whatever the user's language.
    static constexpr std::array<const char*, 7> kDays{"Mon", "Tue", "Wed", "Thu",
                                                      "Fri", "Sat", "Sun"};
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%s %s %2d %02d:%02d:%02d %d",
                             kDays[static_cast<size_t>(date.dayOfWeek() - 1)],
                             kMonths[static_cast<size_t>(date.month() - 1)], date.day(),
                             clock.hour(), clock.minute(), clock.second(), date.year());
}

void CTipDialog::openTips(const QString& tipsPath) {
    qint64 position = mSettings.value(kFilePosKey, 0).toLongLong();
    mFile.setFileName(tipsPath);
    if (tipsPath.isEmpty() || !mFile.open(QIODevice::ReadOnly)) {
        mTip = missingFileText();
        return;
    }
    const QString stamp = fileTimeStamp(tipsPath);
    if (stamp != mSettings.value(kTimeStampKey).toString()) {
        mSettings.setValue(kTimeStampKey, stamp);
        position = 0;
    }
    if (position < 0 || !mFile.seek(position)) {
        CUserDialogs::instance().tell(parentWidget(), readProblemText());
        return;
    }
    fetchNextTip();
}

bool CTipDialog::readLine(QByteArray& line) {
    std::array<char, kLineBufferBytes> buffer{};
    const qint64 length = mFile.readLine(buffer.data(), kLineBufferBytes);
    if (length <= 0)
        return false;
    line = QByteArray(buffer.data(), length);
    return true;
}

void CTipDialog::fetchNextTip() {
    // One pass over the whole file after going back to its start is enough: a file without a
    // tip line must not keep the search going for ever.
    bool restarted = false;
    QByteArray line;
    for (;;) {
        if (readLine(line)) {
            if (isTip(line))
                break;
            continue;
        }
        if (restarted) {
            mTip = noTipsText();
            return;
        }
        restarted = true;
        if (!mFile.seek(0)) {
            CUserDialogs::instance().tell(this, readProblemText());
            return;
        }
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    mTip = QString::fromUtf8(line);
}

void CTipDialog::nextTip() {
    fetchNextTip();
    showData();
}

void CTipDialog::showData() {
    mTipLabel->setText(mTip);
    mStartUpBox->setChecked(mShowAtStartUp);
}

void CTipDialog::closeAndRemember() {
    mShowAtStartUp = mStartUpBox->isChecked();
    accept();
    mSettings.setValue(kStartUpKey, mShowAtStartUp ? 0 : 1);
}
