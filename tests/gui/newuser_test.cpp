#include "tests/gui/guitestsupport.h"

#include "app/aboutdialog.h"
#include "app/childframe.h"
#include "app/commandactions.h"
#include "app/commandids.h"
#include "app/freeformatdialog.h"
#include "app/imageformatdialog.h"
#include "app/mainframe.h"
#include "document/quorveldoc.h"
#include "app/splashwindow.h"
#include "app/textureprinter.h"
#include "app/tipdialog.h"
#include "engine/defaults.h"
#include "files/texturedocument.h"
#include "library/librarybar.h"
#include "library/librarystrip.h"
#include "panels/commandblock.h"
#include "panels/integerfield.h"
#include "panels/lightingdialog.h"
#include "panels/promptbutton.h"
#include "panels/reflectiondialog.h"
#include "panels/twopanedialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

using namespace quorvel::command;
using Field = CCommandBlock::Field;

// What a new user meets first: each test is one fault a first session ran into.
class NewUser : public GuiTest {
protected:
    QAction* command(int id) const { return frame().actions().action(id); }
    CCommandBlock& block() const { return *frame().commandBlock(); }
    QString statusText() const { return frame().statusBar()->currentMessage(); }

    // A document file holding the new texture changed by `change`.
    QString writeDocument(const QString& name,
                          const std::function<void(quorvel::TextureParams&)>& change) {
        quorvel::TextureParams record = quorvel::newTexture();
        change(record);
        const QString file = path(name);
        EXPECT_TRUE(quorvel::writeTextureFile(file.toStdString(), record).ok());
        return file;
    }

    void openWithTheMenu(const QString& file) {
        dialogs.openChoices.push_back({file});
        user::choose(&frame(), command(kOpen));
        settle();
    }
};

TEST_F(NewUser, ALibraryTextureSavesIntoTheTextureFolderItMakes) {
    start();
    CLibraryStrip* strip = frame().libraryBar()->strip();
    ASSERT_GT(strip->count(), 0);
    user::doubleClick(strip->viewport(),
                      QPoint(CLibraryStrip::kSlotWidth / 2, strip->viewport()->height() / 2));
    settle();
    const QString target = activeDocument()->pathName();
    ASSERT_TRUE(target.startsWith(path(QStringLiteral("home/qvl/"))));
    user::shortcut(&frame(), command(kSave));
    EXPECT_TRUE(dialogs.questions.isEmpty())
        << dialogs.questions.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_TRUE(statusText().contains(target)) << statusText().toStdString();
}

TEST_F(NewUser, ABareSaveLandsInTheLibraryDialogsFolderAndSaysWhere) {
    start();
    QDir(path({})).mkpath(QStringLiteral("elsewhere"));
    const QString added = writeDocument(QStringLiteral("elsewhere/added.qvl"), [](auto&) {});
    dialogs.openChoices.push_back({added});
    user::click(frame().libraryBar()->addButton());
    user::shortcut(&frame(), command(kSave));
    const QString saved = path(QStringLiteral("elsewhere/Quorve1.qvl"));
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_TRUE(statusText().contains(saved)) << statusText().toStdString();
}

struct TypedValue {
    Field field;
    QString typed;
};

TEST_F(NewUser, EveryTypedValueComesBackAsTyped) {
    start();
    const TypedValue rows[] = {
        {Field::Turbulence, QStringLiteral("60")},  {Field::Turbulence, QStringLiteral("10")},
        {Field::Turbulence, QStringLiteral("1")},   {Field::ScaleX, QStringLiteral("7")},
        {Field::ScaleY, QStringLiteral("999")},     {Field::ReliefScaleX, QStringLiteral("3")},
        {Field::ReliefScaleY, QStringLiteral("1")}, {Field::Intensity, QStringLiteral("80")},
        {Field::Detail, QStringLiteral("37")}};
    for (const TypedValue& row : rows) {
        SCOPED_TRACE((block().field(row.field)->accessibleName() + QLatin1Char(' ') + row.typed)
                         .toStdString());
        user::typeInto(block().field(row.field), row.typed);
        user::key(block().field(row.field), Qt::Key_Return);
        // A second window of the document shows the fields again from the record.
        user::choose(&frame(), command(kNewWindow));
        settle();
        EXPECT_EQ(block().field(row.field)->text(), row.typed);
    }
}

