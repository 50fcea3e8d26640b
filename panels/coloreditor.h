#pragma once

#include "engine/textureparams.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <cstdint>

// Three vertical sliders (red, green, blue) and a swatch that edit one colour of a record:
// the light colour, the reflection colour or the brilliance. Every press and drag writes the
// colour into the record at once; the fourth colour components are never touched. The
// geometry is fixed in pixels: the slots are columns 2-12, 14-24 and 26-36, the swatch 38-68,
// all rows 5-115; a slider is 0 at the bottom row and 254 at the top.
class CColorEditor : public QWidget {
    Q_OBJECT

public:
    enum class Mode : int16_t { LightColour = 0, Brilliance = 1, ReflectionColour = 2 };

    CColorEditor(Mode mode, quorvel::TextureParams& record, QWidget* parent = nullptr);

    Mode mode() const noexcept { return mMode; }
    // Red, green and blue as the sliders show them, 0 to 255.
    QColor colour() const;

signals:
    // After every write into the record, drags included.
    void changed();
    // After every left release, and when the swatch's chooser closes (it takes the release
    // with it); the Lighting dialog relights its sphere then.
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Part { None = -1, Red = 0, Green = 1, Blue = 2, Swatch = 3 };

    static Part partAt(QPoint point);
    void chooseSwatchColour();
    void writeRecord();

    Mode mMode;
    quorvel::TextureParams& mRecord;
    std::array<int, 3> mChannels{};
    Part mActivePart = Part::None;
    bool mDragging = false;
};
