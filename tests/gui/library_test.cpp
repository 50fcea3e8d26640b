#include "tests/gui/guitestsupport.h"

#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "engine/defaults.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "files/libraryfile.h"
#include "files/searchpath.h"
#include "files/texturedocument.h"
#include "library/librarybar.h"
#include "library/libraryentry.h"
#include "library/librarystrip.h"
#include "panels/panelhost.h"
#include "panels/promptbutton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

using namespace Qt::StringLiterals;
using quorvel::MaterialType;
using quorvel::TextureParams;
using quorvel::TextureSource;

namespace {

constexpr int kSlot = CLibraryStrip::kSlotWidth;
// A row through the middle of every thumbnail, clear of the bevel lines.
constexpr int kMiddleRow = 20;

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

TextureParams texture(MaterialType material) {
    return quorvel::copyTexture(quorvel::materialDefaults(static_cast<int>(material)));
}

// The thumbnail the engine gives for `record`, pixel for pixel.
QImage engineThumbnail(TextureParams record) {
    quorvel::applyRenderWrites(record);
    const auto sampling = quorvel::Sampling::thumbnail();
    QImage image(sampling.width(), sampling.height(), QImage::Format_RGB32);
    std::vector<uint8_t> rgb(static_cast<size_t>(3 * sampling.width()));
    for (int y = 0; y < sampling.height(); ++y) {
        quorvel::renderRow(record, sampling, y, rgb);
        for (int x = 0; x < sampling.width(); ++x) {
            const auto i = static_cast<size_t>(3 * x);
            image.setPixel(x, y, qRgb(rgb[i], rgb[i + 1], rgb[i + 2]));
        }
    }
    return image;
}

// Handles events until `done` holds or ten seconds pass.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QColor pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

QImage shown(const CLibraryStrip& strip) { return strip.viewport()->grab().toImage(); }

// Where thumbnail pixel (x, y) of slot k is shown.
QPoint thumbnailPoint(const CLibraryStrip& strip, int k, int x, int y) {
    const int bottom = strip.viewport()->height() - 1;
    return {kSlot * k + 2 + x, bottom - 40 + y};
}

std::vector<LibraryEntry> plainEntries(int count) {
    std::vector<LibraryEntry> entries(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto& e = entries[static_cast<size_t>(i)];
        e.file = {"\\t" + std::to_string(i) + ".qvl", "/nowhere/t" + std::to_string(i) + ".qvl"};
        e.record = texture(MaterialType::Marble);
    }
    return entries;
}

}  // namespace

class LibraryStrip : public testing::Test {
protected:
    void SetUp() override {
        quorvel::initNoise();
        strip.resize(300, strip.height());
        strip.show();
    }
    void fill(int count) {
        strip.replaceEntries(plainEntries(count));
        strip.updateStrip();
    }

    CLibraryStrip strip;
};

TEST_F(LibraryStrip, ThreeHundredPixelsShowSixBevelledSlotsAndPlaceholdersFirst) {
    fill(3);
    ASSERT_EQ(strip.viewport()->width(), 300);
    const int bottom = strip.viewport()->height() - 1;
    ASSERT_EQ(strip.readyThumbnails(), 0);
    const QImage image = shown(strip);
    // Slot 0 holds the selection; the sixth slot starts at x = 270.
    for (int k = 0; k < 6; ++k) {
        const QColor outerTopLeft = k == 0 ? QColor(0, 0, 255) : QColor(64, 64, 64);
        const QColor outerBottomRight = k == 0 ? QColor(0, 255, 255) : QColor(255, 255, 255);
        const QColor innerTopLeft = k == 0 ? QColor(0, 0, 128) : QColor(0, 0, 0);
        const QColor innerBottomRight = k == 0 ? QColor(0, 128, 255) : QColor(192, 192, 192);
        EXPECT_EQ(pixel(image, kSlot * k, kMiddleRow), outerTopLeft) << "slot " << k;
        EXPECT_EQ(pixel(image, kSlot * k + 20, 0), outerTopLeft) << "slot " << k;
        EXPECT_EQ(pixel(image, kSlot * k + 20, bottom), outerBottomRight) << "slot " << k;
        EXPECT_EQ(pixel(image, kSlot * k + 1, kMiddleRow), innerTopLeft) << "slot " << k;
        EXPECT_EQ(pixel(image, kSlot * k + 20, bottom - 1), innerBottomRight) << "slot " << k;
        const QPoint middle = thumbnailPoint(strip, k, 25, 19);
        EXPECT_EQ(pixel(image, middle.x(), middle.y()),
                  k < 3 ? CLibraryStrip::kPlaceholder : QColor(Qt::black))
            << "slot " << k;
    }
    // Slot 5's right edge (x = 324) lies outside: the strip ends on its top line.
    EXPECT_EQ(pixel(image, 299, 0), QColor(64, 64, 64));
    EXPECT_EQ(pixel(image, 299, kMiddleRow), QColor(Qt::black));

    EXPECT_TRUE(waitFor([this] { return strip.readyThumbnails() == 3; }));
    const QImage done = shown(strip);
    const QImage expected = engineThumbnail(texture(MaterialType::Marble));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(strip.thumbnail(k), expected) << "entry " << k;
        for (const QPoint corner : {QPoint(0, 0), QPoint(49, 38), QPoint(25, 19)}) {
            const QPoint at = thumbnailPoint(strip, k, corner.x(), corner.y());
            EXPECT_EQ(done.pixel(at), expected.pixel(corner)) << "slot " << k;
        }
    }
}

