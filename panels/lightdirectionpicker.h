#pragma once

#include "engine/textureparams.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <span>

// A grey sphere lit with the record's lighting and a sun marker joined to the centre by a line.
// A left press or drag sets the x and y of the record's light direction from the pointer
// ((x - w/2) / (w/2), likewise for y; not limited, so a drag outside the window gives values
// beyond -1 to 1); z is never changed. During a drag only the marker moves, drawn by
// inversion; the sphere is lit anew on the release and on refresh().
class CLightDirectionPicker : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize kSize{114, 122};

    CLightDirectionPicker(quorvel::TextureParams& record, std::span<const uint8_t> sphereTable,
                          QWidget* parent = nullptr);

    // Lights the sphere again from the record (after a colour edit) and repaints.
    void refresh();

signals:
    // The direction changed: on a press and at every step of a drag.
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void renderSphere();
    void setDirection(QPoint point);
    // Inverts the marker and its line at the record's direction; twice restores the picture.
    void toggleMarker();
    QPoint markerPosition() const;
    void invertLine(QPoint from, QPoint to);
    void invertPixel(int x, int y);
    void moveMarker(QPoint point);

    quorvel::TextureParams& mRecord;
    std::span<const uint8_t> mSphereTable;
    QImage mSun;
    QImage mPicture;
    bool mDragging = false;
};
