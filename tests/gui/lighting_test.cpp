#include "tests/gui/guitestsupport.h"

#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "engine/defaults.h"
#include "panels/coloreditor.h"
#include "panels/commandblock.h"
#include "panels/lightdirectionpicker.h"
#include "panels/lightingdialog.h"
#include "panels/promptbutton.h"
#include "panels/reflectiondialog.h"
#include "panels/spherepreview.h"
#include "tools/spheretable/spheretable.h"

#include <QDialogButtonBox>
#include <QUndoStack>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstring>

using Mode = CColorEditor::Mode;

namespace {

constexpr QRgb kGrey = 0xFFC0C0C0;

const std::vector<uint8_t>& sphereTable() {
    static const std::vector<uint8_t> table = quorvel::makeSphereTable();
    return table;
}

QRgb pixel(QWidget* widget, QPoint at) { return widget->grab().toImage().pixel(at); }

// The user's hand: Click, Press, Move, Release; in lower case with the right button.
void act(QWidget* widget, char what, QPoint at) {
    switch (what) {
    case 'C': user::click(widget, at); break;
    case 'P': user::press(widget, at); break;
    case 'M': user::move(widget, at); break;
    case 'R': user::release(widget, at); break;
    case 'c': user::click(widget, at, Qt::RightButton); break;
    case 'p': user::press(widget, at, Qt::RightButton); break;
    case 'r': user::release(widget, at, Qt::RightButton); break;
    }
}

}  // namespace

