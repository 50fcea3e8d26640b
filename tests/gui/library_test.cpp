#include "tests/gui/guitestsupport.h"

#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "engine/pixel.h"
#include "files/texturedocument.h"
#include "library/librarybar.h"
#include "library/librarystrip.h"
#include "panels/promptbutton.h"

#include <QScrollBar>
#include <QStatusBar>
#include <QToolTip>

using namespace Qt::StringLiterals;
using quorvel::MaterialType;

namespace {

constexpr int kSlot = CLibraryStrip::kSlotWidth;

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

quorvel::TextureParams texture(MaterialType material) {
    return quorvel::copyTexture(quorvel::materialDefaults(static_cast<int>(material)));
}

// The thumbnail the engine gives for `record`, pixel for pixel.
QImage engineThumbnail(quorvel::TextureParams record) {
    quorvel::applyRenderWrites(record);
    std::vector<uint8_t> rgb(3 * 50 * 39);
    for (int y = 0; y < 39; ++y)
        quorvel::renderRow(record, quorvel::Sampling::thumbnail(), y,
                           std::span(rgb).subspan(size_t(150 * y), 150));
    return QImage(rgb.data(), 50, 39, 150, QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

// A point in slot k, in the middle row of its thumbnail and clear of the bevel lines.
QPoint inSlot(int k) { return {kSlot * k + 10, 20}; }

}  // namespace

// The program with its library emptied of the samples the data folders hold.
class Library : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
        bar()->setEntries({});
    }
    CLibraryBar* bar() const { return frame().libraryBar(); }
    CLibraryStrip* strip() const { return bar()->strip(); }
    QWidget* thumbnails() const { return strip()->viewport(); }
    QColor shown(QPoint at) const { return thumbnails()->grab().toImage().pixelColor(at); }
    // Where pixel (x, y) of the thumbnail in slot k is shown.
    QPoint inThumbnail(int k, int x = 25, int y = 19) const {
        return {kSlot * k + 2 + x, thumbnails()->height() - 41 + y};
    }
    QString write(const QString& name, MaterialType material = MaterialType::Marble) const {
        EXPECT_TRUE(quorvel::writeTextureFile(local(path(name)), texture(material)).ok());
        return path(name);
    }
    void add(const QStringList& files) {
        dialogs.openChoices.push_back(files);
        user::click(bar()->addButton());
    }
    void load(const QString& name, const std::vector<quorvel::LibraryFileEntry>& entries = {}) {
        EXPECT_TRUE(entries.empty() || quorvel::writeLibraryFile(local(path(name)), entries).ok());
        dialogs.openChoices.push_back({path(name)});
        user::click(bar()->loadButton());
    }
    QStringList names() const {
        QStringList list;
        for (const auto& e : bar()->entries())
            list.append(QString::fromStdString(e.name));
        return list;
    }
    // The arrow keys scroll the strip once it has the focus.
    void scroll(int steps) const {
        for (int i = 0; i < std::abs(steps); ++i)
            user::key(thumbnails(), steps > 0 ? Qt::Key_Right : Qt::Key_Left);
    }
};

