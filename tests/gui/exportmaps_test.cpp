#include "tests/gui/guitestsupport.h"

#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/exportmapsdialog.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "engine/pixel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

using namespace Qt::StringLiterals;
using quorvel::MapKind;

class ExportMaps : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        QDir(path({})).mkpath(u"out"_s);
    }
    QString out(const QString& name) const { return path(u"out/"_s + name); }
    QStringList written() const {
        return QDir(path(u"out"_s))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Fills the dialog as a user does: types the base, picks the format, sets the three boxes
    // to `maps` (colour, normal, height), then OK by the Enter key.
    void fill(const QString& base, int formatRow, std::array<bool, 3> maps, bool yDown = false) {
        dialogs.dialogSteps.push_back([=, this](QDialog& shown) {
            auto& dialog = static_cast<CExportMapsDialog&>(shown);
            user::typeInto(dialog.baseEdit(), out(base));
            user::pick(dialog.formatList(), formatRow);
            for (MapKind kind : {MapKind::Colour, MapKind::Normal, MapKind::Height})
                if (dialog.mapBox(kind)->isChecked() != maps[size_t(kind)])
                    user::click(dialog.mapBox(kind));
            if (yDown)
                user::click(dialog.yDownButton());
            user::key(dialog.baseEdit(), Qt::Key_Return);
        });
    }
    // File > Export Maps... by keyboard: Alt+F, then the entry's mnemonic.
    void exportByKeys() {
        user::key(&frame(), Qt::Key_F, Qt::AltModifier);
        auto* menu = frame().menuBar()->actions().first()->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        user::key(menu, Qt::Key_M);
        settle();
    }
    QAction* command() const { return frame().actions().action(quorvel::command::kExportMaps); }
};

TEST_F(ExportMaps, TheChosenMapsAreWrittenAtTheImageSizeUnderOneBaseName) {
    // Base, format row, maps wanted, DirectX, the files expected.
    const std::tuple<QString, int, std::array<bool, 3>, bool, QStringList> rows[] = {
        {u"wall"_s,
         0,
         {true, true, true},
         false,
         {u"wall.png"_s, u"wall_height.png"_s, u"wall_normal.png"_s}},
        {u"floor"_s, 4, {false, true, true}, true, {u"floor_height.ppm"_s, u"floor_normal.ppm"_s}},
        {u"sky"_s, 1, {true, false, false}, false, {u"sky.jpg"_s}},
    };
    const quorvel::TextureParams record = activeDocument()->record();
    std::vector<uint8_t> rgb(3);
    quorvel::renderRow(record, quorvel::Sampling::image(160, 120), 33, 17, 18, rgb);
    for (const auto& [base, format, maps, yDown, files] : rows) {
        SCOPED_TRACE(base.toStdString());
        for (const QString& earlier : written())
            QFile::remove(out(earlier));
        fill(base, format, maps, yDown);
        exportByKeys();
        QStringList sorted = written();
        sorted.sort();
        EXPECT_EQ(sorted, files);
        for (const QString& file : files) {
            EXPECT_TRUE(frame().statusBar()->currentMessage().contains(file));
            const QImage image(out(file));
            ASSERT_EQ(image.size(), QSize(record.imageWidth, record.imageHeight))
                << file.toStdString();
            // A texture without relief has a flat normal map, whatever the convention; a
            // lossless colour map holds exactly the engine's pixels.
            if (file.contains(u"_normal"_s)) {
                EXPECT_EQ(image.pixelColor(17, 33), QColor(128, 128, 255));
            }
            if (file == u"wall.png"_s) {
                EXPECT_EQ(image.pixelColor(17, 33), QColor(rgb[0], rgb[1], rgb[2]));
            }
        }
    }
}

