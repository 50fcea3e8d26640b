#include "tests/gui/guitestsupport.h"

#include "app/quorveldoc.h"
#include "engine/defaults.h"
#include "panels/coloreditor.h"
#include "panels/lightdirectionpicker.h"
#include "panels/lightingdialog.h"
#include "panels/reflectiondialog.h"
#include "panels/spherepreview.h"
#include "tools/spheretable/spheretable.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <cstring>
#include <random>
#include <set>

using Mode = CColorEditor::Mode;

namespace {

constexpr QRgb kGrey = 0xFFC0C0C0;

void press(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(widget, button, Qt::NoModifier, at);
}
void release(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(widget, button, Qt::NoModifier, at);
}

void click(QWidget* widget, QPoint at) {
    press(widget, at);
    release(widget, at);
}

QRgb pixel(QWidget* widget, int x, int y) { return widget->grab().toImage().pixel(x, y); }

int brightness(const QImage& image, QRect area) {
    int sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum;
}

float entryFloat(const std::vector<uint8_t>& table, size_t offset) {
    float value = 0.0f;
    std::memcpy(&value, table.data() + offset, sizeof value);
    return value;
}

const std::vector<uint8_t>& sphereTable() {
    static const std::vector<uint8_t> table = quorvel::makeSphereTable();
    return table;
}

QStringList labelTexts(const QDialog& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

}  // namespace

// Editors and dialogs on a new texture's record; the scripted chooser answers the swatch.
class Lighting : public GuiTest {
protected:
    quorvel::TextureParams record = quorvel::newTexture();
};

TEST_F(Lighting, SliderPressTakesTheRowAndOnlySlotsAndSwatchCount) {
    CColorEditor editor(Mode::LightColour, record);
    editor.show();
    click(&editor, {7, 5});
    EXPECT_EQ(editor.colour(), QColor(254, 255, 255)) << "the top row gives 254, not 255";
    click(&editor, {19, 115});
    click(&editor, {31, 60});
    EXPECT_EQ(editor.colour(), QColor(254, 0, 127));
    EXPECT_EQ(record.lightColour.r, 0.99607849f) << "254 x the single-precision 1/255";
    EXPECT_EQ(record.lightColour.g, 0.0f);

    const quorvel::Colour before = record.lightColour;
    for (const QPoint miss : {QPoint(13, 50), QPoint(25, 50), QPoint(37, 50), QPoint(7, 4),
                              QPoint(7, 116), QPoint(1, 50), QPoint(69, 50)}) {
        click(&editor, miss);
        EXPECT_EQ(editor.colour(), QColor(254, 0, 127)) << miss.x() << "," << miss.y();
    }
    EXPECT_EQ(std::memcmp(&before, &record.lightColour, sizeof before), 0);

    std::set<int> reached;
    for (int y = 5; y <= 115; ++y) {
        click(&editor, {3, y});
        reached.insert(editor.colour().red());
    }
    EXPECT_EQ(reached.size(), 111u);
    EXPECT_EQ(*reached.rbegin(), 254);
    EXPECT_TRUE(reached.count(6) && reached.count(9) && !reached.count(7));
}

TEST_F(Lighting, DragKeepsItsChannelAndStopsAtTheBand) {
    CColorEditor editor(Mode::ReflectionColour, record);
    editor.show();
    press(&editor, {20, 30});
    EXPECT_EQ(editor.colour().green(), 197);
    QTest::mouseMove(&editor, {20, -40});
    EXPECT_EQ(editor.colour().green(), 197) << "above the band the value stays";
    QTest::mouseMove(&editor, {60, 85});
    EXPECT_EQ(editor.colour(), QColor(255, 69, 255)) << "sideways onto the swatch: still green";
    EXPECT_EQ(record.reflectionColour.g, 0.27058825f);
    QTest::mouseMove(&editor, {-30, 115});
    EXPECT_EQ(editor.colour().green(), 0);
    release(&editor, {-30, 115});
    QTest::mousePress(&editor, Qt::RightButton, Qt::NoModifier, {20, 5});
    QTest::mouseMove(&editor, {20, 10});
    EXPECT_EQ(editor.colour().green(), 0) << "no drag after the release, none on the right";
    QTest::mouseRelease(&editor, Qt::RightButton, Qt::NoModifier, {20, 10});
}

TEST_F(Lighting, BytesTravelThroughTheRecordUnchanged) {
    record.lightColour.a = 0.5f;
    EXPECT_EQ(CColorEditor(Mode::LightColour, record).colour(), QColor(255, 255, 255));
    for (int byte = 0; byte < 256; ++byte) {
        CColorEditor editor(Mode::LightColour, record);
        dialogs.colours.push_back(QColor(byte, 255 - byte, byte / 3));
        click(&editor, {50, 50});
        const QColor shown = CColorEditor(Mode::LightColour, record).colour();
        ASSERT_EQ(shown, QColor(byte, 255 - byte, byte / 3)) << byte;
    }
    EXPECT_EQ(record.lightColour.a, 0.5f);
    EXPECT_EQ(record.reflectionColour.r, 1.0f) << "only the editor's own field";
}

TEST_F(Lighting, BrillianceShowsTruncatedAndStoresThroughTheByte) {
    CColorEditor editor(Mode::Brilliance, record);
    EXPECT_EQ(editor.colour(), QColor(254, 254, 254));
    click(&editor, {30, 117});
    EXPECT_EQ(record.brilliance.x, 200.0f) << "a press that hits nothing writes nothing";
    click(&editor, {3, 5});
    EXPECT_EQ(record.brilliance.x, 199.21568f);
    EXPECT_EQ(record.brilliance.y, 199.21568f);
    EXPECT_EQ(record.brilliance.z, 199.21568f);
    EXPECT_EQ(CColorEditor(Mode::Brilliance, record).colour(), QColor(253, 253, 253))
        << "values travel downward on repeated edits";

    record.brilliance = {-5.0f, 1e9f, std::nanf("")};
    EXPECT_EQ(CColorEditor(Mode::Brilliance, record).colour(), QColor(0, 255, 0));
}

TEST_F(Lighting, SwatchTakesTheChosenColourAndCancelStillWritesBack) {
    CColorEditor reflection(Mode::ReflectionColour, record);
    dialogs.colours.push_back(QColor(10, 20, 30));
    click(&reflection, {38, 5});
    EXPECT_EQ(reflection.colour(), QColor(10, 20, 30));
    EXPECT_EQ(record.reflectionColour.b, 0.11764707f);
    dialogs.colours.push_back(QColor());
    click(&reflection, {68, 115});
    EXPECT_EQ(reflection.colour(), QColor(10, 20, 30));

    CColorEditor brilliance(Mode::Brilliance, record);
    dialogs.colours.push_back(QColor());
    click(&brilliance, {50, 50});
    EXPECT_EQ(brilliance.colour(), QColor(254, 254, 254));
    EXPECT_EQ(record.brilliance.y, 199.21568f) << "cancel passes brilliance through its byte";

    for (const QPoint at : {QPoint(50, 50), QPoint(7, 5)}) {
        QTest::mousePress(&brilliance, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(&brilliance, Qt::RightButton, Qt::NoModifier, at);
    }
    EXPECT_EQ(brilliance.colour(), QColor(254, 254, 254)) << "the right button does nothing";
    EXPECT_TRUE(dialogs.colours.empty());
}

TEST_F(Lighting, EditorPaintsBarsFramesAndSwatch) {
    record.lightColour = {128.0f / 255.0f, 0.0f, 1.0f, 0.0f};
    CColorEditor editor(Mode::LightColour, record);
    const QImage image = editor.grab().toImage();
    int redRows = 0;
    for (int y = 0; y < image.height(); ++y)
        redRows += image.pixel(7, y) == qRgb(255, 0, 0);
    EXPECT_EQ(redRows, 55);
    EXPECT_EQ(image.pixel(7, 60), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(7, 59), kGrey);
    EXPECT_EQ(image.pixel(19, 114), kGrey) << "green 0 draws no bar";
    EXPECT_EQ(image.pixel(35, 6), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(36, 60), kGrey) << "the bar leaves the slot's right column";

    const struct {
        QPoint at;
        QRgb colour;
    } frame[] = {
        {{1, 60}, 0xFF404040},  {{2, 60}, 0xFF000000},  {{12, 60}, kGrey},
        {{13, 60}, 0xFF404040}, {{7, 4}, 0xFF404040},   {{7, 5}, 0xFF000000},
        {{7, 115}, kGrey},      {{7, 116}, 0xFFFFFFFF}, {{69, 60}, 0xFFFFFFFF},
        {{68, 60}, kGrey},      {{38, 60}, 0xFF000000}, {{1, 116}, 0xFFFFFFFF},
        {{69, 4}, kGrey},       {{70, 60}, kGrey},
    };
    for (const auto& point : frame)
        EXPECT_EQ(image.pixel(point.at), point.colour) << point.at.x() << "," << point.at.y();
    EXPECT_EQ(image.pixel(50, 60), qRgb(128, 0, 255)) << "the swatch";
}

TEST_F(Lighting, PickerSetsTheDirectionFromThePointer) {
    record.lightDirection = {0.3f, 0.3f, 1.6f};
    CLightDirectionPicker picker(record, sphereTable());
    picker.show();
    ASSERT_EQ(picker.size(), QSize(114, 122));
    click(&picker, {57, 61});
    EXPECT_EQ(record.lightDirection.x, 0.0f);
    EXPECT_EQ(record.lightDirection.y, 0.0f);
    EXPECT_EQ(record.lightDirection.z, 1.6f);

    press(&picker, {0, 1});
    release(&picker, {113, 121});
    EXPECT_EQ(record.lightDirection.x, static_cast<float>(56.0 / 57.0));
    EXPECT_EQ(record.lightDirection.y, static_cast<float>(60.0 / 61.0));
    press(&picker, {0, 30});
    EXPECT_EQ(record.lightDirection.x, -1.0f);
    EXPECT_EQ(record.lightDirection.y, static_cast<float>(-31.0 / 61.0));

    QTest::mouseMove(&picker, {-57, 183});
    EXPECT_EQ(record.lightDirection.x, -2.0f);
    EXPECT_EQ(record.lightDirection.y, 2.0f);
    release(&picker, {300, -61});
    EXPECT_EQ(record.lightDirection.x, static_cast<float>(243.0 / 57.0));
    EXPECT_EQ(record.lightDirection.y, -2.0f);
    EXPECT_EQ(record.lightDirection.z, 1.6f);
    QTest::mouseMove(&picker, {57, 61});
    EXPECT_EQ(record.lightDirection.y, -2.0f) << "no drag after the release";
}

TEST_F(Lighting, PickerShowsTheSphereAndMovesOnlyTheMarkerWhileDragging) {
    record.lightDirection = {0.0f, 0.0f, 1.0f};
    CLightDirectionPicker picker(record, sphereTable());
    picker.show();
    const QImage sphere = quorvel::renderSpherePreview(sphereTable(), record);
    const QImage start = picker.grab().toImage();
    EXPECT_EQ(start.pixel(19 + 10, 24 + 20), sphere.pixel(10, 20));
    EXPECT_EQ(start.pixel(19 + 70, 24 + 37), sphere.pixel(70, 37));
    EXPECT_EQ(start.pixel(57, 61), sphere.pixel(38, 37) ^ 0x00FFFFFF) << "the sun's centre";
    EXPECT_EQ(start.pixel(1, 60), 0xFF404040u);
    EXPECT_EQ(start.pixel(113, 60), 0xFFFFFFFFu);
    EXPECT_EQ(start.pixel(2, 60), 0xFF000000u);

    press(&picker, {0, 61});
    const QImage atLeft = picker.grab().toImage();
    QTest::mouseMove(&picker, {100, 10});
    EXPECT_NE(picker.grab().toImage(), atLeft);
    QTest::mouseMove(&picker, {0, 61});
    EXPECT_EQ(picker.grab().toImage(), atLeft) << "the marker drawn twice restores the picture";
    EXPECT_EQ(atLeft.pixel(89, 61), start.pixel(89, 61)) << "no new lighting during a drag";
    EXPECT_EQ(atLeft.pixel(57, 61), sphere.pixel(38, 37)) << "the old marker is gone";

    release(&picker, {0, 61});
    const QImage lit = picker.grab().toImage();
    EXPECT_LT(qGray(lit.pixel(89, 61)), qGray(start.pixel(89, 61))) << "lit from the left now";
    EXPECT_GT(qGray(lit.pixel(24, 71)), qGray(start.pixel(24, 71)));
}

TEST_F(Lighting, SpherePreviewIsLitFromTheLightsSide) {
    record.lightDirection = {-1.0f, -1.0f, 1.6f};
    QImage image = quorvel::renderSpherePreview(sphereTable(), record);
    ASSERT_EQ(image.size(), QSize(75, 75));
    EXPECT_GT(brightness(image, {0, 0, 37, 37}), brightness(image, {38, 38, 37, 37}));
    for (const QPoint corner : {QPoint(0, 0), QPoint(74, 0), QPoint(0, 74), QPoint(74, 74)})
        EXPECT_EQ(image.pixel(corner), kGrey);

    record.lightDirection = {1.0f, 0.0f, 0.1f};
    image = quorvel::renderSpherePreview(sphereTable(), record);
    EXPECT_GT(brightness(image, {38, 0, 37, 75}), brightness(image, {0, 0, 37, 75}));

    record.lightDirection = {0.0f, 0.0f, 1.0f};
    record.lightColour = {1.0f, 0.5f, 0.0f, 0.0f};
    image = quorvel::renderSpherePreview(sphereTable(), record);
    EXPECT_EQ(qBlue(image.pixel(37, 37)), 0);
    EXPECT_GT(qRed(image.pixel(37, 37)), qGreen(image.pixel(37, 37)));
    // Column i mirrors column 75 - i, row j mirrors row 74 - j.
    for (int y = 0; y < 75; ++y) {
        for (int x = 1; x < 75; ++x) {
            ASSERT_EQ(image.pixel(x, y), image.pixel(75 - x, y)) << x << "," << y;
            ASSERT_EQ(image.pixel(x, y), image.pixel(x, 74 - y)) << x << "," << y;
        }
    }
}

TEST(SphereTable, HoldsAQuarterOfTheUnitSphereAtDepthTen) {
    const std::vector<uint8_t>& table = sphereTable();
    ASSERT_EQ(table.size(), 244376u);
    EXPECT_EQ(quorvel::kSphereTableBytes, 244376u);
    size_t offset = 0;
    size_t entries = 0;
    for (int row = 75; row >= 0; --row) {
        ASSERT_LE(offset + 2, table.size());
        const int first = table[offset] | (table[offset + 1] << 8);
        offset += 2;
        ASSERT_LE(first, 76) << row;
        for (int column = first; column <= 75; ++column, offset += 53, ++entries) {
            ASSERT_LE(offset + 53, table.size());
            const float t0 = entryFloat(table, offset);
            const float t1 = entryFloat(table, offset + 4);
            const float t2 = entryFloat(table, offset + 8);
            const double radius = (t0 - 10.0) * (t0 - 10.0) + t1 * t1 + t2 * t2;
            ASSERT_NEAR(radius, 1.0, 1e-5) << column << "," << row;
            ASSERT_LE(t1, 0.0f) << "left of the centre";
            ASSERT_LE(t2, 0.0f) << "above the centre";
            ASSERT_EQ(t1 == 0.0f, column == 75);
            ASSERT_EQ(t2 == 0.0f, row == 0);
            for (size_t i = 12; i < 53; ++i) {
                ASSERT_EQ(table[offset + i], 0) << column << "," << row;
            }
        }
        if (row == 75) {
            EXPECT_EQ(first, 63);
        }
        if (row == 0) {
            EXPECT_EQ(first, 0) << "the middle row is 76 points wide";
        }
    }
    EXPECT_EQ(entries, 4608u);
    EXPECT_EQ(offset, table.size());
}

TEST_F(Lighting, BrokenTablesStopTheWalkInsideTheTable) {
    const QImage whole = quorvel::renderSpherePreview(sphereTable(), record);
    // Each table sits in a buffer of exactly its size, so a read past its end is a real overrun.
    const std::vector<uint8_t> cut(sphereTable().begin(), sphereTable().end() - 1000);
    QImage image = quorvel::renderSpherePreview(cut, record);
    EXPECT_EQ(image.pixel(37, 37), kGrey) << "the last block, the middle row, is missing";
    EXPECT_EQ(image.pixel(37, 36), whole.pixel(37, 36));

    image = quorvel::renderSpherePreview({}, record);
    EXPECT_EQ(image.pixel(37, 37), kGrey);
    std::vector<uint8_t> huge(sphereTable());
    huge[0] = 0xFF;
    huge[1] = 0xFF;
    image = quorvel::renderSpherePreview(huge, record);
    EXPECT_EQ(image.pixel(37, 37), kGrey) << "a first column beyond 76 ends the walk";

    const std::vector<uint8_t> zeros(quorvel::kSphereTableBytes, 0);
    image = quorvel::renderSpherePreview(zeros, record);
    EXPECT_NE(image.pixel(37, 0), kGrey) << "a zero table still draws its first rows";

    std::mt19937 random(7);
    for (size_t size : {1u, 2u, 55u, 4030u, 100000u, 244376u}) {
        std::vector<uint8_t> garbage(size);
        for (uint8_t& byte : garbage)
            byte = static_cast<uint8_t>(random());
        if (size > 1)
            garbage[1] = 0;
        image = quorvel::renderSpherePreview(garbage, record);
        EXPECT_EQ(image.size(), QSize(75, 75));
        CLightDirectionPicker picker(record, garbage);
        EXPECT_EQ(picker.grab().size(), QSize(114, 122));
    }
}

TEST_F(Lighting, LightingDialogRepaintsTheSphereAfterAColourEdit) {
    record.lightDirection = {0.0f, 0.0f, 1.0f};
    CLightingDialog dialog(record, sphereTable());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lighting Properties  "));
    const QStringList labels = labelTexts(dialog);
    EXPECT_TRUE(labels.contains(QStringLiteral("Direction :"))) << labels.join(u'|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Color :")));
    EXPECT_EQ(dialog.colourEditor()->mode(), Mode::LightColour);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(buttons->button(QDialogButtonBox::Ok)->isDefault());

    const QPoint lit(19 + 10, 24 + 20);
    ASSERT_GT(qRed(pixel(dialog.picker(), lit.x(), lit.y())), 0);
    press(dialog.colourEditor(), {7, 115});
    EXPECT_EQ(record.lightColour.r, 0.0f);
    EXPECT_GT(qRed(pixel(dialog.picker(), lit.x(), lit.y())), 0) << "not before the release";
    release(dialog.colourEditor(), {7, 115});
    EXPECT_EQ(qRed(pixel(dialog.picker(), lit.x(), lit.y())), 0) << "no red light, no red";
}

TEST_F(Lighting, SwatchChoiceRelightsTheSphereWithoutARelease) {
    record.lightDirection = {0.0f, 0.0f, 1.0f};
    CLightingDialog dialog(record, sphereTable());
    dialog.show();
    const QPoint lit(19 + 10, 24 + 20);
    ASSERT_GT(qGreen(pixel(dialog.picker(), lit.x(), lit.y())), 0);
    // The chooser keeps the release for itself; the press alone must relight the sphere.
    dialogs.colours.push_back(QColor(255, 0, 0));
    press(dialog.colourEditor(), {50, 60});
    EXPECT_EQ(record.lightColour.g, 0.0f);
    EXPECT_EQ(qGreen(pixel(dialog.picker(), lit.x(), lit.y())), 0);
}

TEST_F(Lighting, AMoveAfterALostReleaseChangesNothing) {
    CColorEditor editor(Mode::LightColour, record);
    editor.show();
    press(&editor, {7, 60});
    const quorvel::Colour after = record.lightColour;
    // A second press outside every part, its release never seen, then a drag.
    press(&editor, {70, 2});
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 20), QPointF(7, 20), QPointF(7, 20),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &move);
    EXPECT_EQ(record.lightColour.r, after.r);
    EXPECT_EQ(editor.colour().red(), 127);
}

TEST_F(Lighting, ReflectionDialogShowsBothEditors) {
    record.reflectionColour = {0.2f, 0.4f, 0.6f, 0.0f};
    CReflectionDialog dialog(record);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Reflection Parameters"));
    const QStringList labels = labelTexts(dialog);
    EXPECT_TRUE(labels.contains(QStringLiteral("Color :")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Brilliance :")));
    EXPECT_EQ(dialog.colourEditor()->mode(), Mode::ReflectionColour);
    EXPECT_EQ(dialog.colourEditor()->colour(), QColor(51, 102, 153));
    EXPECT_EQ(dialog.brillianceEditor()->mode(), Mode::Brilliance);
    EXPECT_EQ(dialog.brillianceEditor()->colour(), QColor(254, 254, 254));
}

TEST_F(Lighting, OkAndCancelCloseWithTheEditsKept) {
    start();
    quorvel::TextureParams& current = activeDocument()->current();
    for (const QDialogButtonBox::StandardButton choice :
         {QDialogButtonBox::Cancel, QDialogButtonBox::Ok}) {
        current.lightColour.r = 1.0f;
        current.lightDirection = {1.0f, 1.0f, 1.6f};
        CLightingDialog lighting(current, app->sphereTable());
        dialogs.dialogSteps.push_back([choice](QDialog& dialog) {
            auto& opened = static_cast<CLightingDialog&>(dialog);
            click(opened.colourEditor(), {7, 115});
            click(opened.picker(), {57, 61});
            dialog.findChild<QDialogButtonBox*>()->button(choice)->click();
            return dialog.result();
        });
        const int result = CUserDialogs::instance().runDialog(lighting);
        EXPECT_EQ(result, choice == QDialogButtonBox::Ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(current.lightColour.r, 0.0f);
        EXPECT_EQ(current.lightDirection.x, 0.0f);
        EXPECT_EQ(current.lightDirection.z, 1.6f);
        EXPECT_FALSE(activeDocument()->isModified()) << "the command block marks it, not these";

        current.brilliance = {200.0f, 200.0f, 200.0f};
        CReflectionDialog reflection(current);
        dialogs.dialogSteps.push_back([choice](QDialog& dialog) {
            CColorEditor* editor = static_cast<CReflectionDialog&>(dialog).brillianceEditor();
            click(editor, {31, 115});
            dialog.findChild<QDialogButtonBox*>()->button(choice)->click();
            return dialog.result();
        });
        CUserDialogs::instance().runDialog(reflection);
        EXPECT_EQ(current.brilliance.x, 199.21568f);
        EXPECT_EQ(current.brilliance.z, 0.0f);
    }
}
