// LinkLabel: hover colour, and which addresses a click may hand to the
// browser and how.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlTestHarness.h"
#include "LinkLabel.h"
#include "WebAddress.h"

#include <shellapi.h>

namespace {

std::vector<std::string> gLaunched;

void RecordLaunch(const char* argument) {
    gLaunched.push_back(argument);
}

class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLaunched.clear();
        LinkLabel::SetBrowserLauncher(&RecordLaunch);
        ASSERT_EQ(1, link.Create(0, 0, 0, 200, 16, parent.Window()));
        link.SetText(L"New driver released");
        Pump();
        parent.Clear();
    }
    void TearDown() override { LinkLabel::SetBrowserLauncher(nullptr); }

    void Click() {
        PostMouse(link.Window(), WM_MOUSEMOVE, 5, 5);
        PostMouse(link.Window(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
        PostMouse(link.Window(), WM_LBUTTONUP, 5, 5);
    }

    RecordingParent parent;
    LinkLabel link;
};

}  // namespace

TEST(WebAddress, OnlyWellFormedHttpAndHttpsAddressesPass) {
    const char* good[] = {
        "http://example.com",
        "https://example.com/",
        "http://www.example.com/news/2008/item-1.html",
        "HTTP://Example.COM:8080/a/b.shtml?x=1&y=%20#top",
        "https://a-b.c.example/~user/(1);p=q",
    };
    for (const char* address : good)
        EXPECT_TRUE(IsWellFormedWebAddress(address)) << address;
    const char* bad[] = {
        "",
        "example.com/news.html",
        "/news/1.html",
        "ftp://example.com/",
        "file:///C:/Windows/system32/calc.exe",
        "javascript:alert(1)",
        "http://",
        "http:///path",
        "http://exa mple.com/",
        "http://example.com/a b.html",
        "http://example.com/\" -nohome \"x",
        "http://example.com/a\\..\\b",
        "http://example.com/%zz",
        "http://example.com/%4",
        "http://.example.com/",
        "http://example..com/",
        "http://-example.com/",
        "http://example.com:/",
        "http://example.com:123456/",
        "http://user@example.com/",
        "http://example.com/\t",
        "http://example.com/<script>",
        "http://example.com/\xe4",
    };
    for (const char* address : bad)
        EXPECT_FALSE(IsWellFormedWebAddress(address)) << address;
    EXPECT_FALSE(IsWellFormedWebAddress(nullptr));
    EXPECT_FALSE(IsWellFormedWebAddress(("http://example.com/" + std::string(2100, 'a')).c_str()));
}

TEST(WebAddress, ArgumentIsOneQuotedWord) {
    char out[64];
    ASSERT_TRUE(QuoteWebAddressArgument("http://example.com/a.html", out, sizeof(out)));
    EXPECT_STREQ("\"http://example.com/a.html\"", out);
    EXPECT_FALSE(QuoteWebAddressArgument("http://example.com/a.html", out, 27));
    EXPECT_FALSE(QuoteWebAddressArgument("http://a b", out, sizeof(out)));

    // Parsed the way the C runtime splits a command line, it stays one argument.
    ASSERT_TRUE(QuoteWebAddressArgument("http://example.com/?q=a&b='c'", out, sizeof(out)));
    std::wstring line = L"IEXPLORE.exe ";
    for (const char* p = out; *p; p++)
        line += static_cast<wchar_t>(*p);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &argc);
    ASSERT_NE(nullptr, argv);
    EXPECT_EQ(2, argc);
    EXPECT_EQ(std::wstring(L"http://example.com/?q=a&b='c'"), argv[1]);
    LocalFree(argv);
}

TEST_F(LinkLabelTest, TurnsToTheHoverColourWhileThePointerIsOver) {
    const COLORREF text = 0xF50000;
    const COLORREF hover = 0x0000F5;
    EXPECT_GT(CountClientPixels(link.Window(), text), 5);
    EXPECT_EQ(0, CountClientPixels(link.Window(), hover));
    EXPECT_EQ(0xFFFFFFu, ClientPixel(link.Window(), 199, 15));

    PostMouse(link.Window(), WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(link.Window(), GetCapture());
    EXPECT_GT(CountClientPixels(link.Window(), hover), 5);
    EXPECT_EQ(0, CountClientPixels(link.Window(), text));

    // Leaving releases the capture even with a button held.
    PostMouse(link.Window(), WM_MOUSEMOVE, 300, 300, MK_LBUTTON);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_GT(CountClientPixels(link.Window(), text), 5);
    EXPECT_EQ(0, CountClientPixels(link.Window(), hover));
}

TEST_F(LinkLabelTest, ClickOpensAWellFormedAddress) {
    link.SetAddress("http://www.example.com/news/item1.html");
    Click();
    ASSERT_EQ(1u, gLaunched.size());
    EXPECT_EQ("http://www.example.com/news/item1.html", gLaunched[0]);
    EXPECT_TRUE(parent.Notes().empty()) << "nothing is reported to the parent";
}

TEST_F(LinkLabelTest, ClickWithoutAddressOrWithABadOneDoesNothing) {
    Click();
    link.SetAddress("");
    Click();
    link.SetAddress("http://example.com/x.html\" -extoff \"file:///c:/evil");
    Click();
    link.SetAddress("file:///C:/Windows/notepad.exe");
    Click();
    EXPECT_TRUE(gLaunched.empty());
}

TEST_F(LinkLabelTest, KeepsItsOwnCopyOfTheAddress) {
    char address[] = "http://example.com/a.html";
    link.SetAddress(address);
    address[7] = 'X';
    EXPECT_STREQ("http://example.com/a.html", link.GetAddress());
    link.SetAddress(nullptr);
    EXPECT_EQ(nullptr, link.GetAddress());
}