TEST_F(ExportMaps, TheDialogListsTheFilesGreysOkWithoutAMapAndRemembersTheChoices) {
    dialogs.saveChoices = {out(u"stone.tga"_s)};
    dialogs.dialogSteps.push_back([&](QDialog& shown) {
        auto& dialog = static_cast<CExportMapsDialog&>(shown);
        // The texture's title in the folder file dialogs open in, PNG, all three maps.
        EXPECT_EQ(dialog.baseEdit()->text(),
                  QDir(CUserDialogs::dialogFolder()).filePath(u"Quorve1"_s));
        EXPECT_TRUE(dialog.filesLabel()->text().contains(
            u"Quorve1.png, Quorve1_normal.png, Quorve1_height.png"_s));
        for (MapKind kind : {MapKind::Colour, MapKind::Normal, MapKind::Height})
            user::click(dialog.mapBox(kind));
        EXPECT_FALSE(dialog.okButton()->isEnabled());
        EXPECT_FALSE(dialog.fromColourBox()->isEnabled()) << "no normal map, no normal settings";
        user::click(dialog.mapBox(MapKind::Height));
        EXPECT_TRUE(dialog.okButton()->isEnabled());
        user::click(dialog.mapBox(MapKind::Normal));
        // A name chosen with an image extension also chooses the format.
        user::click(dialog.browseButton());
        EXPECT_EQ(dialog.baseEdit()->text(), out(u"stone"_s));
        EXPECT_EQ(dialog.filesLabel()->text().section(u' ', 1, 2),
                  u"stone_normal.tga, stone_height.tga"_s);
        user::click(dialog.fromColourBox());
        user::click(dialog.okButton());
    });
    dialogs.dialogSteps.push_back([&](QDialog& shown) {
        auto& dialog = static_cast<CExportMapsDialog&>(shown);
        EXPECT_EQ(dialog.formatList()->currentText(), u"Targa (.tga)"_s);
        EXPECT_EQ(dialog.choice().kinds, (std::vector{MapKind::Normal, MapKind::Height}));
        EXPECT_TRUE(dialog.fromColourBox()->isChecked());
        user::key(&dialog, Qt::Key_Escape);
    });
    const QStringList files{u"stone_height.tga"_s, u"stone_normal.tga"_s};
    user::choose(&frame(), command());
    EXPECT_EQ(written(), files);
    EXPECT_FALSE(dialogs.fileRequests.at(0).confirmOverwrite) << "asked once, after OK";
    user::choose(&frame(), command());
    EXPECT_EQ(written(), files);
}

TEST_F(ExportMaps, ExistingFilesAreReplacedOnlyAfterOneQuestion) {
    for (const QString& name : {u"t.png"_s, u"t_height.png"_s}) {
        QFile old(out(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        dialogs.answers = {answer};
        fill(u"t"_s, 0, {true, true, true});
        exportByKeys();
        EXPECT_EQ(written().size(), answer == QMessageBox::No ? 2 : 3);
        EXPECT_EQ(QFileInfo(out(u"t.png"_s)).size() == 3, answer == QMessageBox::No);
    }
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(dialogs.questions[0].contains(u"t.png"_s) &&
                dialogs.questions[0].contains(u"t_height.png"_s) &&
                !dialogs.questions[0].contains(u"t_normal.png"_s));
}

TEST_F(ExportMaps, CancelOrAFailureWritesNoneOfTheMaps) {
    // A texture that takes seconds: Cancel always finds the export running.
    changeRecord([](quorvel::TextureParams& record) {
        record.octaves = 30;
        record.imageWidth = 8192;
        record.imageHeight = 5672;
    });
    fill(u"big"_s, 0, {true, true, true});
    whenProgressMoves(
        &frame(), [](QProgressDialog& dialog) { user::click(dialog.findChild<QPushButton*>()); });
    exportByKeys();
    EXPECT_EQ(written(), QStringList());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(frame().statusBar()->currentMessage().contains(u"cancelled"_s));

    // The height map's name is taken by a folder: one message naming it, no map written.
    changeRecord([](quorvel::TextureParams& record) { record.imageWidth = 64; });
    QDir(path(u"out"_s)).mkdir(u"small_height.png"_s);
    fill(u"small"_s, 0, {true, true, true});
    exportByKeys();
    EXPECT_EQ(written(), QStringList{u"small_height.png"_s});
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(u"small_height.png"_s));
}