TEST_F(NewUser, AValueOutsideItsFieldShowsClampedWithANoteAndOtherEditsWork) {
    start();
    openWithTheMenu(writeDocument(QStringLiteral("huge.qvl"), [](auto& record) {
        record.scale.x = 1e30f;
        record.reliefScale.y = -5.0f;
    }));
    EXPECT_EQ(block().field(Field::ScaleX)->text(), QStringLiteral("1000"));
    EXPECT_EQ(block().field(Field::ReliefScaleY)->text(), QStringLiteral("1"));
    EXPECT_TRUE(statusText().contains(QStringLiteral("Scale X 1e+31")))
        << statusText().toStdString();
    user::typeInto(block().field(Field::Detail), QStringLiteral("5"));
    user::key(block().field(Field::Detail), Qt::Key_Return);
    EXPECT_TRUE(dialogs.questions.isEmpty())
        << dialogs.questions.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(activeDocument()->record().octaves, 5);
    EXPECT_EQ(activeDocument()->record().scale.x, 1e30f);
}

TEST_F(NewUser, WindowsOpenAndCascadeWhollyInsideTheArea) {
    start();
    const QString big = writeDocument(QStringLiteral("big.qvl"), [](auto& record) {
        record.imageWidth = 1200;
        record.imageHeight = 700;
    });
    openWithTheMenu(big);
    openWithTheMenu(big);
    const QRect area = frame().mdiArea()->viewport()->rect();
    for (CChildFrame* child : frame().childFrames())
        EXPECT_TRUE(area.contains(child->geometry())) << child->windowTitle().toStdString();
    user::choose(&frame(), command(kCascade));
    // The first window keeps its own image's size, not the area's shrunken cascade size.
    const CChildFrame* first = frame().childFrames().constFirst();
    EXPECT_EQ(first->size(), QSize(172, 151));
    for (CChildFrame* child : frame().childFrames())
        EXPECT_TRUE(area.contains(child->geometry())) << child->windowTitle().toStdString();
}

TEST_F(NewUser, TheWindowAndItsDialogsFitSmallLogicalScreens) {
    start();
    // 1920 x 1080 at a scale factor of 2, less a title bar and a panel.
    const QSize screen(960, 540 - 60);
    const QSize least = frame().minimumSizeHint();
    EXPECT_LE(least.width(), screen.width());
    EXPECT_LE(least.height(), screen.height());
    quorvel::TextureParams copy = activeDocument()->record();
    CLightingDialog lighting(copy, {}, &frame());
    CReflectionDialog reflection(copy, &frame());
    CImageFormatDialog format(0, QSize(160, 120), &frame());
    CFreeFormatDialog freeFormat(160, 120, &frame());
    CAboutDialog about(&frame());
    CTipDialog tip(app->settings(), path(QStringLiteral("tips.txt")), &frame());
    for (QDialog* dialog : std::initializer_list<QDialog*>{&lighting, &reflection, &format,
                                                           &freeFormat, &about, &tip}) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        dialog->adjustSize();
        EXPECT_LE(dialog->height(), screen.height());
        // The whole title shows in the window manager's title bar.
        EXPECT_GE(dialog->width(), widthForTitle(*dialog));
    }
}

TEST_F(NewUser, StartUpLooksFinished) {
    start();
    // The splash comes after the frame and stays above it while it shows.
    ASSERT_NE(CSplashWindow::current(), nullptr);
    EXPECT_TRUE(CSplashWindow::current()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QStringList menus;
    for (QAction* item : frame().menuBar()->actions())
        menus.append(item->text());
    EXPECT_TRUE(menus.contains(QStringLiteral("&Tip")))
        << menus.join(QLatin1Char(' ')).toStdString();
    for (QAction* button : frame().toolBar()->actions()) {
        if (!button->isSeparator()) {
            EXPECT_FALSE(button->icon().pixmap(32).isNull()) << button->text().toStdString();
        }
    }
    const QComboBox* reliefs = block().reliefList();
    const auto* rows = static_cast<QListView*>(reliefs->view());
    int shown = 0;
    for (int i = 0; i < reliefs->count(); ++i)
        shown += rows->isRowHidden(i) || reliefs->itemText(i).isEmpty() ? 0 : 1;
    EXPECT_EQ(shown, 5);
    EXPECT_EQ(reliefs->count() - shown, 3);
    for (int i = 0; i < 8; ++i) {
        const QSize size = CImageFormatDialog::presetSize(i);
        EXPECT_TRUE(CImageFormatDialog::label(i).contains(
            QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height())))
            << CImageFormatDialog::label(i).toStdString();
    }
    CIntegerField* scale = block().field(Field::ScaleX);
    EXPECT_GE(scale->findChild<QLineEdit*>()->width(),
              scale->fontMetrics().horizontalAdvance(QStringLiteral("1000")));
}

