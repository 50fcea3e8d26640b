#include "tests/gui/guitestsupport.h"

#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "files/exportformat.h"
#include "files/imageexport.h"
#include "files/texturedocument.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;
using namespace quorvel::command;
using quorvel::TextureParams;

namespace {

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Reads the file, or with `bytes` writes them; empty for a file that cannot be.
QByteArray fileBytes(const QString& path, const QByteArray& bytes = {}) {
    QFile file(path);
    if (bytes.isEmpty())
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? bytes : "";
}

QByteArray documentBytes(const TextureParams& record) {
    const auto bytes = quorvel::encodeTextureDocument(record);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

class FileCommands : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    void choose(int id) {
        user::choose(&frame(), frame().actions().action(id));
        settle();
    }
    // A new program in the same folders, so that each row of a table starts from Quorve1.
    CQuorvelDoc* restart() {
        app.reset();
        settle();
        dialogs = {};
        start();
        return activeDocument();
    }
    QString at(const char* name) const { return path(QString::fromUtf8(name)); }
    QStringList files() const { return QDir::current().entryList(QDir::Files | QDir::Hidden); }
    // Stored recent entries 1 to 3.
    QStringList recent() const {
        QStringList entries;
        for (int k = 1; k <= 3; ++k)
            entries.append(app->settings().value(u"Recent File List/File%1"_s.arg(k)).toString());
        return entries;
    }
};

TEST_F(FileCommands, OpenReadsEveryChosenFileAndRecentFilesReopenTheStoredOnes) {
    QStringList chosen;
    QByteArray expected[3];
    for (int i = 0; i < 3; ++i) {
        TextureParams saved = activeDocument()->record();
        saved.turbulence = 2.5f + float(i);
        saved.imageWidth = static_cast<int16_t>(200 + i);
        expected[i] = documentBytes(saved);
        saved.spareB += 1.5f;  // the spare fields are the program's own, never read
        chosen.append(path(QChar(char16_t(u'a' + i)) + u".qvl"_s));
        ASSERT_TRUE(quorvel::writeTextureFile(local(chosen[i]), saved).ok());
    }
    dialogs.openChoices.push_back(chosen);
    user::key(&frame(), Qt::Key_O, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
    ASSERT_EQ(frame().childFrames().size(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frame().childFrames().at(i + 1)->windowTitle(), QFileInfo(chosen[i]).fileName());
        EXPECT_EQ(documentBytes(app->documents().at(i + 1)->record()), expected[i]) << i;
    }
    EXPECT_EQ(recent(), QStringList({chosen[2], chosen[1], chosen[0]}));
    // Recent file 3 opens the third entry and moves it first.
    choose(kRecentFile1 + 2);
    EXPECT_EQ(app->documents().size(), 5);
    EXPECT_EQ(activeDocument()->pathName(), chosen[0]);
    EXPECT_EQ(recent(), QStringList({chosen[0], chosen[2], chosen[1]}));
}

TEST_F(FileCommands, SaveAsWritesTheTypeOfTheNameOrTellsWhyNotAndOnlyADocumentRenames) {
    for (const char* name : {"x.qvl", "x.tpr", "x.tga", "x.bmp", "x.jpg", "x.png", "X.TGA", "x.xyz",
                             "x", "no/x.qvl", "no/x.tpr", "no/x.jpg"}) {
        SCOPED_TRACE(name);
        CQuorvelDoc* document = restart();
        const QString named = at("scene.v2.qvl");
        document->setPathName(named);
        document->markUnsaved();
        const QString target = at(name);
        dialogs.saveChoices.push_back(target);
        choose(kSaveAs);
        EXPECT_EQ(dialogs.fileRequests.value(0).initialName, u"scene"_s) << "up to the first dot";
        const auto format = quorvel::exportFormatForPath(local(target));
        const bool writes = format && !QByteArray(name).contains('/');
        if (writes) {
            // The bytes are those of the file layer's own export of the same record.
            TextureParams copy = document->record();
            ASSERT_TRUE(quorvel::exportTexture(local(at("direct")), *format, copy).ok());
            EXPECT_EQ(fileBytes(target), fileBytes(at("direct")));
            EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join(u'|').toStdString();
        } else {
            ASSERT_EQ(dialogs.questions.size(), 1);
            EXPECT_TRUE(dialogs.questions[0].contains(target))
                << dialogs.questions[0].toStdString();
            // A name no writer takes is told with the extensions there are.
            EXPECT_EQ(dialogs.questions[0].contains(u".qvl, .tpr"_s), !format);
        }
        const bool renames = writes && format == quorvel::ExportFormat::TextureDocument;
        EXPECT_EQ(document->pathName(), renames ? target : named);
        // Only a texture document saves it; an export leaves it modified, marked "*".
        EXPECT_EQ(document->isModified(), !renames);
        EXPECT_EQ(frame().windowTitle(), u"Quorvel - "_s +
                                             QFileInfo(document->pathName()).fileName() +
                                             (renames ? u""_s : u"*"_s));
        EXPECT_EQ(files().size(), writes ? 2 : 0) << files().join(u' ').toStdString();
        QFile::remove(target);
        QFile::remove(at("direct"));
    }
}

TEST_F(FileCommands, AFileThatCannotBeOpenedIsNamedAndOpensNothing) {
    TextureParams outOfRange = activeDocument()->record();
    outOfRange.material = 99;
    fileBytes(at("junk.qvl"), "0123456789");
    fileBytes(at("long.qvl"), documentBytes(outOfRange) + 'x');
    fileBytes(at("range.qvl"), documentBytes(outOfRange));
    app->settings().setValue(u"Recent File List/File1"_s, at("earlier.qvl"));
    app->settings().setValue(u"Recent File List/File2"_s, at("gone.qvl"));
    for (const char* name : {"junk.qvl", "missing.qvl", "long.qvl", "range.qvl", "gone.qvl"}) {
        SCOPED_TRACE(name);
        restart();
        const bool listed = QByteArray(name) == "gone.qvl";  // chosen from the File menu's list
        if (!listed)
            dialogs.openChoices.push_back({at(name)});
        choose(listed ? kRecentFile1 + 1 : kOpen);
        ASSERT_EQ(dialogs.questions.size(), 1);
        EXPECT_TRUE(dialogs.questions[0].contains(at(name))) << dialogs.questions[0].toStdString();
        EXPECT_EQ(frame().childFrames().size(), 1);
        EXPECT_EQ(recent(), QStringList({at("earlier.qvl"), at("gone.qvl"), QString()}));
    }
}

TEST_F(FileCommands, SaveWritesTheBareTitleAndClosingAModifiedDocumentAsksFirst) {
    using B = QMessageBox;
    const struct {
        const char* label;
        int command;  // a menu command, or 0 for Ctrl with `key`: S saves, F4 closes the window
        Qt::Key key;
        bool modified;
        QMessageBox::StandardButton answer;  // NoButton: no question
        const char* saveChoice;              // null: no save dialog; empty: cancelled
        bool blocked;                        // Quorve1.qvl is a folder, so Save fails
        const char* written;
    } rows[] = {{"Save", kSave, {}, true, B::NoButton, nullptr, false, "Quorve1.qvl"},
                {"Ctrl+S", 0, Qt::Key_S, false, B::NoButton, nullptr, false, "Quorve1.qvl"},
                {"window, no", 0, Qt::Key_F4, true, B::No, nullptr, false, nullptr},
                {"window, yes, cancelled", 0, Qt::Key_F4, true, B::Yes, "", false, nullptr},
                {"window, yes, saved", 0, Qt::Key_F4, true, B::Yes, "x.qvl", false, "x.qvl"},
                {"close, cancel", kClose, {}, true, B::Cancel, nullptr, false, nullptr},
                {"close, no", kClose, {}, true, B::No, nullptr, false, nullptr},
                {"close, yes", kClose, {}, true, B::Yes, nullptr, false, "Quorve1.qvl"},
                {"close, yes, failed", kClose, {}, true, B::Yes, nullptr, true, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(!row.blocked || QDir::current().mkdir(at("Quorve1.qvl")));
        CQuorvelDoc* document = restart();
        const QByteArray expected = documentBytes(document->record());
        if (row.modified)
            document->markUnsaved();
        if (row.answer != B::NoButton)
            dialogs.answers.push_back(row.answer);
        if (row.saveChoice)
            dialogs.saveChoices.push_back(*row.saveChoice ? at(row.saveChoice) : QString());
        user::click(frame().activeChildFrame()->widget(), {2, 2});
        if (row.command)
            choose(row.command);
        else
            user::key(&frame(), row.key, Qt::ControlModifier);
        settle();
        // A failed save names the bare name's file in full, in the current folder.
        EXPECT_EQ(dialogs.questions.size(), int(row.answer != B::NoButton) + int(row.blocked));
        EXPECT_EQ(dialogs.questions.value(1).contains(u"'"_s + at("Quorve1.qvl") + u"'"_s),
                  row.blocked);
        const bool closes = row.answer == B::No || (row.answer == B::Yes && row.written);
        EXPECT_EQ(frame().childFrames().size(), closes ? 0 : 1);
        EXPECT_EQ(app->documents().size(), closes ? 0 : 1);
        if (!closes) {
            EXPECT_EQ(document->isModified(), row.modified && !row.written) << "a save cleans";
            EXPECT_TRUE(document->pathName().isEmpty());
        }
        const QString written = at(row.written ? row.written : "none");
        EXPECT_EQ(fileBytes(written), row.written ? expected : QByteArray());
        EXPECT_EQ(files().size(), row.written ? 1 : 0);
        QFile::remove(written);
        QDir::current().rmdir(at("Quorve1.qvl"));
    }
}

}  // namespace