TEST_F(Library, ClicksSelectTheThumbnailUnderThePointerAndScrollingStaysInTheLibrary) {
    user::doubleClick(thumbnails(), inSlot(0));  // an empty strip has nothing to open
    EXPECT_EQ(app->documents().size(), 1);
    bar()->setEntries(
        std::vector<quorvel::LibraryFileEntry>(6, {"\\m.qvl", local(write(u"m.qvl"_s))}));
    ASSERT_GT(thumbnails()->width(), 6 * kSlot);
    user::click(thumbnails(), inSlot(0));
    scroll(2);
    user::click(thumbnails(), inSlot(2));
    EXPECT_EQ(strip()->selection(), 4);
    EXPECT_EQ(strip()->firstShown(), 2);
    // The selected slot's bevel is lit.
    EXPECT_EQ(shown({2 * kSlot, 20}), QColor(0, 0, 255));
    user::click(thumbnails(), inSlot(4));  // past the last entry
    user::click(thumbnails(), inSlot(0), Qt::RightButton);
    EXPECT_EQ(strip()->selection(), 4);
    // The last entry is as far as the strip goes; the selection is then out of view.
    scroll(9);
    EXPECT_EQ(strip()->firstShown(), 5);
    EXPECT_EQ(shown({0, 20}), QColor(64, 64, 64));
    EXPECT_EQ(shown(inThumbnail(1)), QColor(Qt::black));
    scroll(-9);
    QScrollBar* bar = strip()->horizontalScrollBar();
    user::click(bar, {bar->width() / 2, bar->height() / 2});  // beside the thumb: no page steps
    EXPECT_EQ(strip()->firstShown(), 0);
}

TEST_F(Library, AddAndDeleteWorkAroundTheSelectionAndRefusalsAreSaid) {
    for (CPromptButton* button : bar()->findChildren<CPromptButton*>()) {
        user::move(button, user::kCentre);
        EXPECT_EQ(frame().statusBar()->currentMessage(), button->prompt());
    }
    ASSERT_TRUE(QDir().mkpath(path(QString(70, u'x'))));
    const QString tooLong = write(QString(70, u'x') + u"/long.qvl"_s);
    const QString broken = path(u"broken.qvl"_s);
    ASSERT_TRUE(QFile(broken).open(QIODevice::WriteOnly));
    add({write(u"a.qvl"_s)});
    add({write(u"b.qvl"_s, MaterialType::Wood), tooLong, broken, write(u"c.qvl"_s),
         write(u"d.qvl"_s)});
    add({});  // cancelled
    EXPECT_TRUE(dialogs.fileRequests[0].severalFiles);
    EXPECT_EQ(names(), (QStringList{u"\\a.qvl"_s, u"\\b.qvl"_s, u"\\c.qvl"_s, u"\\d.qvl"_s}));
    EXPECT_EQ(bar()->entries().back().path, local(path(u"d.qvl"_s)));
    EXPECT_EQ(strip()->entry(1).record.material, int8_t(MaterialType::Wood));
    EXPECT_EQ(strip()->selection(), 3);
    EXPECT_EQ(strip()->firstShown(), 3);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(tooLong) && dialogs.questions[0].contains(broken));
    // Delete keeps the index, or steps back from the end.
    user::click(bar()->deleteButton());
    EXPECT_EQ(strip()->selection(), 2);
    user::click(thumbnails(), inSlot(0));
    scroll(-2);
    user::click(thumbnails(), inSlot(1));
    user::click(bar()->deleteButton());
    EXPECT_EQ(names(), (QStringList{u"\\a.qvl"_s, u"\\c.qvl"_s}));
    EXPECT_EQ(strip()->selection(), 1);
    for (int i = 0; i < 3; ++i)
        user::click(bar()->deleteButton());
    EXPECT_EQ(strip()->count(), 0);
    // A full library takes no more; the program then ends with its thumbnails still rendering.
    bar()->setEntries(std::vector<quorvel::LibraryFileEntry>(CLibraryStrip::kMaxEntries,
                                                             {"\\a.qvl", local(path(u"a.qvl"_s))}));
    EXPECT_EQ(shown(inThumbnail(0)), CLibraryStrip::kPlaceholder);  // no waiting for the engine
    add({path(u"b.qvl"_s)});
    EXPECT_EQ(strip()->count(), CLibraryStrip::kMaxEntries);
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(dialogs.questions[1].contains(u"at most 32767"_s));
}