TEST_F(LibraryStrip, ClicksSelectTheEntryUnderThePointerOnly) {
    fill(8);
    strip.horizontalScrollBar()->setValue(2);
    ASSERT_EQ(strip.firstShown(), 2);
    QTest::mouseClick(strip.viewport(), Qt::LeftButton, {}, QPoint(110, kMiddleRow));
    EXPECT_EQ(strip.selection(), 4);
    EXPECT_EQ(strip.firstShown(), 2);
    EXPECT_EQ(pixel(shown(strip), 2 * kSlot, kMiddleRow), QColor(0, 0, 255));

    // Slot 6 is past the last entry (index 8): nothing changes.
    QTest::mouseClick(strip.viewport(), Qt::LeftButton, {}, QPoint(6 * kSlot + 5, kMiddleRow));
    EXPECT_EQ(strip.selection(), 4);
    QTest::mouseClick(strip.viewport(), Qt::RightButton, {}, QPoint(5, kMiddleRow));
    EXPECT_EQ(strip.selection(), 4);

    // Scrolled out of view, the selection lights no slot.
    strip.horizontalScrollBar()->setValue(5);
    const QImage image = shown(strip);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(pixel(image, kSlot * k, kMiddleRow), QColor(64, 64, 64)) << "slot " << k;
    EXPECT_EQ(strip.selection(), 4);
}

TEST_F(LibraryStrip, ScrollBarMovesTheFirstEntryWithinTheLibrary) {
    fill(5);
    QScrollBar* bar = strip.horizontalScrollBar();
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 4);
    for (int i = 0; i < 10; ++i)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(strip.firstShown(), 4);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(strip.firstShown(), 3);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(strip.firstShown(), 3);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(strip.firstShown(), 0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(strip.firstShown(), 0);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(strip.firstShown(), 4);

    bar->setValue(0);
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    bar->setSliderDown(false);
    EXPECT_EQ(strip.firstShown(), 4);
    // The last entry in the first slot, the others empty.
    const QImage image = shown(strip);
    const QPoint first = thumbnailPoint(strip, 0, 25, 19);
    const QPoint second = thumbnailPoint(strip, 1, 25, 19);
    EXPECT_NE(pixel(image, first.x(), first.y()), QColor(Qt::black));
    EXPECT_EQ(pixel(image, second.x(), second.y()), QColor(Qt::black));

    strip.replaceEntries({});
    strip.updateStrip();
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_EQ(strip.entryAt(5), -1);
}

TEST(LibraryBarAlone, DestroyedWhileThumbnailsAreRendering) {
    quorvel::initNoise();
    NoDocumentHost host;
    std::vector<quorvel::LibraryFileEntry> files;
    for (int i = 0; i < 200; ++i)
        files.push_back({"\\gone.qvl", "/nowhere/gone.qvl"});
    auto bar = std::make_unique<CLibraryBar>(host);
    bar->setEntries(files);
    EXPECT_EQ(bar->strip()->count(), 200);
    EXPECT_LT(bar->strip()->readyThumbnails(), 200);
    bar.reset();
    // Results still under way must not reach the destroyed strip.
    QApplication::processEvents();
}

