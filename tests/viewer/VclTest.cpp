// The stand-in for the component library: the behaviour the viewer relies
// on, class by class.

#include "support/MagBuilder.h"
#include "support/ModalDriver.h"
#include "support/Pictures.h"
#include "vcl/FormReader.h"
#include "vcl/qt/Peers.h"

#include "mag/Mag.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

using namespace viewertest;
using magtest::Bytes;

namespace {

// ---- ExtractFileName -------------------------------------------------------

struct FileNameCase {
    const char* name;
    const char* path;
    const char* expected;
};

class FileNames : public testing::TestWithParam<FileNameCase> {};

TEST_P(FileNames, ArePartsAfterTheLastSeparator)
{
    EXPECT_EQ(ExtractFileName(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Vcl, FileNames,
    testing::Values(FileNameCase{"full_path", "/pics/cat.mag", "cat.mag"},
                    FileNameCase{"no_separator", "cat.mag", "cat.mag"},
                    FileNameCase{"trailing_separator", "/pics/", ""},
                    FileNameCase{"empty", "", ""},
                    // 表 and ソ end in 0x5C in Shift-JIS; UTF-8 has no 0x2F inside a character.
                    FileNameCase{"japanese", "/写真/表ソ.mag", "表ソ.mag"},
                    FileNameCase{"backslash_belongs_to_the_name", "/pics/a\\b.mag", "a\\b.mag"}),
    [](const testing::TestParamInfo<FileNameCase>& row) { return std::string(row.param.name); });

// ---- TMemoryStream ---------------------------------------------------------

TEST(MemoryStream, GrowsAsItIsWrittenAndReadsBackFromItsPosition)
{
    TMemoryStream stream;
    EXPECT_EQ(std::int64_t(stream.Position), 0);
    EXPECT_EQ(std::int64_t(stream.Size), 0);
    const Bytes bytes{1, 2, 3, 4, 5};
    stream.WriteBuffer(bytes.data(), bytes.size());
    EXPECT_EQ(std::int64_t(stream.Position), 5);
    EXPECT_EQ(std::int64_t(stream.Size), 5);

    stream.Position = 1;
    Bytes back(8, 0);
    EXPECT_EQ(stream.Read(back.data(), back.size()), 4u);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 4), (Bytes{2, 3, 4, 5}));
    EXPECT_EQ(stream.Read(back.data(), back.size()), 0u);
}

// A stream that takes fewer bytes than it is given.
class ShortStream : public TMemoryStream {
public:
    std::size_t Write(const void* Buffer, std::size_t Count) override
    {
        return TMemoryStream::Write(Buffer, Count / 2);
    }
};

TEST(MemoryStream, WriteBufferRaisesEWriteErrorWhenTheStreamTakesFewerBytes)
{
    ShortStream stream;
    const Bytes bytes(10, 7);
    EXPECT_THROW(stream.WriteBuffer(bytes.data(), bytes.size()), EWriteError);
    EXPECT_NO_THROW(stream.WriteBuffer(bytes.data(), 0));
}

// ---- TBitmap and TPicture --------------------------------------------------

// The BMP file image the converter makes of the parts.
Bytes bmpOf(const magtest::MagParts& parts)
{
    const Bytes file = magtest::buildMag(parts);
    std::uint32_t size = 0;
    EXPECT_EQ(mag::probeBmpSize(file.data(), static_cast<std::uint32_t>(file.size()), &size), mag::Status::Ok);
    Bytes image(size);
    EXPECT_EQ(mag::convertToBmp(file.data(), static_cast<std::uint32_t>(file.size()), image.data(), size),
              mag::Status::Ok);
    return image;
}

std::unique_ptr<TMemoryStream> streamOf(const Bytes& bytes)
{
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer(bytes.data(), bytes.size());
    stream->Position = 0;
    return stream;
}

struct BitmapCase {
    const char* name;
    std::uint8_t screenMode;
    std::uint16_t width, height;
    int colours;
};

class BitmapLoading : public testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapLoading, KeepsItsOwnCopyOfTheImageWithItsSizeAndColours)
{
    const BitmapCase& c = GetParam();
    const magtest::MagParts parts = randomPicture(c.screenMode, c.width, c.height);
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&changes](TObject*) { ++changes; };
    {
        auto stream = streamOf(bmpOf(parts));
        bitmap.LoadFromStream(stream.get());
    }  // the stream is gone; the bitmap must not need it
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(int(bitmap.Width), c.width);
    EXPECT_EQ(int(bitmap.Height), c.height);
    const QImage& image = bitmap.GetPeer().image;
    EXPECT_EQ(image.colorCount(), c.colours);
    EXPECT_EQ(differingPixels(image, expectedImage(parts)), 0);
}