TEST_F(Library, LibraryFilesKeepNamesAndPathsAndADoubleClickOpensACopyOfATexture) {
    add({write(u"a.qvl"_s), write(u"b.qvl"_s), write(u"c.qvl"_s)});
    dialogs.saveChoices.push_back(path(u"three.qlb"_s));
    user::click(bar()->saveButton());
    // Not at its path: found by its name in ~/qvl, else the Marble defaults, marked. A crafted
    // name must not lead a later Save out of the texture folder.
    ASSERT_TRUE(QDir::home().mkpath(u"qvl"_s));
    const QString moved = QDir::home().filePath(u"qvl/moved.qvl"_s);
    ASSERT_TRUE(QFile::copy(write(u"w.qvl"_s, MaterialType::Wood), moved));
    ASSERT_TRUE(QFile::copy(moved, QDir::home().filePath(u"qvl/stored.qvl"_s)));
    load(u"odd.qlb"_s, {{"\\gone.qvl", local(path(u"gone.qvl"_s))},
                        {"\\..\\etc/wood.qvl", local(path(u"w.qvl"_s))},
                        {"\\moved.qvl", local(path(u"old/moved.qvl"_s))},
                        {"\\stored.qvl", "\\stored.qvl"}});
    EXPECT_TRUE(strip()->toolTipFor(2).contains(moved)) << qPrintable(strip()->toolTipFor(2));
    EXPECT_TRUE(strip()->entry(3).sourceNote.isEmpty());  // stored by name: nothing to explain
    ASSERT_TRUE(waitUntil([this] { return strip()->readyThumbnails() == 4; }));
    const auto& marble = activeDocument()->defaults()[size_t(MaterialType::Marble)];
    EXPECT_EQ(strip()->thumbnail(0), engineThumbnail(marble));
    EXPECT_EQ(strip()->thumbnail(2), engineThumbnail(texture(MaterialType::Wood)));
    EXPECT_EQ(shown(inThumbnail(0, 49, 0)), CLibraryStrip::kFallbackMarker);
    EXPECT_EQ(shown(inThumbnail(1, 49, 0)), strip()->thumbnail(1).pixelColor(49, 0));
    user::move(thumbnails(), inSlot(0));
    ASSERT_TRUE(waitUntil([] { return QToolTip::isVisible(); }));
    for (const QString& piece : {u"\\gone.qvl"_s, path(u"gone.qvl"_s), u"Marble defaults"_s})
        EXPECT_TRUE(QToolTip::text().contains(piece)) << qPrintable(QToolTip::text());
    user::doubleClick(thumbnails(), inSlot(1));
    user::doubleClick(thumbnails(), inSlot(4));  // past the last thumbnail
    settle();
    ASSERT_EQ(app->documents().size(), 2);
    const CQuorvelDoc* document = activeDocument();
    EXPECT_EQ(strip()->selection(), 1);
    EXPECT_EQ(document->pathName(), QDir::home().filePath(u"qvl/wood.qvl"_s));
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(engineThumbnail(document->record()), strip()->thumbnail(1));
    EXPECT_EQ(frame().windowTitle(), u"Quorvel - wood.qvl*"_s) << "a copy no file holds yet";
    // Library files that cannot be read or written leave the library as it is.
    load(u"a.qvl"_s);
    load(u"missing.qlb"_s);
    dialogs.saveChoices.push_back(path(u"no/such/folder/x.qlb"_s));
    user::click(bar()->saveButton());
    EXPECT_EQ(strip()->count(), 4);
    const QStringList& said = dialogs.questions;
    EXPECT_TRUE(said.size() == 3 && said[0].contains(path(u"a.qvl"_s)) &&
                said[1].contains(u"missing.qlb"_s) && said[2].contains(u"no/such/folder/x.qlb"_s))
        << qPrintable(said.join(u'\n'));
    EXPECT_FALSE(dialogs.fileRequests[2].severalFiles);
    load(u"three.qlb"_s);
    EXPECT_EQ(names(), (QStringList{u"\\a.qvl"_s, u"\\b.qvl"_s, u"\\c.qvl"_s}));
    EXPECT_EQ(bar()->entries()[2].path, local(path(u"c.qvl"_s)));
}