class Library : public GuiTest {
protected:
    // The program with an empty library, whatever default library the data folders hold.
    void startEmpty() {
        start();
        bar()->setEntries({});
    }
    CLibraryBar* bar() const { return frame().libraryBar(); }
    CLibraryStrip* strip() const { return bar()->strip(); }

    // Writes a texture document `name` in the test folder and returns its path.
    QString writeTexture(const QString& name, MaterialType material) const {
        const QString file = path(name);
        EXPECT_TRUE(quorvel::writeTextureFile(local(file), texture(material)).ok());
        return file;
    }
    void add(const QStringList& files) {
        dialogs.openChoices.push_back(files);
        bar()->addButton()->click();
    }
    void addFour() {
        add({writeTexture(u"a.qvl"_s, MaterialType::Marble),
             writeTexture(u"b.qvl"_s, MaterialType::Wood),
             writeTexture(u"c.qvl"_s, MaterialType::Agate),
             writeTexture(u"d.qvl"_s, MaterialType::Onion)});
        ASSERT_EQ(strip()->count(), 4);
    }
    QStringList names() const {
        QStringList list;
        for (const auto& e : bar()->entries())
            list.append(QString::fromStdString(e.name));
        return list;
    }
    bool thumbnailsReady() const {
        return waitUntil([this] { return strip()->readyThumbnails() == strip()->count(); });
    }
};

TEST_F(Library, AddAppendsSelectsAndShowsTheLastAdded) {
    startEmpty();
    EXPECT_EQ(strip()->count(), 0);
    add({writeTexture(u"marble.qvl"_s, MaterialType::Marble)});
    add({writeTexture(u"wood.qvl"_s, MaterialType::Wood),
         writeTexture(u"agate.qvl"_s, MaterialType::Agate)});
    ASSERT_EQ(dialogs.fileRequests.size(), 2);
    const FileDialogRequest& request = dialogs.fileRequests.front();
    EXPECT_EQ(request.title, u"Add a Texture to the Library"_s);
    EXPECT_EQ(request.filters, QStringList{u"Texture File (*.qvl)"_s});
    EXPECT_EQ(request.defaultSuffix, u"qvl"_s);
    EXPECT_TRUE(request.severalFiles);

    EXPECT_EQ(names(), (QStringList{u"\\marble.qvl"_s, u"\\wood.qvl"_s, u"\\agate.qvl"_s}));
    EXPECT_EQ(bar()->entries().back().path, local(path(u"agate.qvl"_s)));
    EXPECT_EQ(strip()->selection(), 2);
    EXPECT_EQ(strip()->firstShown(), 2);
    EXPECT_EQ(strip()->horizontalScrollBar()->value(), 2);
    EXPECT_EQ(strip()->horizontalScrollBar()->maximum(), 2);
    EXPECT_EQ(strip()->entry(1).record.material, static_cast<int8_t>(MaterialType::Wood));

    // Cancelling the dialog changes nothing.
    add({});
    EXPECT_EQ(strip()->count(), 3);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(Library, AddRefusesPathsTheFileCannotHoldAndKeepsTheOthers) {
    startEmpty();
    const QString folder = path(QString(70, u'x'));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString longPath = folder + u"/long.qvl"_s;
    ASSERT_TRUE(quorvel::writeTextureFile(local(longPath), texture(MaterialType::Wood)).ok());
    ASSERT_GE(local(longPath).size(), 80u);
    const QString broken = path(u"broken.qvl"_s);
    ASSERT_TRUE(QFile(broken).open(QIODevice::WriteOnly));

    add({writeTexture(u"short.qvl"_s, MaterialType::Marble), longPath, broken});
    EXPECT_EQ(names(), QStringList{u"\\short.qvl"_s});
    EXPECT_EQ(strip()->selection(), 0);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.front().contains(longPath))
        << dialogs.questions.front().toStdString();
    EXPECT_TRUE(dialogs.questions.front().contains(broken))
        << dialogs.questions.front().toStdString();
}

