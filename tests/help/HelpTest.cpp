#include "app/HelpFile.h"
#include "app/widgets/HelpWindow.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/CompiledHelp.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetApplication.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// The help window needs the widget application; one per test program.
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CWidgetApplication);

// Compiles the German help file, whose page `page` greets, with a second page
// and a 3 x 2 red picture beside it.
void CompileGreeting(const std::filesystem::path& dir, const std::string& page) {
    ASSERT_TRUE(CompileHelp(
        dir, "HelpDEU",
        {{"HTML PAGES/" + page, "<html><body><h1>Willkommen</h1><img src=\"pics/dot.bmp\">"
                                "<a href=\"more.html\">more</a></body></html>"},
         {"HTML PAGES/more.html",
          "<html><body><p>Second page</p><a href=\"../HTML PAGES/Splicebox.html\">back</a>"
          "</body></html>"},
         {"HTML PAGES/pics/dot.bmp", SolidBitmapFile(3, 2, 0x000000FF)}}));
}

// The file in the user's language is the one opened, and only whole with its
// page; the window shows the page with its picture and follows links inside
// the file. It runs in a folder of its own, in German, as the sheet makes the
// game's main directory current (each test has a process of its own).
TEST(HelpTest, OpensTheUsersLanguageVariantAndShowsItsPages) {
    const TempDir dir;
    std::filesystem::current_path(dir.Path());
    const ScopedLocale german{"de_DE.UTF-8"};
    EXPECT_EQ(OpenHelpFile(), nullptr);
    dir.Write("Help.chm", "ITSF this is no help file at all");
    EXPECT_EQ(OpenHelpFile(), nullptr);
    CompileGreeting(dir.Path(), "index.html");
    EXPECT_EQ(OpenHelpFile(), nullptr);

    CompileGreeting(dir.Path(), "Splicebox.html");
    auto file = OpenHelpFile();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->ReadObject("/HTML PAGES/missing.html").has_value());

    const auto beside = dir.Write("more.html", "<html><body><p>Beside the file</p></body></html>");
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
    const auto html = [&](const QUrl& url) {
        return window.loadResource(QTextDocument::HtmlResource, url);
    };
    EXPECT_FALSE(html(QUrl(QStringLiteral("nowhere.html"))).isValid());
    EXPECT_FALSE(html(QUrl::fromLocalFile(QString::fromStdString(beside.string()))).isValid());
}

} // namespace
