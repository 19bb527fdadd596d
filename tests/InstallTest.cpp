// cmake --install into a fresh prefix, then looked at the way a desktop
// looks at it: the MIME database built from our definition, the menu entry,
// the thumbnailer run as a file manager runs it, the icon and the manual.

#include "support/MagBuilder.h"
#include "support/RunTool.h"
#include "support/ToolPictures.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QMimeDatabase>

#include <filesystem>
#include <map>
#include <sstream>

#include <unistd.h>

using namespace magtest;
namespace fs = std::filesystem;

namespace {

// The keys of a desktop-entry style file, by group and key.
std::map<std::string, std::string> keysOf(const std::string& path, const std::string& group)
{
    const Bytes bytes = readFile(path);
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::map<std::string, std::string> keys;
    std::string current;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('['))
            current = line;
        else if (current == "[" + group + "]" && line.find('=') != std::string::npos)
            keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return keys;
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    return path;
}

}  // namespace

class Installed : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = new TempDir;
        prefix_ = withoutTrailingSlash(root_->path("prefix"));
        install_ = runProgram(LUNIDOR_CMAKE, {"--install", LUNIDOR_BUILD_DIR, "--prefix", prefix_});
    }

    static void TearDownTestSuite()
    {
        delete root_;
        root_ = nullptr;
    }

    void SetUp() override { ASSERT_EQ(install_.status, 0) << install_.out << install_.err; }

    static std::string at(const std::string& relative) { return prefix_ + "/" + relative; }

    static TempDir* root_;
    static std::string prefix_;
    static ToolResult install_;
};

TempDir* Installed::root_ = nullptr;
std::string Installed::prefix_;
ToolResult Installed::install_;

TEST_F(Installed, EveryFileWhereADesktopLooksForIt)
{
    std::vector<std::string> files = {"bin/lunidor-convert",
                                      "share/man/man1/lunidor-convert.1",
                                      "share/applications/lunidor.desktop",
                                      "share/mime/packages/lunidor.xml",
                                      "share/thumbnailers/lunidor.thumbnailer",
                                      "share/icons/hicolor/32x32/apps/lunidor.png",
                                      "share/icons/hicolor/scalable/apps/lunidor.svg"};
    // The viewer is built by its own part of the tree, which may be absent.
    if (LUNIDOR_HAS_VIEWER)
        files.push_back("bin/lunidor");
    for (const std::string& file : files)
        EXPECT_TRUE(fs::is_regular_file(at(file))) << file;
    for (const char* program : {"bin/lunidor-convert", "bin/lunidor"}) {
        if (fs::exists(at(program))) {
            EXPECT_EQ(::access(at(program).c_str(), X_OK), 0) << program;
        }
    }
}

TEST_F(Installed, IconsAreOursAtTheirSizes)
{
    EXPECT_EQ(readFile(at("share/icons/hicolor/32x32/apps/lunidor.png")),
              readFile(LUNIDOR_SOURCE_DIR "/src/icons/lunidor-32.png"));
    EXPECT_EQ(readFile(at("share/icons/hicolor/scalable/apps/lunidor.svg")),
              readFile(LUNIDOR_SOURCE_DIR "/src/icons/lunidor.svg"));
    EXPECT_EQ(QImage(QString::fromStdString(at("share/icons/hicolor/32x32/apps/lunidor.png"))).size(), QSize(32, 32));
}

TEST_F(Installed, MimeDefinitionPassesUpdateMimeDatabase)
{
    // With the prefix among the data directories, so that it has no reason
    // to add its note about the search path.
    const ToolResult update = runProgram("/usr/bin/env", {"XDG_DATA_DIRS=" + prefix_ + "/share:/usr/share",
                                                          "XDG_DATA_HOME=" + prefix_ + "/share",
                                                          "/usr/bin/update-mime-database", at("share/mime")});
    EXPECT_EQ(update.status, 0);
    EXPECT_EQ(update.err, "") << "warnings about our definition";
    EXPECT_TRUE(fs::is_regular_file(at("share/mime/image/x-mag.xml")));
    const Bytes globs = readFile(at("share/mime/globs2"));
    const std::string globText(globs.begin(), globs.end());
    EXPECT_NE(globText.find(":image/x-mag:*.mag\n"), std::string::npos) << "a glob without :cs matches any case";
    const Bytes magic = readFile(at("share/mime/magic"));
    EXPECT_NE(std::string(magic.begin(), magic.end()).find("MAKI02  "), std::string::npos);
}

