#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/quorveldoc.h"
#include "files/exportformat.h"
#include "files/imageexport.h"
#include "files/texturedocument.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;
using namespace quorvel::command;
using quorvel::TextureParams;

namespace {

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Empty for a missing file: a test comparing bytes then fails on the size.
QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray documentBytes(const TextureParams& record) {
    const auto bytes = quorvel::encodeTextureDocument(record);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class FileCommandsTest : public GuiTest {
protected:
    void trigger(int id) {
        frame().actions().action(id)->trigger();
        settle();
    }
    // Stored recent entries 1 to 4 (empty when absent).
    QStringList recent() const {
        QStringList entries;
        for (int k = 1; k <= 4; ++k)
            entries.append(app->settings().value(u"Recent File List/File%1"_s.arg(k)).toString());
        return entries;
    }
    // The one message shown since the last clear(); it must name `file`.
    void expectOneMessageNaming(const QString& file) {
        ASSERT_EQ(dialogs.questions.size(), 1) << dialogs.questions.join(u'|').toStdString();
        EXPECT_TRUE(dialogs.questions.front().contains(file))
            << dialogs.questions.front().toStdString();
        EXPECT_EQ(dialogs.buttonSets.front(), QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    void clearDialogs() {
        dialogs.questions.clear();
        dialogs.buttonSets.clear();
        dialogs.fileRequests.clear();
    }
    QStringList windowTitles() const {
        QStringList titles;
        for (CChildFrame* child : frame().childFrames())
            titles.append(child->windowTitle());
        return titles;
    }
    QString at(const char* name) const { return path(QString::fromUtf8(name)); }
    // A new program in the same folders, so that each row of a table starts from Quorve1.
    void restart() {
        app.reset();
        settle();
        start();
    }
    QStringList filesInFolder() const { return QDir(path(u"."_s)).entryList(QDir::Files); }

    // Starts the program, writes a.qvl, b.qvl and c.qvl from records that differ from a fresh
    // one (spare fields included) and from each other, and opens all three from one dialog.
    void openThree() {
        start();
        ASSERT_NE(activeDocument(), nullptr);
        fresh = activeDocument()->current();
        for (int i = 0; i < 3; ++i) {
            saved[i] = fresh;
            saved[i].spareB += 1.5f + float(i);
            saved[i].spareC -= 2.25f + float(i);
        }
        saved[0].material = 2;
        saved[0].turbulence = 3.5f;
        saved[0].imageWidth = 200;
        saved[1].relief = 2;
        saved[1].octaves = 9;
        saved[1].colourMap.count = 5;
        saved[1].colourMap.entries[0].startColour.a = 0.5f;
        saved[2].lightDirection = {1.0f, 2.0f, 3.0f};
        saved[2].spareA = 42.0f;
        saved[2].imageHeight = 48;
        QStringList chosen;
        for (int i = 0; i < 3; ++i) {
            files[i] = path(QChar(char16_t(u'a' + i)) + u".qvl"_s);
            ASSERT_TRUE(quorvel::writeTextureFile(local(files[i]), saved[i]).ok());
            chosen.append(files[i]);
        }
        dialogs.openChoices.push_back(chosen);
        trigger(kOpen);
    }

    TextureParams fresh;
    TextureParams saved[3];
    QString files[3];
};

TEST_F(FileCommandsTest, OpenOfThreeFilesAndRecentCommandsKeepTheStoredEntriesMostRecentFirst) {
    ASSERT_NO_FATAL_FAILURE(openThree());
    ASSERT_EQ(dialogs.fileRequests.size(), 1);
    EXPECT_EQ(dialogs.fileRequests.front().title, u"Open and Load a Texture"_s);
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
    EXPECT_EQ(windowTitles(), QStringList({u"Quorve1"_s, u"a.qvl"_s, u"b.qvl"_s, u"c.qvl"_s}));
    ASSERT_EQ(app->documents().size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(app->documents().at(i + 1)->pathName(), files[i]);
    EXPECT_EQ(recent(), QStringList({files[2], files[1], files[0], QString()}));

    // Recent file 3 opens the stored third entry and moves it first.
    trigger(kRecentFile1 + 2);
    ASSERT_EQ(app->documents().size(), 5);
    EXPECT_EQ(activeDocument()->pathName(), files[0]);
    EXPECT_EQ(windowTitles().last(), u"a.qvl"_s);
    EXPECT_EQ(recent(), QStringList({files[0], files[2], files[1], QString()}));

    // Recent file 1 opens the first entry and leaves the entries as they are.
    trigger(kRecentFile1);
    ASSERT_EQ(app->documents().size(), 6);
    EXPECT_EQ(activeDocument()->pathName(), files[0]);
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
    EXPECT_EQ(recent(), QStringList({files[0], files[2], files[1], QString()}));
}

TEST_F(FileCommandsTest, ReopenedDocumentHoldsEverySavedByteButTheSpareFields) {
    ASSERT_NO_FATAL_FAILURE(openThree());
    ASSERT_EQ(app->documents().size(), 4);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(files[i].toStdString());
        const CQuorvelDoc* document = app->documents().at(i + 1);
        TextureParams expected = saved[i];
        expected.spareB = fresh.spareB;
        expected.spareC = fresh.spareC;
        EXPECT_EQ(documentBytes(document->current()), documentBytes(expected));
        EXPECT_NE(document->current().spareB, saved[i].spareB);
        EXPECT_EQ(document->width(), saved[i].imageWidth);
        EXPECT_EQ(document->height(), saved[i].imageHeight);
    }
}

TEST_F(FileCommandsTest, SaveOfANeverSavedDocumentWritesItsTitleInTheCurrentFolder) {
    for (const bool modified : {true, false}) {
        SCOPED_TRACE(modified ? "modified" : "unmodified");
        restart();
        CQuorvelDoc* document = activeDocument();
        document->current().turbulence = 7.25f;
        document->setModified(modified);
        trigger(kSave);

        EXPECT_TRUE(dialogs.fileRequests.isEmpty());
        EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
        const QByteArray written = fileBytes(path(u"Quorve1.qvl"_s));
        EXPECT_EQ(written.size(), 1122);
        EXPECT_EQ(written, documentBytes(document->current()));
        EXPECT_EQ(document->title(), u"Quorve1"_s);
        EXPECT_EQ(frame().activeChildFrame()->windowTitle(), u"Quorve1"_s);
        EXPECT_TRUE(document->pathName().isEmpty());
        EXPECT_EQ(document->isModified(), modified);
        QFile::remove(path(u"Quorve1.qvl"_s));
    }
}

struct SaveAsCase {
    const char* label;
    const char* name;
    qint64 size;  // 0: an image, whose size depends on its encoder
    bool modified;
};

class FileCommandsSaveAs : public FileCommandsTest,
                           public testing::WithParamInterface<SaveAsCase> {};

TEST_P(FileCommandsSaveAs, WritesTheTypeOfTheNameAndOnlyATextureDocumentTakesThePath) {
    const SaveAsCase& row = GetParam();
    start();
    CQuorvelDoc* document = activeDocument();
    document->setModified(row.modified);
    const TextureParams record = document->current();
    const QString target = at(row.name);
    dialogs.saveChoices.push_back(target);
    trigger(kSaveAs);

    ASSERT_EQ(dialogs.fileRequests.size(), 1);
    const FileDialogRequest& request = dialogs.fileRequests.front();
    EXPECT_EQ(request.title, u"Save a Texture"_s);
    EXPECT_EQ(request.defaultSuffix, u"qvl"_s);
    EXPECT_EQ(request.initialName, u"Quorve1"_s);
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();

    const QByteArray written = fileBytes(target);
    ASSERT_FALSE(written.isEmpty());
    if (row.size > 0) {
        EXPECT_EQ(written.size(), row.size);
    }
    const auto format = quorvel::exportFormatForPath(local(target));
    ASSERT_TRUE(format.has_value());
    TextureParams copy = record;
    const QString direct = path(u"direct."_s + QFileInfo(target).suffix());
    ASSERT_TRUE(quorvel::exportTexture(local(direct), *format, copy).ok());
    EXPECT_EQ(written, fileBytes(direct));

    const bool isDocument = *format == quorvel::ExportFormat::TextureDocument;
    if (isDocument) {
        EXPECT_EQ(written, documentBytes(record));
    }
    EXPECT_EQ(document->pathName(), isDocument ? target : QString());
    const QString title = isDocument ? QString::fromUtf8(row.name) : u"Quorve1"_s;
    EXPECT_EQ(document->title(), title);
    EXPECT_EQ(frame().activeChildFrame()->windowTitle(), title);
    EXPECT_EQ(frame().windowTitle(), u"Quorvel - "_s + title);
    EXPECT_EQ(document->isModified(), row.modified);
}

INSTANTIATE_TEST_SUITE_P(
    FileCommands, FileCommandsSaveAs,
    testing::Values(SaveAsCase{"qvl", "x.qvl", 1122, true}, SaveAsCase{"tpr", "x.tpr", 1031, false},
                    SaveAsCase{"tga", "x.tga", 0, true}, SaveAsCase{"bmp", "x.bmp", 0, false},
                    SaveAsCase{"jpg", "x.jpg", 0, true}, SaveAsCase{"png", "x.png", 0, false},
                    SaveAsCase{"TGA", "X.TGA", 0, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(FileCommandsTest, SaveAsProposesTheTitleUpToItsFirstDot) {
    start();
    activeDocument()->setPathName(path(u"scene.v2.qvl"_s));
    dialogs.saveChoices.push_back(QString());
    trigger(kSaveAs);
    ASSERT_EQ(dialogs.fileRequests.size(), 1);
    EXPECT_EQ(dialogs.fileRequests.front().initialName, u"scene"_s);
    EXPECT_TRUE(filesInFolder().isEmpty()) << filesInFolder().join(u'|').toStdString();
}

TEST_F(FileCommandsTest, OpenOfAnUnreadableFileTellsWhichAndMakesNoDocument) {
    start();
    TextureParams outOfRange = activeDocument()->current();
    outOfRange.material = 99;
    ASSERT_TRUE(writeBytes(path(u"junk.qvl"_s), QByteArrayLiteral("0123456789")));
    ASSERT_TRUE(writeBytes(path(u"long.qvl"_s), documentBytes(outOfRange) + 'x'));
    ASSERT_TRUE(writeBytes(path(u"range.qvl"_s), documentBytes(outOfRange)));
    app->settings().setValue(u"Recent File List/File1"_s, path(u"earlier.qvl"_s));
    app->settings().setValue(u"Recent File List/File2"_s, path(u"gone.qvl"_s));

    const struct {
        const char* name;
        int recentCommand;  // 0: chosen in the open dialog
    } rows[] = {
        {"junk.qvl", 0}, {"missing.qvl", 0}, {"long.qvl", 0}, {"range.qvl", 0}, {"gone.qvl", 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clearDialogs();
        if (row.recentCommand == 0) {
            dialogs.openChoices.push_back({at(row.name)});
            trigger(kOpen);
        } else {
            trigger(kRecentFile1 + row.recentCommand - 1);
        }
        ASSERT_NO_FATAL_FAILURE(expectOneMessageNaming(at(row.name)));
        EXPECT_EQ(app->documents().size(), 1);
        EXPECT_EQ(windowTitles(), QStringList({u"Quorve1"_s}));
        EXPECT_EQ(recent(),
                  QStringList({path(u"earlier.qvl"_s), path(u"gone.qvl"_s), QString(), QString()}));
    }
}

TEST_F(FileCommandsTest, SaveToAnUnwritableTargetTellsWhichAndChangesNothing) {
    ASSERT_TRUE(writeBytes(path(u"plain"_s), QByteArrayLiteral("not a folder")));
    for (const char* name : {"missing/x.qvl", "plain/x.qvl"}) {
        SCOPED_TRACE(name);
        restart();
        CQuorvelDoc* document = activeDocument();
        document->setPathName(at(name));
        document->setModified(true);
        clearDialogs();
        trigger(kSave);
        ASSERT_NO_FATAL_FAILURE(expectOneMessageNaming(at(name)));
        EXPECT_EQ(document->pathName(), at(name));
        EXPECT_EQ(document->title(), u"x.qvl"_s);
        EXPECT_TRUE(document->isModified());
        EXPECT_FALSE(QFileInfo::exists(at(name)));
    }
}

TEST_F(FileCommandsTest, SaveAsThatCannotWriteTellsWhichAndWritesNothing) {
    const struct {
        const char* name;
        bool listsExtensions;
    } rows[] = {{"x.xyz", true},
                {"x", true},
                {"missing/x.jpg", false},
                {"missing/x.qvl", false},
                {"missing/x.tpr", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        restart();
        CQuorvelDoc* document = activeDocument();
        document->setModified(true);
        clearDialogs();
        dialogs.saveChoices.push_back(at(row.name));
        trigger(kSaveAs);
        ASSERT_NO_FATAL_FAILURE(expectOneMessageNaming(at(row.name)));
        const QString& message = dialogs.questions.front();
        if (row.listsExtensions) {
            EXPECT_TRUE(message.contains(u".qvl"_s)) << message.toStdString();
            EXPECT_TRUE(message.contains(u".png"_s)) << message.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(at(row.name)));
        EXPECT_TRUE(filesInFolder().isEmpty()) << filesInFolder().join(u'|').toStdString();
        EXPECT_TRUE(frame().isVisible());
        EXPECT_EQ(windowTitles(), QStringList({u"Quorve1"_s}));
        EXPECT_TRUE(document->pathName().isEmpty());
        EXPECT_TRUE(document->isModified());
    }
}

TEST_F(FileCommandsTest, ClosingAModifiedWindowAsksToSaveAndYesWithoutASaveKeepsIt) {
    const QString question = QStringLiteral("The Document  Quorve1 has been modified !!\n"
                                            "Do you wish to Save your Current Work ??");
    const struct {
        const char* label;
        bool modified;
        QMessageBox::StandardButton answer;
        const char* saveChoice;  // null: no save dialog; empty: cancelled
        bool closes;
    } rows[] = {{"yes, cancelled", true, QMessageBox::Yes, "", false},
                {"yes, saved", true, QMessageBox::Yes, "x.qvl", true},
                {"no", true, QMessageBox::No, nullptr, true},
                {"unmodified", false, QMessageBox::NoButton, nullptr, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        restart();
        clearDialogs();
        CQuorvelDoc* document = activeDocument();
        const QByteArray expected = documentBytes(document->current());
        document->setModified(row.modified);
        if (row.modified)
            dialogs.answers.push_back(row.answer);
        if (row.saveChoice)
            dialogs.saveChoices.push_back(*row.saveChoice ? at(row.saveChoice) : QString());
        frame().activeChildFrame()->close();
        settle();

        if (row.modified) {
            ASSERT_EQ(dialogs.questions.size(), 1);
            EXPECT_EQ(dialogs.questions.front(), question);
            EXPECT_EQ(dialogs.buttonSets.front(), QMessageBox::Yes | QMessageBox::No);
        } else {
            EXPECT_TRUE(dialogs.questions.isEmpty());
        }
        EXPECT_TRUE(dialogs.saveChoices.empty());
        EXPECT_EQ(frame().childFrames().size(), row.closes ? 0 : 1);
        EXPECT_EQ(app->documents().size(), row.closes ? 0 : 1);
        if (row.saveChoice && *row.saveChoice) {
            EXPECT_EQ(fileBytes(at(row.saveChoice)), expected);
            QFile::remove(at(row.saveChoice));
        }
        EXPECT_TRUE(filesInFolder().isEmpty()) << filesInFolder().join(u'|').toStdString();
    }
}

TEST_F(FileCommandsTest, CloseCommandAsksYesNoCancelAndAFailedSaveKeepsTheDocument) {
    const struct {
        const char* label;
        QMessageBox::StandardButton answer;
        bool blocked;  // Quorve1.qvl is a folder, so Save cannot write it
        bool closes;
        bool writes;
    } rows[] = {{"cancel", QMessageBox::Cancel, false, false, false},
                {"no", QMessageBox::No, false, true, false},
                {"yes", QMessageBox::Yes, false, true, true},
                {"yes, blocked", QMessageBox::Yes, true, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        restart();
        clearDialogs();
        if (row.blocked) {
            ASSERT_TRUE(QDir(path(u"."_s)).mkdir(u"Quorve1.qvl"_s));
        }
        CQuorvelDoc* document = activeDocument();
        const QByteArray expected = documentBytes(document->current());
        document->setModified(true);
        dialogs.answers.push_back(row.answer);
        trigger(kClose);

        ASSERT_EQ(dialogs.questions.size(), row.blocked ? 2 : 1);
        EXPECT_EQ(dialogs.questions.front(), u"Save changes to Quorve1?"_s);
        EXPECT_EQ(dialogs.buttonSets.front(),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (row.blocked) {
            // The bare name is written in the current folder and named in full.
            EXPECT_TRUE(dialogs.questions.last().contains(
                u"'"_s + QDir::current().absoluteFilePath(u"Quorve1.qvl"_s) + u"'"_s))
                << dialogs.questions.last().toStdString();
        }
        EXPECT_EQ(frame().childFrames().size(), row.closes ? 0 : 1);
        EXPECT_EQ(app->documents().size(), row.closes ? 0 : 1);
        if (!row.closes) {
            EXPECT_TRUE(document->isModified());
        }
        EXPECT_EQ(QFileInfo(path(u"Quorve1.qvl"_s)).isFile(), row.writes);
        if (row.writes) {
            EXPECT_EQ(fileBytes(path(u"Quorve1.qvl"_s)), expected);
        }
        QFile::remove(path(u"Quorve1.qvl"_s));
        QDir(path(u"."_s)).rmdir(u"Quorve1.qvl"_s);
    }
}

}  // namespace
