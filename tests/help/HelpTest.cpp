#include "app/HelpFile.h"
#include "app/widgets/HelpWindow.h"
#include "app/widgets/SpliceboxApp.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/CompiledHelp.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/WidgetApplication.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define SB_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SB_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

// The help window needs the widget application; one per test program.
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CWidgetApplication);

// Compiles a help file `name`.chm in `dir` whose page `page` says `greeting`,
// with a second page and a 3 x 2 red picture beside it.
void CompileGreeting(const std::filesystem::path& dir, const std::string& name,
                     const std::string& greeting, const std::string& page = "Splicebox.html") {
    ASSERT_TRUE(CompileHelp(
        dir, name,
        {{"HTML PAGES/" + page, "<html><body><h1>" + greeting +
                                    "</h1><img src=\"pics/dot.bmp\"><a href=\"more.html\">more</a>"
                                    "</body></html>"},
         {"HTML PAGES/more.html",
          "<html><body><p>Second page</p><a href=\"../HTML PAGES/Splicebox.html\">back</a>"
          "</body></html>"},
         {"HTML PAGES/pics/dot.bmp", SolidBitmapFile(3, 2, 0x000000FF)}}));
}

// Runs a test inside `dir` with the given language, as the sheet makes the
// game's main directory current.
class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(Dir());
    }
    void TearDown() override { std::filesystem::current_path(m_previous); }
    std::filesystem::path Dir() const { return m_dir.path().toStdString(); }

    QTemporaryDir m_dir;
    std::filesystem::path m_previous;
    ScopedLocale m_german{"de_DE.UTF-8"};
};

// Room for the small allocations on the way to the help page, not for the page.
constexpr rlim_t kSpareAddressSpace = 512 * 1024;
constexpr std::size_t kPageSize = 2 * 1024 * 1024;

// While it lives, the process can map hardly more memory than it has mapped.
class CAddressSpaceLimit {
public:
    CAddressSpaceLimit() {
        ::getrlimit(RLIMIT_AS, &m_previous);
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t mapped = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
        const rlimit limit{mapped + kSpareAddressSpace, m_previous.rlim_max};
        m_set = ::setrlimit(RLIMIT_AS, &limit) == 0;
    }
    ~CAddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &m_previous); }
    CAddressSpaceLimit(const CAddressSpaceLimit&) = delete;
    CAddressSpaceLimit& operator=(const CAddressSpaceLimit&) = delete;

    bool IsSet() const { return m_set; }

private:
    rlimit m_previous{};
    bool m_set = false;
};

bool HelpWindowShown() {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<const CHelpWindow*>(window) != nullptr && window->isVisible()) {
            return true;
        }
    }
    return false;
}

std::string Text(const std::optional<std::vector<std::uint8_t>>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
}

} // namespace

TEST_F(HelpTest, TheUsersLanguageVariantIsOpenedAndItsPageRead) {
    CompileGreeting(Dir(), "Help", "Welcome");
    CompileGreeting(Dir(), "HelpDEU", "Willkommen");

    const auto file = OpenHelpFile();
    ASSERT_NE(file, nullptr);
    EXPECT_NE(Text(file->ReadObject(kHelpPage)).find("<h1>Willkommen</h1>"), std::string::npos);
    EXPECT_EQ(Text(file->ReadObject("/HTML PAGES/missing.html")), "<none>");

    const ScopedLocale italian("it_IT.UTF-8");
    const auto neutral = OpenHelpFile();
    ASSERT_NE(neutral, nullptr);
    EXPECT_NE(Text(neutral->ReadObject(kHelpPage)).find("<h1>Welcome</h1>"), std::string::npos);
}

TEST_F(HelpTest, NoFileADamagedFileOrAFileWithoutThePageGiveNothing) {
    EXPECT_EQ(OpenHelpFile(), nullptr);

    std::ofstream(Dir() / "Help.chm") << "ITSF this is no help file at all";
    EXPECT_EQ(OpenHelpFile(), nullptr);

    CompileGreeting(Dir(), "HelpDEU", "Willkommen", "index.html");
    ASSERT_TRUE(std::filesystem::exists(Dir() / "HelpDEU.chm"));
    EXPECT_EQ(OpenHelpFile(), nullptr);
}

TEST_F(HelpTest, TheWindowShowsThePageWithItsPictureAndFollowsLinksInsideTheFile) {
    CompileGreeting(Dir(), "HelpDEU", "Willkommen");
    std::ofstream(Dir() / "more.html")
        << "<html><body><p>A page beside the help file</p></body></html>";
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
                                   QUrl::fromLocalFile(
                                       QString::fromStdString((Dir() / "more.html").string())))
                     .isValid());
}

TEST_F(HelpTest, WinHelpShowsNothingAfterAFailureOnTheWayAndLaterWorks) {
#ifdef SB_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer cannot run within a limited address space";
#endif
    // A comment, so that the page is large to read but quick to lay out.
    const std::string page = "<html><body><!--" + std::string(kPageSize, 'x') + "--></body></html>";
    ASSERT_TRUE(CompileHelp(Dir(), "Help", {{"HTML PAGES/Splicebox.html", page}}));
    CSpliceboxApp app;

    const struct {
        const char* memory;
        bool limited;
        bool shown;
    } attempts[] = {{"too little memory", true, false}, {"enough memory", false, true}};
    for (const auto& attempt : attempts) {
        {
            std::optional<CAddressSpaceLimit> limit;
            if (attempt.limited) {
                ASSERT_TRUE(limit.emplace().IsSet());
            }
            EXPECT_NO_THROW(app.WinHelp()) << attempt.memory;
        }
        EXPECT_EQ(HelpWindowShown(), attempt.shown) << attempt.memory;
    }
}
