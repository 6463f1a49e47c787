#include "app/HelpFile.h"
#include "app/widgets/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The help window needs the widget application; one per test program.
class WidgetEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_help";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Compiles a help file `name`.chm in `dir` whose page `page` says `greeting`,
// with a second page and a 3 x 2 picture beside it.
void CompileHelp(const std::filesystem::path& dir, const std::string& name,
                 const std::string& greeting, const std::string& page = "Splicebox.html") {
    const auto source = dir / ("source-" + name);
    WriteFile(source / "HTML PAGES" / page,
              "<html><body><h1>" + greeting +
                  "</h1><img src=\"pics/dot.bmp\"><a href=\"more.html\">more</a></body></html>");
    WriteFile(source / "HTML PAGES/more.html",
              "<html><body><p>Second page</p><a href=\"../HTML PAGES/Splicebox.html\">back</a>"
              "</body></html>");
    std::filesystem::create_directories(source / "HTML PAGES/pics");
    QImage dot(3, 2, QImage::Format_RGB32);
    dot.fill(Qt::red);
    ASSERT_TRUE(dot.save(QString::fromStdString((source / "HTML PAGES/pics/dot.bmp").string())));
    WriteFile(source / (name + ".hhp"), "[OPTIONS]\nCompiled file=" + name +
                                            ".chm\n\n[FILES]\nHTML PAGES/" + page +
                                            "\n"
                                            "HTML PAGES/more.html\nHTML PAGES/pics/dot.bmp\n");
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(QString::fromStdString(source.string()));
    chmcmd.start(QStringLiteral("chmcmd"),
                 {QStringLiteral("--no-html-scan"), QString::fromStdString(name + ".hhp")});
    ASSERT_TRUE(chmcmd.waitForFinished(30000));
    ASSERT_EQ(chmcmd.exitCode(), 0);
    std::filesystem::rename(source / (name + ".chm"), dir / (name + ".chm"));
}

// Runs a test inside `dir` with the given language, as the sheet makes the
// game's main directory current.
class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(Dir());
        setenv("LC_ALL", "de_DE.UTF-8", 1);
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        unsetenv("LC_ALL");
    }
    std::filesystem::path Dir() const { return m_dir.path().toStdString(); }

    QTemporaryDir m_dir;
    std::filesystem::path m_previous;
};

std::string Text(const std::optional<std::vector<std::uint8_t>>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
}

} // namespace

TEST_F(HelpTest, TheUsersLanguageVariantIsOpenedAndItsPageRead) {
    CompileHelp(Dir(), "Help", "Welcome");
    CompileHelp(Dir(), "HelpDEU", "Willkommen");

    const auto file = OpenHelpFile();
    ASSERT_NE(file, nullptr);
    EXPECT_NE(Text(file->ReadObject(kHelpPage)).find("<h1>Willkommen</h1>"), std::string::npos);
    EXPECT_EQ(Text(file->ReadObject("/HTML PAGES/missing.html")), "<none>");

    setenv("LC_ALL", "it_IT.UTF-8", 1);
    const auto neutral = OpenHelpFile();
    ASSERT_NE(neutral, nullptr);
    EXPECT_NE(Text(neutral->ReadObject(kHelpPage)).find("<h1>Welcome</h1>"), std::string::npos);
}

TEST_F(HelpTest, NoFileADamagedFileOrAFileWithoutThePageGiveNothing) {
    EXPECT_EQ(OpenHelpFile(), nullptr);

    WriteFile(Dir() / "Help.chm", "ITSF this is no help file at all");
    EXPECT_EQ(OpenHelpFile(), nullptr);

    CompileHelp(Dir(), "HelpDEU", "Willkommen", "index.html");
    ASSERT_TRUE(std::filesystem::exists(Dir() / "HelpDEU.chm"));
    EXPECT_EQ(OpenHelpFile(), nullptr);
}

TEST_F(HelpTest, TheWindowShowsThePageWithItsPictureAndFollowsLinksInsideTheFile) {
    CompileHelp(Dir(), "HelpDEU", "Willkommen");
    auto file = OpenHelpFile();
    ASSERT_NE(file, nullptr);
    CHelpWindow window(std::move(file), kHelpPage, QStringLiteral("Splicebox"));

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Splicebox"));
    EXPECT_TRUE(window.toPlainText().startsWith(QStringLiteral("Willkommen")));
    const QImage picture = QImage::fromData(
        window.loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pics/dot.bmp")))
            .toByteArray());
    EXPECT_EQ(picture.size(), QSize(3, 2));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 0, 0));

    window.setSource(QUrl(QStringLiteral("more.html")));
    EXPECT_EQ(window.toPlainText(), QStringLiteral("Second page\nback"));
    window.setSource(QUrl(QStringLiteral("../HTML%20PAGES/Splicebox.html")));
    EXPECT_TRUE(window.toPlainText().startsWith(QStringLiteral("Willkommen")));
    EXPECT_FALSE(
        window.loadResource(QTextDocument::HtmlResource, QUrl(QStringLiteral("nowhere.html")))
            .isValid());
    EXPECT_FALSE(window
                     .loadResource(QTextDocument::HtmlResource,
                                   QUrl::fromLocalFile(QString::fromStdString(
                                       (Dir() / "source-HelpDEU/HTML PAGES/more.html").string())))
                     .isValid());
}