INSTANTIATE_TEST_SUITE_P(Vcl, BitmapLoading,
                         testing::Values(BitmapCase{"bits4", 0x00, 64, 32, 16}, BitmapCase{"bits8", 0x80, 40, 24, 256}),
                         [](const testing::TestParamInfo<BitmapCase>& row) { return std::string(row.param.name); });

TEST(BitmapLoading, RefusesAStreamThatDoesNotStartWithBMAndKeepsWhatItHad)
{
    const magtest::MagParts parts = randomPicture(0x00, 64, 32);
    TBitmap bitmap;
    auto good = streamOf(bmpOf(parts));
    bitmap.LoadFromStream(good.get());

    Bytes notBmp = bmpOf(parts);
    notBmp[0] = 'X';
    for (const Bytes& bad : {notBmp, Bytes{}, Bytes{'B'}, Bytes{'B', 'M', 0, 0}}) {
        auto stream = streamOf(bad);
        EXPECT_THROW(bitmap.LoadFromStream(stream.get()), EInvalidGraphic);
    }
    EXPECT_EQ(int(bitmap.Width), 64);
    EXPECT_EQ(differingPixels(bitmap.GetPeer().image, expectedImage(parts)), 0);
}

TEST(Picture, MakesAnEmptyBitmapWhenItsBitmapIsFirstAskedFor)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&changes](TObject*) { ++changes; };
    EXPECT_EQ(picture.Graphic, nullptr);
    TBitmap* bitmap = picture.Bitmap;
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.Graphic, bitmap);
    EXPECT_TRUE(bitmap->Empty);
    EXPECT_EQ(int(picture.Width), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.Bitmap, bitmap);
    EXPECT_EQ(changes, 1);
}

// ---- TImage ----------------------------------------------------------------

struct AutoSizeCase {
    const char* name;
    bool autoSize;
    bool load;  // false: only an empty bitmap
    int width, height;
};

class ImageAutoSize : public testing::TestWithParam<AutoSizeCase> {};

TEST_P(ImageAutoSize, FollowsOnlyPicturesWithBothSidesAboveZero)
{
    const AutoSizeCase& c = GetParam();
    Application->Initialize();
    TImage image(nullptr);
    image.SetBounds(3, 4, 105, 105);
    image.AutoSize = c.autoSize;
    TBitmap* bitmap = image.Picture->Bitmap;
    if (c.load) {
        auto stream = streamOf(bmpOf(randomPicture(0x00, 64, 32)));
        bitmap->LoadFromStream(stream.get());
    }
    EXPECT_EQ(int(image.Left), 3);
    EXPECT_EQ(int(image.Top), 4);
    EXPECT_EQ(int(image.Width), c.width);
    EXPECT_EQ(int(image.Height), c.height);
}

INSTANTIATE_TEST_SUITE_P(Vcl, ImageAutoSize,
                         testing::Values(AutoSizeCase{"picture_with_autosize", true, true, 64, 32},
                                         AutoSizeCase{"picture_without_autosize", false, true, 105, 105},
                                         AutoSizeCase{"empty_bitmap_with_autosize", true, false, 105, 105}),
                         [](const testing::TestParamInfo<AutoSizeCase>& row) { return std::string(row.param.name); });

// ---- MessageDlg and the default exception handling ------------------------