TEST_F(Library, DeleteKeepsTheIndexOrStepsBackFromTheEnd) {
    startEmpty();
    addFour();
    ASSERT_EQ(strip()->selection(), 3);
    bar()->deleteButton()->click();
    EXPECT_EQ(names(), (QStringList{u"\\a.qvl"_s, u"\\b.qvl"_s, u"\\c.qvl"_s}));
    EXPECT_EQ(strip()->selection(), 2);
    EXPECT_EQ(strip()->firstShown(), 2);

    add({path(u"d.qvl"_s)});
    strip()->horizontalScrollBar()->setValue(0);
    QTest::mouseClick(strip()->viewport(), Qt::LeftButton, {}, QPoint(kSlot + 10, kMiddleRow));
    ASSERT_EQ(strip()->selection(), 1);
    bar()->deleteButton()->click();
    EXPECT_EQ(names(), (QStringList{u"\\a.qvl"_s, u"\\c.qvl"_s, u"\\d.qvl"_s}));
    EXPECT_EQ(strip()->selection(), 1);
    EXPECT_EQ(strip()->firstShown(), 1);
    EXPECT_EQ(strip()->horizontalScrollBar()->maximum(), 2);

    for (int i = 0; i < 3; ++i)
        bar()->deleteButton()->click();
    EXPECT_EQ(strip()->count(), 0);
    EXPECT_EQ(strip()->selection(), 0);
    EXPECT_EQ(strip()->horizontalScrollBar()->maximum(), 0);
    bar()->deleteButton()->click();
    EXPECT_EQ(strip()->count(), 0);
}