TEST_F(Installed, DesktopTellsMagFilesByNameInAnyCaseAndByContent)
{
    // Qt's MIME database reads the caches of XDG_DATA_DIRS on first use.
    TempDir home;
    ASSERT_EQ(::setenv("XDG_DATA_DIRS", (prefix_ + "/share:/usr/share").c_str(), 1), 0);
    ASSERT_EQ(::setenv("XDG_DATA_HOME", home.path("none").c_str(), 1), 0);
    const std::string unnamed = home.write("picture.bin", buildMag(randomPicture(0x00, 0, 15, 2, 90)));
    const QMimeDatabase db;
    for (const char* name : {"a.mag", "PICTURE.MAG", "Mixed.Mag"})
        EXPECT_EQ(db.mimeTypeForFile(name, QMimeDatabase::MatchExtension).name().toStdString(), "image/x-mag") << name;
    EXPECT_EQ(db.mimeTypeForFile(QString::fromStdString(unnamed), QMimeDatabase::MatchContent).name().toStdString(),
              "image/x-mag");
    EXPECT_EQ(db.mimeTypeForName("image/x-mag").comment().toStdString(), "MAG picture");
}

TEST_F(Installed, DesktopEntryStartsTheViewerAndClaimsNoFiles)
{
    const std::string entry = at("share/applications/lunidor.desktop");
    const ToolResult validate = runProgram("/usr/bin/desktop-file-validate", {entry});
    EXPECT_EQ(validate.status, 0) << validate.out << validate.err;
    EXPECT_EQ(validate.out.find("error"), std::string::npos) << validate.out;
    auto keys = keysOf(entry, "Desktop Entry");
    EXPECT_EQ(keys["Type"], "Application");
    EXPECT_EQ(keys["Exec"], prefix_ + "/bin/lunidor") << "the viewer takes no file arguments";
    EXPECT_EQ(keys["Icon"], "lunidor");
    EXPECT_EQ(keys.count("MimeType"), 0u);
}

TEST_F(Installed, ThumbnailerRunsAsAFileManagerRunsIt)
{
    auto keys = keysOf(at("share/thumbnailers/lunidor.thumbnailer"), "Thumbnailer Entry");
    EXPECT_EQ(keys["MimeType"], "image/x-mag;");
    EXPECT_EQ(keys["TryExec"], prefix_ + "/bin/lunidor-convert");
    std::vector<std::string> command = words(keys["Exec"]);
    ASSERT_FALSE(command.empty());
    TempDir dir;
    const std::string in = dir.write("in.mag", buildMag(randomPicture(0x01, 0, 639, 200, 91)));
    const std::string out = dir.write("made-by-the-file-manager.png", Bytes());
    for (std::string& w : command) {
        if (w == "%s")
            w = "128";
        else if (w == "%i")
            w = in;
        else if (w == "%o")
            w = out;
    }
    const std::string program = command.front();
    command.erase(command.begin());
    const ToolResult run = runProgram(program, command);
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes png = readFile(out);
    QImage thumbnail;
    thumbnail.loadFromData(QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())));
    EXPECT_EQ(thumbnail.size(), QSize(128, 80));
}

TEST_F(Installed, ManualPageFormatsWithoutWarnings)
{
    const ToolResult groff =
        runProgram("/usr/bin/groff", {"-man", "-ww", "-z", "-Tutf8", at("share/man/man1/lunidor-convert.1")});
    EXPECT_EQ(groff.status, 0);
    EXPECT_EQ(groff.err, "");
}

TEST(StagedInstall, LeavesTheMimeDatabaseToThePackageAndNamesTheFinalPrefix)
{
    TempDir stage;
    const std::string destdir = withoutTrailingSlash(stage.path(""));
    const ToolResult run = runProgram(
        "/usr/bin/env", {"DESTDIR=" + destdir, LUNIDOR_CMAKE, "--install", LUNIDOR_BUILD_DIR, "--prefix", "/usr"});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(fs::is_regular_file(stage.path("usr/share/mime/packages/lunidor.xml")));
    EXPECT_FALSE(fs::exists(stage.path("usr/share/mime/mime.cache")));
    EXPECT_EQ(keysOf(stage.path("usr/share/thumbnailers/lunidor.thumbnailer"), "Thumbnailer Entry")["TryExec"],
              "/usr/bin/lunidor-convert");
}