TEST_F(NewUser, CancelInAClosePromptKeepsEverythingOpen) {
    start();
    activeDocument()->markUnsaved();
    CChildFrame* child = frame().activeChildFrame();
    dialogs.answers = {QMessageBox::Cancel, QMessageBox::Cancel};
    user::key(&frame(), Qt::Key_F4, Qt::ControlModifier);  // the window's close box
    settle();
    user::choose(&frame(), command(kExit));
    settle();
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(dialogs.buttonSets.constFirst().testFlag(QMessageBox::Cancel));
    EXPECT_TRUE(dialogs.questions.constFirst().endsWith(
        QStringLiteral("Do you wish to Save your Current Work ??")));
    EXPECT_EQ(frame().activeChildFrame(), child);
    EXPECT_TRUE(frame().isVisible());
    EXPECT_TRUE(activeDocument()->isModified());
    dialogs.answers = {QMessageBox::No};
}

TEST_F(NewUser, TheRecentFileAfterSaveAsOpens) {
    start();
    const QString saved = path(QStringLiteral("kept.qvl"));
    dialogs.saveChoices.push_back(saved);
    user::choose(&frame(), command(kSaveAs));
    user::choose(&frame(), frame().actions().recentFileActions().constFirst());
    settle();
    EXPECT_TRUE(dialogs.questions.isEmpty())
        << dialogs.questions.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(app->documents().size(), 2);
    EXPECT_EQ(activeDocument()->pathName(), saved);
}

TEST_F(NewUser, APrintIsNamedAfterTheTextureAndFitsThePageOnRequest) {
    start();
    const QString pdf = path(QStringLiteral("page.pdf"));
    dialogs.dialogSteps.push_back([&pdf](QDialog& dialog) {
        // Without a print system the dialog prints to a PDF file: its name is typed in.
        for (QLineEdit* name : dialog.findChildren<QLineEdit*>()) {
            if (name->isVisible() && name->text().contains(QStringLiteral("/home")))
                user::typeInto(name, pdf);
        }
        auto* fit = dialog.findChild<QCheckBox*>(QStringLiteral("fitToPage"));
        ASSERT_NE(fit, nullptr);
        // The option sits on a tab of the dialog's folded "Options" part.
        for (QPushButton* more : dialog.findChildren<QPushButton*>()) {
            if (more->isVisible() &&
                more->text().remove(QLatin1Char('&')) == QStringLiteral("Options >>"))
                user::click(more);
        }
        QTabWidget* tabs = nullptr;
        for (QWidget* above = fit; above && !tabs; above = above->parentWidget())
            tabs = qobject_cast<QTabWidget*>(above);
        ASSERT_NE(tabs, nullptr);
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(fit))
                user::click(tabs->tabBar(), tabs->tabBar()->tabRect(i).center());
        }
        user::click(fit, QPoint(8, fit->height() / 2));  // on its box, not past its label
        user::click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
    });
    user::shortcut(&frame(), command(kPrint));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // PDF text strings are UTF-16 here: look for the title and the creator in that form.
    const auto utf16 = [](const QString& text) {
        QByteArray out;
        for (const QChar c : text)
            out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
        return out;
    };
    EXPECT_TRUE(bytes.contains(utf16(QStringLiteral("Quorve1")))) << "no title";
    EXPECT_TRUE(bytes.contains(utf16(QStringLiteral("Quorvel")))) << "no creator";
    EXPECT_TRUE(app->settings().value(QStringLiteral("Print/FitToPage")).toBool());
    // Fitted, a 160 x 120 texture fills the page's width at the printer's resolution.
    const QSize page(4800, 6000);
    const auto layout =
        CTexturePrinter::layoutPage(QFontMetrics(QFont()), page, QSize(160, 120), true);
    EXPECT_EQ(layout.texture.width(), page.width());
    EXPECT_EQ(layout.texture.height(), 3600);
}