TEST_F(Library, SaveWritesNamesAndPathsAndLoadReplacesTheLibrary) {
    startEmpty();
    add({writeTexture(u"a.qvl"_s, MaterialType::Marble),
         writeTexture(u"b.qvl"_s, MaterialType::Wood),
         writeTexture(u"c.qvl"_s, MaterialType::Agate)});
    const QString saved = path(u"three.qlb"_s);
    dialogs.saveChoices.push_back(saved);
    bar()->saveButton()->click();
    EXPECT_EQ(QFileInfo(saved).size(), 482);
    EXPECT_EQ(dialogs.fileRequests.back().title, u"Save a Texture Library"_s);
    EXPECT_EQ(dialogs.fileRequests.back().filters, QStringList{u"Library File (*.qlb)"_s});
    EXPECT_EQ(dialogs.fileRequests.back().defaultSuffix, u"qlb"_s);
    EXPECT_TRUE(dialogs.fileRequests.back().initialName.isEmpty());
    std::vector<quorvel::LibraryFileEntry> read;
    ASSERT_TRUE(quorvel::readLibraryFile(local(saved), read).ok());
    EXPECT_EQ(read, bar()->entries());

    const QString other = path(u"other.qlb"_s);
    ASSERT_TRUE(quorvel::writeLibraryFile(local(other), {{"\\c.qvl", local(path(u"c.qvl"_s))},
                                                         {"\\b.qvl", local(path(u"b.qvl"_s))}})
                    .ok());
    dialogs.openChoices.push_back({other});
    bar()->loadButton()->click();
    EXPECT_EQ(dialogs.fileRequests.back().title, u"Load a Texture Library"_s);
    EXPECT_FALSE(dialogs.fileRequests.back().severalFiles);
    EXPECT_EQ(names(), (QStringList{u"\\c.qvl"_s, u"\\b.qvl"_s}));
    EXPECT_EQ(strip()->selection(), 0);
    EXPECT_EQ(strip()->firstShown(), 0);
    EXPECT_EQ(strip()->entry(0).source, TextureSource::Path);
    EXPECT_EQ(strip()->entry(1).record.material, static_cast<int8_t>(MaterialType::Wood));
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(Library, UnreadableOrUnwritableLibrariesLeaveTheLibraryAsItWas) {
    startEmpty();
    add({writeTexture(u"a.qvl"_s, MaterialType::Marble)});
    const QString bad = path(u"bad.qlb"_s);
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x02\x00\x01", 3);
    file.close();
    dialogs.openChoices.push_back({bad});
    bar()->loadButton()->click();
    dialogs.openChoices.push_back({path(u"missing.qlb"_s)});
    bar()->loadButton()->click();
    const QString unwritable = path(u"no/such/folder/x.qlb"_s);
    dialogs.saveChoices.push_back(unwritable);
    bar()->saveButton()->click();

    EXPECT_EQ(names(), QStringList{u"\\a.qvl"_s});
    ASSERT_EQ(dialogs.questions.size(), 3);
    EXPECT_TRUE(dialogs.questions.at(0).contains(bad)) << dialogs.questions.at(0).toStdString();
    EXPECT_TRUE(dialogs.questions.at(1).contains(u"missing.qlb"_s))
        << dialogs.questions.at(1).toStdString();
    EXPECT_TRUE(dialogs.questions.at(2).contains(unwritable))
        << dialogs.questions.at(2).toStdString();
    EXPECT_FALSE(QFileInfo::exists(unwritable));
}

TEST_F(Library, DoubleClickOpensAModifiedCopyNamedAfterTheTexture) {
    startEmpty();
    add({writeTexture(u"marble.qvl"_s, MaterialType::Marble),
         writeTexture(u"wood.qvl"_s, MaterialType::Wood)});
    ASSERT_TRUE(thumbnailsReady());
    strip()->horizontalScrollBar()->setValue(0);
    const qsizetype before = app->documents().size();

    QTest::mouseDClick(strip()->viewport(), Qt::LeftButton, {}, QPoint(kSlot + 10, kMiddleRow));
    settle();
    ASSERT_EQ(app->documents().size(), before + 1);
    CQuorvelDoc* document = activeDocument();
    EXPECT_EQ(strip()->selection(), 1);
    EXPECT_EQ(document->title(), u"wood.qvl"_s);
    EXPECT_EQ(document->pathName(), QDir::home().filePath(u"qvl/wood.qvl"_s));
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(document->current().material, static_cast<int8_t>(MaterialType::Wood));
    EXPECT_EQ(engineThumbnail(document->current()), strip()->thumbnail(1));
    EXPECT_EQ(frame().windowTitle(), u"Quorvel - wood.qvl"_s);

    // Past the last thumbnail nothing opens.
    QTest::mouseDClick(strip()->viewport(), Qt::LeftButton, {}, QPoint(3 * kSlot, kMiddleRow));
    settle();
    EXPECT_EQ(app->documents().size(), before + 1);
}

TEST(LibraryTexturePath, StaysInTheTextureFolderWhateverTheStoredName) {
    const QString folder = QString::fromStdString(quorvel::textureFolder());
    EXPECT_EQ(libraryTexturePath("\\wood.qvl"), folder + u"/wood.qvl"_s);
    // A name from a crafted library must not lead a later Save elsewhere.
    EXPECT_EQ(libraryTexturePath("\\..\\notes.txt"), folder + u"/notes.txt"_s);
    EXPECT_EQ(libraryTexturePath("/etc/passwd"), folder + u"/passwd"_s);
    EXPECT_EQ(libraryTexturePath("\\.."), folder + u"/untitled.qvl"_s);
    EXPECT_EQ(libraryTexturePath(""), folder + u"/untitled.qvl"_s);
}

TEST_F(Library, EntriesStoredByNameAloneNeedNoExplanation) {
    startEmpty();
    ASSERT_TRUE(QDir::home().mkpath(u"qvl"_s));
    const QString stored = QDir::home().filePath(u"qvl/stored.qvl"_s);
    ASSERT_TRUE(quorvel::writeTextureFile(local(stored), texture(MaterialType::Agate)).ok());
    const QString library = path(u"names.qlb"_s);
    ASSERT_TRUE(quorvel::writeLibraryFile(local(library), {{"\\stored.qvl", "\\stored.qvl"}}).ok());
    dialogs.openChoices.push_back({library});
    bar()->loadButton()->click();
    ASSERT_EQ(strip()->count(), 1);
    EXPECT_EQ(strip()->entry(0).source, TextureSource::Name);
    EXPECT_TRUE(strip()->entry(0).sourceNote.isEmpty())
        << strip()->entry(0).sourceNote.toStdString();
}

TEST_F(Library, MissingTexturesShowMarbleAndSayWhy) {
    startEmpty();
    const QString moved = QDir::home().filePath(u"qvl/moved.qvl"_s);
    ASSERT_TRUE(QDir::home().mkpath(u"qvl"_s));
    ASSERT_TRUE(quorvel::writeTextureFile(local(moved), texture(MaterialType::Wood)).ok());
    const QString library = path(u"gone.qlb"_s);
    ASSERT_TRUE(quorvel::writeLibraryFile(local(library),
                                          {{"\\gone.qvl", local(path(u"gone.qvl"_s))},
                                           {"\\moved.qvl", local(path(u"old/moved.qvl"_s))}})
                    .ok());
    dialogs.openChoices.push_back({library});
    bar()->loadButton()->click();
    ASSERT_EQ(strip()->count(), 2);
    ASSERT_TRUE(thumbnailsReady());

    EXPECT_EQ(strip()->entry(0).source, TextureSource::MarbleDefaults);
    EXPECT_EQ(strip()->entry(1).source, TextureSource::Name);
    const auto marble = static_cast<size_t>(MaterialType::Marble);
    EXPECT_EQ(strip()->thumbnail(0), engineThumbnail(activeDocument()->defaults()[marble]));
    EXPECT_EQ(strip()->thumbnail(1), engineThumbnail(texture(MaterialType::Wood)));

    // The fallen-back entry carries a marker in its thumbnail's top-right corner.
    const QImage image = shown(*strip());
    const QPoint corner0 = thumbnailPoint(*strip(), 0, 49, 0);
    const QPoint corner1 = thumbnailPoint(*strip(), 1, 49, 0);
    EXPECT_EQ(pixel(image, corner0.x(), corner0.y()), CLibraryStrip::kFallbackMarker);
    EXPECT_EQ(image.pixel(corner1), strip()->thumbnail(1).pixel(49, 0));

    QHelpEvent help(QEvent::ToolTip, QPoint(10, kMiddleRow),
                    strip()->viewport()->mapToGlobal(QPoint(10, kMiddleRow)));
    QApplication::sendEvent(strip()->viewport(), &help);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.contains(u"\\gone.qvl"_s)) << tip.toStdString();
    EXPECT_TRUE(tip.contains(path(u"gone.qvl"_s))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(u"Marble defaults"_s)) << tip.toStdString();
    EXPECT_TRUE(strip()->toolTipFor(1).contains(moved)) << strip()->toolTipFor(1).toStdString();
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(Library, ThumbnailsArriveAfterTheLoadReturns) {
    startEmpty();
    const QString file = writeTexture(u"leopard.qvl"_s, MaterialType::Leopard);
    std::vector<quorvel::LibraryFileEntry> entries(60, {"\\leopard.qvl", local(file)});
    const QString library = path(u"big.qlb"_s);
    ASSERT_TRUE(quorvel::writeLibraryFile(local(library), entries).ok());
    dialogs.openChoices.push_back({library});
    bar()->loadButton()->click();

    ASSERT_EQ(strip()->count(), 60);
    EXPECT_EQ(strip()->readyThumbnails(), 0);
    const QPoint middle = thumbnailPoint(*strip(), 0, 25, 19);
    EXPECT_EQ(pixel(shown(*strip()), middle.x(), middle.y()), CLibraryStrip::kPlaceholder);

    ASSERT_TRUE(thumbnailsReady());
    const QImage expected = engineThumbnail(texture(MaterialType::Leopard));
    EXPECT_EQ(strip()->thumbnail(59), expected);
    EXPECT_EQ(shown(*strip()).pixel(middle), expected.pixel(25, 19));
}

TEST_F(Library, StartUpLoadsTheDefaultLibraryAndButtonsPrompt) {
    const QString file = writeTexture(u"onion.qvl"_s, MaterialType::Onion);
    ASSERT_TRUE(quorvel::writeLibraryFile(local(path(u"default.qlb"_s)),
                                          {{"\\onion.qvl", local(file)}, {"\\x.qvl", "/gone"}})
                    .ok());
    start();
    EXPECT_EQ(names(), (QStringList{u"\\onion.qvl"_s, u"\\x.qvl"_s}));
    EXPECT_EQ(strip()->entry(0).record.material, static_cast<int8_t>(MaterialType::Onion));
    EXPECT_TRUE(strip()->entry(1).fellBack());

    const std::pair<CPromptButton*, QString> prompts[] = {
        {bar()->addButton(), u"Add a Texture to the Library"_s},
        {bar()->loadButton(), u"Load a Texture Library"_s},
        {bar()->saveButton(), u"Save a Texture Library"_s},
        {bar()->deleteButton(), u"Delete the Current Texture from the Library"_s},
    };
    for (const auto& [button, prompt] : prompts) {
        QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), button->mapToGlobal(QPointF(4, 4)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &move);
        EXPECT_EQ(frame().statusBar()->currentMessage(), prompt);
    }
}
