// File > Open, driven through the menu and the real dialogs: what the
// window shows, its title and its client area after each kind of outcome.

#include "support/MainForm.h"
#include "support/Pictures.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <map>

using namespace viewertest;
using magtest::buildMag;
using magtest::TempDir;

namespace {

const QString kOpenFailed = QString::fromUtf8("ファイルのオープンに失敗");
const QString kConversionFailed = QStringLiteral("Failed by MMAG_MagtoBmp");

class OpenCommand : public MainFormTest {
protected:
    std::string writePicture(const std::string& name, const magtest::MagParts& parts)
    {
        return files.write(name, buildMag(parts));
    }

    QString title() const { return window().windowTitle(); }

    // The one warning a failed run shows, of the given text.
    static void expectWarning(const SeenDialog& dialog, const QString& text)
    {
        EXPECT_EQ(dialog.kind, "message");
        EXPECT_EQ(dialog.title, QString::fromUtf8("警告"));
        EXPECT_EQ(dialog.text, text);
        EXPECT_EQ(dialog.icon, QMessageBox::Warning);
        EXPECT_EQ(dialog.buttons, QStringList{"OK"});
        EXPECT_TRUE(dialog.firstButtonIsDefaultAndEscape);
    }

    TempDir files;
};

TEST_F(OpenCommand, CancellingChangesNothing)
{
    const QSize before = clientSize();
    dialogs().then(pressEscape());
    chooseFromFileMenu(Qt::Key_O);

    ASSERT_EQ(dialogs().seen().size(), 1u);
    EXPECT_EQ(dialogs().seen()[0].kind, "file");
    EXPECT_EQ(title(), QString("Lunidor"));
    EXPECT_EQ(clientSize(), before);
    EXPECT_EQ(Form1->Image1->Picture->Graphic, nullptr);
    EXPECT_EQ(Form1->OpenDialog->FileName, "");
    EXPECT_EQ(Form1->OpenDialog->FilterIndex, 1);
}

TEST_F(OpenCommand, FirstDialogOpensInTheCurrentFolderWithTheMagFilterSelected)
{
    dialogs().then(pressEscape());
    chooseFromFileMenu(Qt::Key_O);

    ASSERT_EQ(dialogs().seen().size(), 1u);
    const SeenDialog& dialog = dialogs().seen()[0];
    EXPECT_EQ(dialog.directory, QDir::currentPath());
    EXPECT_EQ(dialog.typedName, QString());
    EXPECT_EQ(dialog.filters, (QStringList{"MAG FILES (*.mag)", "ALL FILES (*.*)"}));
    EXPECT_EQ(dialog.selectedFilter, 0);
}

struct PictureCase {
    const char* name;
    std::uint8_t screenMode;
    std::uint16_t width, height;
};

class OpenPicture : public OpenCommand, public testing::WithParamInterface<PictureCase> {};

TEST_P(OpenPicture, ShowsItUnscaledInAClientAreaOfItsSizeAndNamesTheFile)
{
    const PictureCase& c = GetParam();
    const magtest::MagParts parts = randomPicture(c.screenMode, c.width, c.height);
    openByTyping(writePicture("picture.mag", parts));

    EXPECT_TRUE(dialogs().seen().size() == 1u && dialogs().seen()[0].kind == "file");
    EXPECT_EQ(title(), QString("Lunidor - [picture.mag]"));
    EXPECT_EQ(clientSize(), QSize(c.width, c.height));
    EXPECT_EQ(int(Form1->ClientWidth), c.width);
    EXPECT_EQ(int(Form1->ClientHeight), c.height);
    EXPECT_EQ(int(Form1->Image1->Width), c.width);
    EXPECT_EQ(int(Form1->Image1->Height), c.height);
    EXPECT_EQ(differingPixels(grabClient(), expectedImage(parts)), 0);
}

INSTANTIATE_TEST_SUITE_P(Viewer, OpenPicture,
                         testing::Values(PictureCase{"colours16_64x32", 0x00, 64, 32},
                                         PictureCase{"colours16_320x200", 0x00, 320, 200},
                                         PictureCase{"colours256_100x60", 0x80, 100, 60},
                                         PictureCase{"colours16_small", 0x00, 16, 8},
                                         PictureCase{"colours16_larger_than_window", 0x00, 640, 400}),
                         [](const testing::TestParamInfo<PictureCase>& row) { return std::string(row.param.name); });

TEST_F(OpenCommand, AWindowMadeSmallerThanThePictureShowsScrollBarsForTheRest)
{
    openByTyping(writePicture("wide.mag", randomPicture(0x00, 320, 200)));
    ASSERT_EQ(clientSize(), QSize(320, 200));
    EXPECT_FALSE(clientArea().horizontalScrollBar()->isVisible());
    EXPECT_FALSE(clientArea().verticalScrollBar()->isVisible());

    window().resize(200, window().height() - 100);  // as a user drags the frame
    QCoreApplication::processEvents();
    EXPECT_TRUE(clientArea().horizontalScrollBar()->isVisible());
    EXPECT_TRUE(clientArea().verticalScrollBar()->isVisible());
    EXPECT_GT(clientArea().horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(clientArea().verticalScrollBar()->maximum(), 0);
}

TEST_F(OpenCommand, FailureOnTheFirstRunLeavesAnEmptyClientAreaOfTheDescribedSize)
{
    const std::string text = files.write("notes.txt", magtest::Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
    dialogs().then(typeFileName(QString::fromStdString(text))).then(pressEnter());
    chooseFromFileMenu(Qt::Key_O);

    ASSERT_EQ(dialogs().seen().size(), 2u);
    expectWarning(dialogs().seen()[1], kOpenFailed);
    EXPECT_EQ(title(), QString("Lunidor - [notes.txt]"));
    EXPECT_EQ(clientSize(), QSize(105, 105));
    // The picture now holds an empty bitmap, which draws nothing.
    ASSERT_NE(Form1->Image1->Picture->Graphic, nullptr);
    EXPECT_TRUE(Form1->Image1->Picture->Graphic->Empty);
    const QImage shot = grabClient();
    EXPECT_EQ(shot.pixel(104, 104), shot.pixel(0, 0));
}

TEST_F(OpenCommand, AFileThatIsNotMagKeepsThePreviousPictureAndSizeButNamesTheFile)
{
    const magtest::MagParts parts = randomPicture(0x00, 64, 32);
    openByTyping(writePicture("first.mag", parts));
    ASSERT_EQ(clientSize(), QSize(64, 32));

    const std::string text = files.write("notes.txt", magtest::Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
    dialogs().then(typeFileName(QString::fromStdString(text))).then(pressEnter());
    chooseFromFileMenu(Qt::Key_O);

    ASSERT_EQ(dialogs().seen().size(), 3u);
    expectWarning(dialogs().seen()[2], kOpenFailed);
    EXPECT_EQ(title(), QString("Lunidor - [notes.txt]"));
    EXPECT_EQ(clientSize(), QSize(64, 32));
    EXPECT_EQ(differingPixels(grabClient(), expectedImage(parts)), 0);
}

TEST_F(OpenCommand, AConversionThatFailsAfterTheHeaderShowsTwoWarningsInOrder)
{
    openByTyping(writePicture("cut.mag", areasPastEnd()));
    dialogs().then(pressEnter()).then(pressEnter());
    // The two warnings come while the command still runs; their answers
    // were queued after the file dialog's.
    ASSERT_EQ(dialogs().seen().size(), 3u);
    expectWarning(dialogs().seen()[1], kConversionFailed);
    expectWarning(dialogs().seen()[2], kOpenFailed);
    EXPECT_EQ(title(), QString("Lunidor - [cut.mag]"));
    EXPECT_EQ(clientSize(), QSize(105, 105));
}

TEST_F(OpenCommand, ATypedNameOfAMissingFileIsAcceptedAndReportedAsAFailedOpen)
{
    const std::string missing = files.path("nowhere.mag");
    dialogs().then(typeFileName(QString::fromStdString(missing))).then(pressEnter());
    chooseFromFileMenu(Qt::Key_O);

    ASSERT_EQ(dialogs().seen().size(), 2u);
    expectWarning(dialogs().seen()[1], kOpenFailed);
    EXPECT_EQ(Form1->OpenDialog->FileName, missing);
    EXPECT_EQ(title(), QString("Lunidor - [nowhere.mag]"));
}

TEST_F(OpenCommand, ANameWithJapaneseCharactersComesOutWholeInTheTitle)
{
    openByTyping(writePicture("表ソ能.mag", randomPicture(0x00, 64, 32)));
    EXPECT_EQ(title(), QString::fromUtf8("Lunidor - [表ソ能.mag]"));
    EXPECT_EQ(clientSize(), QSize(64, 32));
}

TEST_F(OpenCommand, TheNextDialogOffersTheLastConfirmedPathAndFilterAndACancelKeepsThem)
{
    const std::string first = writePicture("first.mag", randomPicture(0x00, 64, 32));
    // Pick "ALL FILES (*.*)" before typing the name.
    dialogs().then([first](QWidget* dialog) {
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);
        typeFileName(QString::fromStdString(first))(dialog);
    });
    chooseFromFileMenu(Qt::Key_O);
    EXPECT_EQ(Form1->OpenDialog->FileName, first);
    EXPECT_EQ(Form1->OpenDialog->FilterIndex, 2);

    dialogs().then(pressEscape()).then(pressEscape());
    chooseFromFileMenu(Qt::Key_O);
    chooseFromFileMenu(Qt::Key_O);

    ASSERT_EQ(dialogs().seen().size(), 3u);
    for (std::size_t i : {1u, 2u}) {
        const SeenDialog& offered = dialogs().seen()[i];
        EXPECT_EQ(offered.directory, QString::fromStdString(std::filesystem::path(first).parent_path().string()));
        EXPECT_EQ(offered.typedName, QString("first.mag"));
        EXPECT_EQ(offered.selectedFilter, 1);
    }
    EXPECT_EQ(Form1->OpenDialog->FileName, first);
    EXPECT_EQ(Form1->OpenDialog->FilterIndex, 2);
    EXPECT_EQ(title(), QString("Lunidor - [first.mag]"));
}

TEST_F(OpenCommand, TheAllFilesFilterListsFilesWithAndWithoutADot)
{
    files.write("a.mag", buildMag(randomPicture(0x00, 64, 32)));
    files.write("b.MAG", buildMag(randomPicture(0x00, 64, 32)));
    files.write("README", magtest::Bytes{'x'});
    files.write("c.txt", magtest::Bytes{'x'});
    const QString folder = QString::fromStdString(files.path(""));
    std::map<int, QStringList> listed;
    auto listFor = [&](int filter) {
        return [&, filter](QWidget* dialog) {
            auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
            fileDialog->setDirectory(folder);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; i < filter; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            QTest::qWait(300);  // the folder is read in the background
            auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
            QAbstractItemModel* model = view->model();
            const QModelIndex root = view->rootIndex();
            for (int row = 0; row < model->rowCount(root); ++row)
                listed[filter] << model->index(row, 0, root).data().toString();
            listed[filter].sort();
            pressEscape()(dialog);
        };
    };
    dialogs().then(listFor(0)).then(listFor(1));
    chooseFromFileMenu(Qt::Key_O);
    chooseFromFileMenu(Qt::Key_O);
    EXPECT_EQ(listed[0], (QStringList{"a.mag", "b.MAG"}));
    EXPECT_EQ(listed[1], (QStringList{"README", "a.mag", "b.MAG", "c.txt"}));
}

}  // namespace
