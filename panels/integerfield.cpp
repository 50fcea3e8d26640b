#include "panels/integerfield.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace {

// Long enough for any 32-bit number with its sign and some blanks.
constexpr int kMaxTextLength = 16;

}  // namespace

CIntegerField::CIntegerField(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setMaxLength(kMaxTextLength);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

void CIntegerField::setSpinRange(int minimum, int maximum) {
    mMinimum = minimum;
    mMaximum = maximum;
    updateGeometry();
}

QSize CIntegerField::minimumSizeHint() const {
    // The base class knows no values, so it would size the field for none: make room for the
    // longest number of the spin range, which the arrows can reach.
    ensurePolished();
    const qsizetype digits =
        std::max(QString::number(mMinimum).size(), QString::number(mMaximum).size());
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = lineEdit()->textMargins();
    // The line edit's own frame and cursor take a few pixels besides the digits.
    const QSize contents(metrics.horizontalAdvance(QString(digits + 1, QLatin1Char('0'))) +
                             margins.left() + margins.right() + 6,
                         lineEdit()->minimumSizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
}

QSize CIntegerField::sizeHint() const { return minimumSizeHint(); }

std::optional<int> CIntegerField::number() const {
    bool ok = false;
    const int value = text().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

void CIntegerField::showNumber(int value) {
    lineEdit()->setText(QString::number(value));
    mShown = value;
}

bool CIntegerField::isEdited() const { return !mShown || number() != mShown; }

void CIntegerField::markCommitted() { mShown = number(); }

void CIntegerField::stepBy(int steps) {
    // Text that is no number steps from the bottom of the spin range.
    const qint64 low = mMinimum;
    const qint64 high = mMaximum;
    const qint64 from = qBound(low, qint64{number().value_or(mMinimum)}, high);
    const qint64 value = qBound(low, from + steps, high);
    lineEdit()->setText(QString::number(value));
    lineEdit()->selectAll();
}

QValidator::State CIntegerField::validate(QString&, int&) const {
    // The owner judges the text when it commits, with a message that says what is wrong.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled CIntegerField::stepEnabled() const {
    const std::optional<int> value = number();
    if (!value)
        return StepUpEnabled | StepDownEnabled;
    // A value beyond the spin range steps back into it from either arrow.
    StepEnabled enabled = StepNone;
    if (*value != mMaximum)
        enabled |= StepUpEnabled;
    if (*value != mMinimum)
        enabled |= StepDownEnabled;
    return enabled;
}

void CIntegerField::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    emit focusLost(event->reason());
}

void CIntegerField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

bool CIntegerField::event(QEvent* event) {
    // With nothing typed, Undo and Redo belong to the texture, not to the field's text: the
    // window's commands take the keys.
    if (event->type() == QEvent::ShortcutOverride && !isEdited()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    return QAbstractSpinBox::event(event);
}