class Lighting : public GuiTest {
protected:
    static void show(QWidget& widget) {
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
    QColor shownFor(Mode mode) { return CColorEditor(mode, record).colour(); }
    quorvel::TextureParams record = quorvel::newTexture();
};

TEST_F(Lighting, EditorsTakeTheRowPressedOrDraggedWithinTheBandOrTheSwatchsChoice) {
    CColorEditor editor(Mode::ReflectionColour, record);
    show(editor);
    // clang-format off
    const std::tuple<char, QPoint, QRgb> steps[] = {
        {'C', {7, 5}, 0xfeffff},  // the top row gives 254, not 255
        {'C', {19, 115}, 0xfe00ff}, {'C', {31, 60}, 0xfe007f},
        // Beside the slots and the swatch, above and below the band, the right button: nothing.
        {'C', {13, 50}, 0xfe007f}, {'C', {25, 50}, 0xfe007f}, {'C', {37, 50}, 0xfe007f},
        {'C', {7, 4}, 0xfe007f}, {'C', {7, 116}, 0xfe007f}, {'C', {1, 50}, 0xfe007f},
        {'C', {69, 50}, 0xfe007f}, {'c', {19, 5}, 0xfe007f},
        // A drag keeps its channel wherever the pointer goes, and its value outside the band.
        {'P', {20, 30}, 0xfec57f}, {'M', {20, -40}, 0xfec57f}, {'M', {60, 85}, 0xfe457f},
        {'M', {-30, 115}, 0xfe007f}, {'R', {-30, 115}, 0xfe007f}, {'M', {20, 10}, 0xfe007f},
        // A press outside every part, its slider's release lost, starts no drag.
        {'P', {7, 60}, 0x7f007f}, {'P', {70, 2}, 0x7f007f}, {'M', {7, 20}, 0x7f007f},
        {'R', {7, 20}, 0x7f007f}};
    // clang-format on
    for (const auto& [what, at, shown] : steps) {
        act(&editor, what, at);
        EXPECT_EQ(editor.colour(), QColor(shown)) << what << at.x() << "," << at.y();
        EXPECT_EQ(shownFor(Mode::ReflectionColour), QColor(shown)) << "the record holds it at once";
    }
    EXPECT_EQ(record.reflectionColour.r, 0.49803925f) << "127 x the single-precision 1/255";
    // Bars of 127 rise 54 rows from the bottom, green 0 draws none; sunken frames; the swatch.
    const QImage image = editor.grab().toImage();
    const int points[][2] = {{7, 61}, {7, 60},  {7, 114}, {19, 114}, {31, 61}, {36, 61}, {1, 60},
                             {2, 60}, {12, 60}, {13, 60}, {7, 116},  {69, 60}, {38, 60}, {50, 60}};
    QStringList shown;
    for (const auto& [x, y] : points)
        shown << QColor(image.pixel(x, y)).name().mid(1);
    EXPECT_EQ(shown.join(u' '), QStringLiteral("ff0000 c0c0c0 ff0000 c0c0c0 0000ff c0c0c0 404040 "
                                               "000000 c0c0c0 404040 ffffff ffffff 000000 7f007f"));

    // The swatch's chosen bytes and brilliance come back unchanged, even from a cancelled chooser.
    record.lightColour.a = 0.5f;
    CColorEditor light(Mode::LightColour, record);
    show(light);
    for (int byte = 0; byte < 256; ++byte) {
        dialogs.colours.push_back(QColor(byte, 255 - byte, byte / 3));
        user::click(&light, {50, 50});
        ASSERT_EQ(shownFor(Mode::LightColour), QColor(byte, 255 - byte, byte / 3)) << byte;
    }
    dialogs.colours.push_back(QColor());
    user::click(&light, {68, 115});
    EXPECT_EQ(std::tuple(light.colour(), record.lightColour.a),
              std::tuple(QColor(255, 0, 85), 0.5f));
    CColorEditor brilliance(Mode::Brilliance, record);
    show(brilliance);
    user::click(&brilliance, {30, 117});
    EXPECT_EQ(record.brilliance.x, 200.0f) << "a press that hits nothing writes nothing";
    dialogs.colours.push_back(QColor());
    user::click(&brilliance, {50, 50});
    user::click(&brilliance, {50, 50}, Qt::RightButton);
    // 200 shows as 254 and a cancelled chooser writes that back: it travels down on each edit.
    EXPECT_EQ(std::tuple(record.brilliance.y, shownFor(Mode::Brilliance)),
              std::tuple(199.21568f, QColor(253, 253, 253)));
    record.brilliance = {-5.0f, 1e9f, std::nanf("")};
    EXPECT_EQ(shownFor(Mode::Brilliance), QColor(0, 255, 0));
}

TEST_F(Lighting, PickerShowsTheMirroredSphereTakesTheDirectionAndRelightsOnTheRelease) {
    record.lightDirection = {0.0f, 0.0f, 1.0f};
    CLightDirectionPicker picker(record, sphereTable());
    show(picker);
    const QImage sphere = quorvel::renderSpherePreview(sphereTable(), record);
    EXPECT_EQ(std::tuple(sphere.pixel(0, 0), sphere.pixel(74, 74)), std::tuple(kGrey, kGrey));
    // Column i mirrors column 75 - i, row j mirrors row 74 - j.
    for (int y = 0; y < 75; ++y)
        for (int x = 1; x < 75; ++x)
            ASSERT_TRUE(sphere.pixel(x, y) == sphere.pixel(75 - x, y) &&
                        sphere.pixel(x, y) == sphere.pixel(x, 74 - y))
                << x << "," << y;
    const QImage start = picker.grab().toImage();
    EXPECT_EQ(start.pixel(57, 61), sphere.pixel(38, 37) ^ 0x00FFFFFF) << "the sun's centre";
    user::press(&picker, {0, 61});
    const QImage atLeft = picker.grab().toImage();
    user::move(&picker, {100, 10});
    EXPECT_NE(picker.grab().toImage(), atLeft);
    user::move(&picker, {0, 61});
    EXPECT_EQ(picker.grab().toImage(), atLeft) << "the marker drawn twice restores the picture";
    EXPECT_EQ(atLeft.pixel(89, 61), start.pixel(89, 61)) << "no new lighting during a drag";
    EXPECT_EQ(atLeft.pixel(57, 61), sphere.pixel(38, 37)) << "the old marker is gone";
    user::release(&picker, {0, 61});
    const QImage relit = picker.grab().toImage();
    EXPECT_LT(qGray(relit.pixel(89, 61)), qGray(start.pixel(89, 61))) << "lit from the left now";
    EXPECT_GT(qGray(relit.pixel(24, 71)), qGray(start.pixel(24, 71)));
    // clang-format off
    const std::tuple<char, QPoint, float, float> steps[] = {
        {'C', {57, 61}, 0.0f, 0.0f}, {'P', {0, 1}, -1.0f, float(-60.0 / 61.0)},
        {'R', {113, 121}, float(56.0 / 57.0), float(60.0 / 61.0)},
        {'P', {0, 30}, -1.0f, float(-31.0 / 61.0)},
        {'M', {-57, 183}, -2.0f, 2.0f},  // outside the window: beyond -1 to 1
        {'R', {300, -61}, float(243.0 / 57.0), -2.0f},  // no drag after the release:
        {'p', {57, 61}, float(243.0 / 57.0), -2.0f}, {'M', {20, 20}, float(243.0 / 57.0), -2.0f},
        {'r', {20, 20}, float(243.0 / 57.0), -2.0f}};
    // clang-format on
    for (const auto& [what, at, x, y] : steps) {
        act(&picker, what, at);
        const quorvel::Vec3& direction = record.lightDirection;
        EXPECT_EQ(std::tuple(direction.x, direction.y, direction.z), std::tuple(x, y, 1.0f))
            << what << at.x() << "," << at.y();
    }
    // Lit from above left; no data, a first column beyond the grid, garbage: grey, no overrun.
    record.lightDirection = {-1.0f, -1.0f, 1.6f};
    const QImage lit = quorvel::renderSpherePreview(sphereTable(), record);
    EXPECT_GT(qGray(lit.pixel(20, 20)), qGray(lit.pixel(54, 54)));
    std::vector<uint8_t> huge(sphereTable());
    huge[0] = huge[1] = 0xFF;
    EXPECT_EQ(std::tuple(quorvel::renderSpherePreview({}, record).pixel(37, 37),
                         quorvel::renderSpherePreview(huge, record).pixel(37, 37)),
              std::tuple(kGrey, kGrey));
    for (size_t i = 0; i < huge.size(); ++i)  // a first row of 76 entries, then anything
        huge[i] = uint8_t(i < 2 ? 0 : i * 2654435761u >> 24);
    EXPECT_EQ(CLightDirectionPicker(record, huge).grab().size(), QSize(114, 122));
}

// Every edit goes into the record at once; OK (or Return) marks the texture changed, Cancel not.
class Dialogs : public GuiTest, public testing::WithParamInterface<const char*> {};

TEST_P(Dialogs, OkKeepsTheEditsAsOneCommandAndCancelPutsBackWhatWasThere) {
    const bool lighting = QByteArray(GetParam()).startsWith("Lighting");
    const bool ok = QByteArray(GetParam()).endsWith("Ok");
    start();
    changeRecord([](quorvel::TextureParams& record) {
        record.reflectionColour = {0.2f, 0.4f, 0.6f, 0.0f};
    });
    const quorvel::TextureParams& record = activeDocument()->record();
    const QByteArray before = recordBytes(record);
    dialogs.dialogSteps.push_back([&](QDialog& dialog) {
        if (auto* lights = qobject_cast<CLightingDialog*>(&dialog)) {
            CLightDirectionPicker* picker = lights->picker();
            const QPoint lit(19 + 10, 24 + 20);
            user::click(picker, {0, 61});
            EXPECT_GT(qRed(pixel(picker, lit)), 0);
            user::press(lights->colourEditor(), {7, 115});
            EXPECT_GT(qRed(pixel(picker, lit)), 0) << "not relit before the release";
            user::release(lights->colourEditor(), {7, 115});
            EXPECT_EQ(qRed(pixel(picker, lit)), 0) << "no red light, no red";
            // The chooser keeps the release for itself; the press alone relights the sphere.
            dialogs.colours.push_back(QColor(0, 0, 255));
            user::press(lights->colourEditor(), {50, 60});
            EXPECT_EQ(qGreen(pixel(picker, lit)), 0);
            user::release(lights->colourEditor(), {50, 60});
        } else if (auto* reflection = qobject_cast<CReflectionDialog*>(&dialog)) {
            EXPECT_EQ(reflection->colourEditor()->colour(), QColor(51, 102, 153));
            user::click(reflection->brillianceEditor(), {31, 115});
        }
        if (ok && lighting)
            user::key(&dialog, Qt::Key_Return);
        else
            user::click(dialog.findChild<QDialogButtonBox*>()->button(
                ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
    });
    CCommandBlock* block = frame().commandBlock();
    user::click(lighting ? block->lightingButton() : block->reflectionButton());
    EXPECT_TRUE(dialogs.dialogSteps.empty());
    EXPECT_EQ(activeDocument()->isModified(), ok);
    EXPECT_EQ(activeDocument()->undoStack()->count(), ok ? 1 : 0);
    if (!ok) {
        EXPECT_EQ(recordBytes(record), before);
        return;
    }
    EXPECT_EQ(lighting ? std::tuple(record.lightColour.g, record.lightDirection.x, 0.0f)
                       : std::tuple(record.brilliance.x, record.brilliance.y, record.brilliance.z),
              lighting ? std::tuple(0.0f, -1.0f, 0.0f) : std::tuple(199.21568f, 199.21568f, 0.0f));
}

INSTANTIATE_TEST_SUITE_P(ClosedBy, Dialogs,
                         testing::Values("LightingCancel", "LightingOk", "ReflectionCancel",
                                         "ReflectionOk"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return info.param;
                         });

TEST(SphereTable, HoldsAQuarterOfTheUnitSphereAtDepthTen) {
    const std::vector<uint8_t>& table = sphereTable();
    ASSERT_EQ(table.size(), quorvel::kSphereTableBytes);
    const auto at = [&table](size_t offset) {
        float value = 0.0f;
        std::memcpy(&value, table.data() + offset, sizeof value);
        return value;
    };
    // Rows 75 to 0, each its first column (two bytes) and 53-byte entries to column 75: a point
    // on the unit sphere centred at depth 10, up and to the left of the centre, then zeros.
    for (size_t offset = 0, row = 76; row-- > 0;) {
        const int first = table[offset] | (table[offset + 1] << 8);
        offset += 2;
        ASSERT_LE(first, 76);
        for (int column = first; column <= 75; ++column, offset += 53) {
            ASSERT_LE(offset + 53, table.size());
            const float x = at(offset) - 10.0f, y = at(offset + 4), z = at(offset + 8);
            ASSERT_NEAR(x * x + y * y + z * z, 1.0, 1e-5) << column << "," << row;
            ASSERT_TRUE(y <= 0.0f && z <= 0.0f && (y == 0.0f) == (column == 75));
            ASSERT_EQ((z == 0.0f), (row == 0));
            ASSERT_EQ(std::count(&table[offset + 12], &table[offset + 53], 0), 41);
        }
    }
}