TEST(MessageDialog, WarningIsCaptionedKeikokuWithTheExclamationIconAndOneOkButton)
{
    Application->Initialize();
    ModalDriver dialogs;
    dialogs.then(pressEscape());
    EXPECT_EQ(MessageDlg("text", mtWarning, TMsgDlgButtons() << mbOK, 0), mrOk);
    ASSERT_EQ(dialogs.seen().size(), 1u);
    const SeenDialog& seen = dialogs.seen()[0];
    EXPECT_EQ(seen.title, QString::fromUtf8("警告"));
    EXPECT_EQ(seen.text, QString("text"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_TRUE(seen.firstButtonIsDefaultAndEscape);
}

TEST(DefaultExceptionHandling, AnExceptionFromAMenuHandlerIsShownAndTheProgramRunsOn)
{
    Application->Initialize();
    Application->Title = "Lunidor";
    TMenuItem item(nullptr);
    int clicks = 0;
    item.OnClick = [&clicks](TObject*) {
        if (++clicks == 1)
            throw EWriteError("Stream write error");
        throw std::runtime_error("out of something");
    };
    ModalDriver dialogs;
    dialogs.then(pressEnter()).then(pressEnter());
    item.GetPeer().action->trigger();
    item.GetPeer().action->trigger();

    ASSERT_EQ(dialogs.seen().size(), 2u);
    EXPECT_EQ(dialogs.seen()[0].title, QString("Lunidor"));
    EXPECT_EQ(dialogs.seen()[0].text, QString("Stream write error."));
    EXPECT_EQ(dialogs.seen()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs.seen()[0].buttons, QStringList{"OK"});
    EXPECT_TRUE(dialogs.seen()[0].firstButtonIsDefaultAndEscape);
    EXPECT_EQ(dialogs.seen()[1].text, QString("out of something."));
    EXPECT_EQ(clicks, 2);
}

// ---- The stored form description -------------------------------------------

struct SyntaxCase {
    const char* name;
    const char* text;
    const char* message;  // a part of the error's message
};

class DescriptionSyntax : public testing::TestWithParam<SyntaxCase> {};

TEST_P(DescriptionSyntax, IsRefusedNamingTheLine)
{
    try {
        ParseFormDescription(GetParam().text);
        ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find(GetParam().message), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vcl, DescriptionSyntax,
    testing::Values(SyntaxCase{"empty", "", "line 1: 'object' was expected"},
                    SyntaxCase{"no_end", "object F: TForm1\n  Left = 1\n", "line 3: 'end' is missing"},
                    SyntaxCase{"no_colon", "object F TForm1\nend", "line 1: ':' was expected"},
                    SyntaxCase{"open_string", "object F: TForm1\n  Caption = 'abc\nend", "line 2: the string is not closed"},
                    SyntaxCase{"no_value", "object F: TForm1\n  Left =\nend", "line 3: a value was expected"},
                    SyntaxCase{"bad_set", "object F: TForm1\n  Font.Style = [fsBold,]\nend", "line 2: a name was expected"},
                    SyntaxCase{"huge_integer", "object F: TForm1\n  Left = 99999999999\nend", "too large"},
                    SyntaxCase{"stray_character", "object F: TForm1\n  Left = 1;\nend", "line 2: unexpected character"},
                    SyntaxCase{"text_after_end", "object F: TForm1\nend\nend", "line 3: text after the final"}),
    [](const testing::TestParamInfo<SyntaxCase>& row) { return std::string(row.param.name); });

TEST(DescriptionSyntax, ReadsValuesOfEveryKind)
{
    const TFormObject root = ParseFormDescription(
        "object Form1: TForm1\n  Left = -12\n  Caption = 'it''s ＭＳ'\n  Menu = MainMenu\n"
        "  Font.Style = [fsBold, fsItalic]\n  object Image1: TImage\n  end\nend\n");
    EXPECT_EQ(root.Name, "Form1");
    EXPECT_EQ(root.ClassName, "TForm1");
    ASSERT_EQ(root.Properties.size(), 4u);
    EXPECT_EQ(root.Properties[0].Value.AsInteger(), -12);
    EXPECT_EQ(root.Properties[1].Value.AsString(), "it's ＭＳ");
    EXPECT_EQ(root.Properties[2].Value.AsIdentifier(), "MainMenu");
    EXPECT_EQ(root.Properties[3].Name, "Font.Style");
    EXPECT_EQ(root.Properties[3].Value.AsSet(), (std::vector<AnsiString>{"fsBold", "fsItalic"}));
    ASSERT_EQ(root.Children.size(), 1u);
    EXPECT_EQ(root.Children[0].Line, 6);
}

// A form class of two members for the reader's tests.
class TTestForm : public TForm {
public:
    using TForm::TForm;
    TImage* Picture = nullptr;
    void Clicked(TObject*) { ++clicks; }
    int clicks = 0;
};

const TFormClass& testFormClass()
{
    static const TFormClass formClass{"TTestForm",
                                      {Published("Picture", &TTestForm::Picture)},
                                      {Published("Clicked", &TTestForm::Clicked)}};
    return formClass;
}

}  // namespace

template <>
const TFormClass& FormClassOf<TTestForm>()
{
    return testFormClass();
}

namespace {

TEST(CreateForm, AFormThatCannotBeBuiltLeavesItsGlobalNullAndPassesTheExceptionOn)
{
    Application->Initialize();
    TTestForm* form = nullptr;
    try {
        Application->CreateForm(&form);  // no description is stored for this class
        ADD_FAILURE() << "built";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Resource TTESTFORM not found");
    }
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

struct ReaderCase {
    const char* name;
    const char* text;
    const char* message;
};

class DescriptionReading : public testing::TestWithParam<ReaderCase> {};

TEST_P(DescriptionReading, RefusesWhatTheFormClassCannotTake)
{
    Application->Initialize();
    TTestForm form(nullptr);
    try {
        ReadForm(form, testFormClass(), ParseFormDescription(GetParam().text));
        ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find(GetParam().message), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vcl, DescriptionReading,
    testing::Values(
        ReaderCase{"other_class", "object F: TForm2\nend", "not of TTestForm"},
        ReaderCase{"unknown_class", "object F: TTestForm\n  object B: TButton\n  end\nend", "class TButton is not known"},
        ReaderCase{"unknown_property", "object F: TTestForm\n  Colour = 1\nend", "F.Colour (line 2): property Colour does not exist"},
        ReaderCase{"wrong_kind", "object F: TTestForm\n  Caption = 12\nend", "a quoted string was expected"},
        ReaderCase{"missing_handler",
                   "object F: TTestForm\n  object M: TMainMenu\n    object I: TMenuItem\n      OnClick = Gone\n    end\n  end\nend",
                   "has no published handler Gone"},
        ReaderCase{"field_of_other_class", "object F: TTestForm\n  object Picture: TMainMenu\n  end\nend",
                   "Picture is not of class TMainMenu"},
        ReaderCase{"missing_reference", "object F: TTestForm\n  Menu = Nothing\nend", "no component named Nothing"},
        ReaderCase{"reference_of_other_class", "object F: TTestForm\n  Menu = Picture\n  object Picture: TImage\n  end\nend",
                   "Picture is not a TMainMenu"},
        ReaderCase{"item_outside_a_menu", "object F: TTestForm\n  object I: TMenuItem\n  end\nend",
                   "can only lie in a menu"},
        ReaderCase{"duplicate_name", "object F: TTestForm\n  object A: TImage\n  end\n  object A: TImage\n  end\nend",
                   "already exists"},
        ReaderCase{"unknown_charset", "object F: TTestForm\n  Font.Charset = KLINGON_CHARSET\nend", "is not a charset"}),
    [](const testing::TestParamInfo<ReaderCase>& row) { return std::string(row.param.name); });

TEST(DescriptionReading, BindsFieldsAndHandlersByName)
{
    Application->Initialize();
    TTestForm form(nullptr);
    ReadForm(form, testFormClass(),
             ParseFormDescription("object F: TTestForm\n  Menu = M\n  object Picture: TImage\n    Width = 7\n  end\n"
                                  "  object M: TMainMenu\n    object I: TMenuItem\n      Caption = 'Go'\n"
                                  "      OnClick = Clicked\n    end\n  end\nend"));
    ASSERT_NE(form.Picture, nullptr);
    EXPECT_EQ(form.Picture, form.FindComponent("Picture"));
    EXPECT_EQ(int(form.Picture->Width), 7);
    auto* item = dynamic_cast<TMenuItem*>(form.FindComponent("I"));
    ASSERT_NE(item, nullptr);
    item->Click();
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.Menu, form.FindComponent("M"));
}

}  // namespace
