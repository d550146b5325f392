// The real korvanthel.exe against a local server: what a user sees on the
// screen and what the program leaves in its data folder. The program was
// built for this server (line 0 "/line0.html", line 1 "/line1.html", line 2
// refused, the update service here too).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ProgramKit.h"
#include "support/HttpTestServer.h"

namespace kvtest::program {
namespace {

// Each line's page starts with a 100 px band of its own colour (RGB).
constexpr DWORD kLine0Band = 0x2E8B57;
constexpr DWORD kLine1Band = 0xB8860B;
constexpr int kBandHeight = 100;
constexpr int kRowHeight = 28;  // all 16 rows stay inside the 1000 x 640 window
constexpr int kTitleBarHeight = 30;
constexpr DWORD kWait = 10000;

std::string Hex(DWORD rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(rgb));
    return text;
}

// A line's page: the band, then one row per script, run when the row is clicked.
std::string LinePage(DWORD band, const std::vector<std::string>& rows) {
    std::string html = "<html><head><meta charset=\"utf-8\"></head><body style=\"margin:0;background-color:#ffffff\">"
                       "<div style=\"height:" + std::to_string(kBandHeight) + "px;background-color:#" + Hex(band) +
                       "\"></div>";
    for (size_t i = 0; i < rows.size(); ++i) {
        html += "<div style=\"position:absolute;left:0;width:100%;height:" + std::to_string(kRowHeight) +
                "px;top:" + std::to_string(kBandHeight + kRowHeight * static_cast<int>(i)) + "px\" onclick=\"" +
                rows[i] + "\">" + std::to_string(i) + "</div>";
    }
    return html + "</body></html>";
}

// What the main window shows at the top of its page (under the title bar).
DWORD PageTop(HWND main) { return Capture(main).At(600, kTitleBarHeight + 10); }

// The Wine tray shows the icon as a window of its own, empty while the icon has no picture.
bool TrayIconShown() {
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    const HWND icon = tray ? FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr) : nullptr;
    if (!icon || !IsWindowVisible(icon)) return false;
    const Pixels p = Capture(icon);
    return std::any_of(p.rgb.begin(), p.rgb.end(), [&](DWORD c) { return (c & 0xFFFFFF) != p.At(0, 0); });
}

std::wstring ConfigValue(const wchar_t* key) {
    wchar_t value[32] = {};
    GetPrivateProfileStringW(L"LINES", key, L"(missing)", value, 32, (DataDir() + L"config.ini").c_str());
    return value;
}

bool Gone(DWORD processId, const wchar_t* className) { return FindWindowOf(processId, className) == nullptr; }

class Program : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = FreshDirUnix("www");
        RunUnix({"cp", KV_E2E_INSTALLER, root + "/installer.exe"});
        RunUnix({"sox", "-n", "-r", "44100", "-c", "2", root + "/tone.wav", "synth", "0.3", "sine", "440"});
        RunUnix({"lame", "--quiet", root + "/tone.wav", root + "/tone.mp3"});
        server = std::make_unique<HttpTestServer>(root, kPort);
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        ClearDataDir();
        RunUnix({"rm", "-rf", root + "/UpdateVersion"});
        ServeRows({});
        server->ClearRequests();
    }

    static void ServeRows(const std::vector<std::string>& rows) {
        WriteFileText(root + "/line0.html", LinePage(kLine0Band, rows));
        WriteFileText(root + "/line1.html", LinePage(kLine1Band, {}));
    }
    static void OfferUpdate(const std::string& version, const std::string& link) {
        RunUnix({"mkdir", "-p", root + "/UpdateVersion"});
        WriteFileText(root + "/UpdateVersion/index", "{\"Result\":0,\"Data\":{\"version_id\":\"" + version +
                                                         "\",\"downloadlink\":\"" + link + "\"}}");
    }
    static bool Requested(const std::string& target) {
        for (const HttpTestServer::Request& r : server->Requests()) {
            if (r.target == target) return true;
        }
        return false;
    }

    // Starts the client and waits until its main window shows the page of a line.
    HWND StartShowing(RunningClient& client, DWORD band) {
        EXPECT_TRUE(client.Started());
        const HWND main = client.WaitForMainWindow();
        EXPECT_TRUE(main) << "no main window";
        EXPECT_TRUE(main && PumpUntil([&] { return PageTop(main) == band; }, kWait))
            << "page top " << Hex(main ? PageTop(main) : 0) << ", expected " << Hex(band);
        return main;
    }

    // Asks to close; the confirmation is refused once (the window stays), then confirmed.
    void CloseConfirmed(RunningClient& client, HWND main) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        HWND panel = client.WaitForWindow(L"MessagePanleFrame");
        ASSERT_TRUE(panel) << "no close confirmation";
        PressKey(panel, VK_ESCAPE);
        ASSERT_TRUE(PumpUntil([&] { return Gone(client.ProcessId(), L"MessagePanleFrame"); }, kWait));
        EXPECT_TRUE(IsWindowVisible(main));

        PostMessageW(main, WM_CLOSE, 0, 0);
        panel = client.WaitForWindow(L"MessagePanleFrame");
        ASSERT_TRUE(panel);
        // "btn_ok": 80 px wide, 12 px left of "取消" at the panel's bottom right.
        const SIZE size = ClientSize(panel);
        ClickAt(panel, size.cx - 1 - 20 - 80 - 12 - 40, size.cy - 1 - 16 - 15);
        ASSERT_TRUE(client.WaitForExit()) << "the client did not end after the confirmation";
        EXPECT_EQ(1u, client.ExitCode());
    }

    inline static std::string root;
    inline static std::unique_ptr<HttpTestServer> server;
};

struct ConfigCase {
    const char* lineIn;  // null: no "config.ini"
    const char* zoomIn;
    DWORD band;
    const wchar_t* lineOut;
    const wchar_t* zoomOut;
};

TEST_F(Program, StartsWithItsSettingsShowsTheWindowAndSavesTheSettingsAtExit) {
    const ConfigCase cases[] = {
        {nullptr, nullptr, kLine0Band, L"0", L"2"},  // first start: line 0, zoom "正常"
        {"3", "7", kLine0Band, L"0", L"0"},          // out of range: the first entries
        {"1", "5", kLine1Band, L"1", L"5"},
    };
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.lineIn ? c.lineIn : "no config.ini");
        ClearDataDir();
        if (c.lineIn) {
            WriteDataFile(L"config.ini", std::string("[LINES]\r\nSELECT_INDEX=") + c.lineIn +
                                             "\r\nSELECT_INDEXZOOM=" + c.zoomIn + "\r\n");
        }
        RunningClient client;
        const HWND main = StartShowing(client, c.band);
        ASSERT_TRUE(main);

        wchar_t title[64] = {};
        GetWindowTextW(main, title, 64);
        EXPECT_EQ(Widen("Korvanthel宠物店管理系统"), title);
        EXPECT_EQ(1200, ClientSize(main).cx);
        EXPECT_EQ(770, ClientSize(main).cy);
        EXPECT_TRUE(IsCentred(main));
        EXPECT_TRUE(PumpUntil(TrayIconShown, kWait)) << "no tray icon";
        // No update service answers here: the check only logs.
        EXPECT_TRUE(PumpUntil([] {
            return ReadDataFile(L"log.txt").find(" ERROR :UPDATEGET_URL " + Gbk("请求失败！")) != std::string::npos;
        }, kWait)) << ReadDataFile(L"log.txt");

        CloseConfirmed(client, main);
        EXPECT_EQ(c.lineOut, ConfigValue(L"SELECT_INDEX"));
        EXPECT_EQ(c.zoomOut, ConfigValue(L"SELECT_INDEXZOOM"));
        EXPECT_TRUE(WaitForNoClientProcess()) << "renderer processes outlived the client";
        EXPECT_TRUE(PumpUntil([] { return !TrayIconShown(); }, kWait)) << "the tray icon stayed";
    }
}

TEST_F(Program, EveryPageFunctionActsOnTheWindow) {
    const std::string tone = ServerUrl("/tone.mp3");
    ServeRows({
        "AppExtension.ResizeWindow(1000, 640)",
        "AppExtension.WindowCenter()",
        "AppExtension.SetThemeColor(0xFF336699 | 0)",
        "AppExtension.SetBorder(AppExtension.GetVersion() == '4.1' ? 10 : 5)",
        "AppExtension.SetBorder(0)",
        "AppExtension.SetTitleColor(0xFFFF0000 | 0); AppExtension.SetWinTitle('红色标题')",
        "AppExtension.WindowFlash()",
        "AppExtension.WindowVisible(0)",
        "AppExtension.WindowVisible(1)",
        "AppExtension.SendMenuMessage(1)",
        "AppExtension.SendMenuMessage(2)",
        "AppExtension.SendMenuMessage(0)",
        "AppExtension.PlayMp3('" + tone + "')",
        "AppExtension.ShowDevTools()",
        "AppExtension.SendMenuMessage(999)",
        "AppExtension.ChangeLine(2)",
    });
    RunningClient client;
    const HWND main = StartShowing(client, kLine0Band);
    ASSERT_TRUE(main);
    const HWND browser = client.BrowserWindow();
    ASSERT_TRUE(browser);
    int row = 0;
    auto click = [&] { ClickAt(browser, 300, kBandHeight + kRowHeight * row++ + kRowHeight / 2); };
    auto until = [](const std::function<bool()>& done) { return PumpUntil(done, kWait); };

    click();
    EXPECT_TRUE(until([&] { return ClientSize(main).cx == 1000 && ClientSize(main).cy == 640; }));
    click();
    EXPECT_TRUE(until([&] { return IsCentred(main); }));

    click();
    const int middle = 320;
    EXPECT_TRUE(until([&] { return Capture(main).At(0, middle) == 0x336699; })) << "theme colour not painted";
    click();
    EXPECT_TRUE(until([&] { return Capture(main).RunFromLeft(middle, 0x336699) == 10; }))
        << "border " << Capture(main).RunFromLeft(middle, 0x336699);
    // Without a border the page fills the whole window under the title bar.
    RECT page = {};
    auto pageFillsTheWindow = [&] {
        GetWindowRect(browser, &page);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&page), 2);
        return page.left == 0 && page.top == kTitleBarHeight && page.right == 1000 && page.bottom == 640;
    };
    click();
    EXPECT_TRUE(until(pageFillsTheWindow))
        << "page at " << page.left << "," << page.top << "," << page.right << "," << page.bottom;
    EXPECT_EQ(0, Capture(main).RunFromLeft(middle, 0x336699));

    auto redTitlePixels = [&] {
        const Pixels p = Capture(main);
        int red = 0;
        for (int y = 0; y < kTitleBarHeight; ++y) {
            for (int x = 0; x < 300; ++x) {
                const DWORD c = p.At(x, y);
                red += (c >> 16) > 0xC0 && ((c >> 8) & 0xFF) < 0x60 && (c & 0xFF) < 0x60;
            }
        }
        return red;
    };
    EXPECT_EQ(0, redTitlePixels());
    click();
    EXPECT_TRUE(until([&] { return redTitlePixels() > 20; })) << "the title text did not turn red";

    // Flashing takes the tray icon's picture away while another window is active.
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                       nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    click();
    EXPECT_TRUE(until([] { return !TrayIconShown(); })) << "the tray icon did not flash";
    SetForegroundWindow(main);
    DestroyWindow(other);

    click();
    EXPECT_TRUE(until([&] { return !IsWindowVisible(main); }));
    click();
    EXPECT_TRUE(until([&] { return IsWindowVisible(main); }));
    click();
    EXPECT_TRUE(until([&] { return IsIconic(main); }));
    click();
    EXPECT_TRUE(until([&] { return IsZoomed(main); }));
    click();
    EXPECT_TRUE(until([&] { return !IsZoomed(main) && !IsIconic(main); }));

    click();
    EXPECT_TRUE(until([&] { return Requested("/tone.mp3"); })) << "the sound was not fetched";
    EXPECT_NE(std::string::npos, ReadDataFile(L"log.txt").find(" INFO  :PlayMP3::NewThreadPlayUrl " + tone + " "));

    click();
    EXPECT_TRUE(until([&] {
        const HWND tools = FindWindowW(nullptr, Widen("开发者工具栏").c_str());
        DWORD owner = 0;
        GetWindowThreadProcessId(tools, &owner);
        return tools && owner == client.ProcessId();
    })) << "no developer tools";

    click();
    const HWND panel = client.WaitForWindow(L"MessagePanleFrame");
    EXPECT_TRUE(panel) << "999 did not ask before closing";
    if (panel) PressKey(panel, VK_ESCAPE);
    EXPECT_TRUE(until([&] { return Gone(client.ProcessId(), L"MessagePanleFrame"); }));

    // The refused line shows the error page; its first line (not the current one) leads back.
    click();
    constexpr DWORD kOtherLineRow = 0xF3F6FA;
    int y = -1;
    EXPECT_TRUE(until([&] { return (y = Capture(main).FindRow(500, kOtherLineRow, kTitleBarHeight)) >= 0; }))
        << "no error page";
    POINT at{500, y + 5};
    MapWindowPoints(main, browser, &at, 1);
    ClickAt(browser, at.x, at.y);
    EXPECT_TRUE(until([&] { return PageTop(main) == kLine0Band; })) << "the error page did not change the line";
}

}  // namespace
}  // namespace kvtest::program

namespace kvtest::program {
namespace {

TEST_F(Program, ASecondStartEndsTheFirstWithItsRenderers) {
    auto first = std::make_unique<RunningClient>();
    ASSERT_TRUE(StartShowing(*first, kLine0Band));
    const std::vector<DWORD> firstProcesses = ProcessesNamed(L"korvanthel.exe");
    EXPECT_GE(firstProcesses.size(), 2u) << "the client and its renderer";

    RunningClient second;
    EXPECT_TRUE(first->WaitForExit()) << "the first client still runs";
    first.reset();
    EXPECT_TRUE(StartShowing(second, kLine0Band));
    EXPECT_TRUE(PumpUntil([&] {
        const std::vector<DWORD> now = ProcessesNamed(L"korvanthel.exe");
        return std::none_of(firstProcesses.begin(), firstProcesses.end(), [&](DWORD id) {
            return std::find(now.begin(), now.end(), id) != now.end();
        });
    }, kWait)) << "a renderer of the first client still runs";
}

TEST_F(Program, SettingsChangeTheLineAndTheZoomAtOnce) {
    RunningClient client;
    const HWND main = StartShowing(client, kLine0Band);
    ASSERT_TRUE(main);
    // "btn_setting": 32 px wide, left of an 8 px gap and the three 40 px window buttons.
    ClickAt(main, ClientSize(main).cx - 3 * 40 - 8 - 16, kTitleBarHeight / 2);
    const HWND settings = client.WaitForWindow(L"SettingFrame");
    ASSERT_TRUE(settings) << "no settings window";
    EXPECT_TRUE(PumpUntil([&] { return PageTop(main) != kLine0Band; }, kWait)) << "the page is not masked";

    // Each combo box ("combo_lines", then "combo_linesZoom", 30 px high and
    // 16 px apart, right of their 88 px labels) opens its drop-down, where
    // Down picks the next entry at once and Return closes it.
    const int comboX = (1 + 32 + 88 + ClientSize(settings).cx - 1 - 32) / 2;
    for (const int comboY : {1 + 36 + 52 + 26 + 15, 1 + 36 + 52 + 26 + 30 + 16 + 15}) {
        ClickAt(settings, comboX, comboY);
        const HWND drop = client.WaitForWindow(L"ComboWnd");
        ASSERT_TRUE(drop) << "no drop-down at " << comboY;
        PressKey(drop, VK_DOWN);
        PressKey(drop, VK_RETURN);
        ASSERT_TRUE(PumpUntil([&] { return Gone(client.ProcessId(), L"ComboWnd"); }, kWait));
    }
    PressKey(settings, VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return Gone(client.ProcessId(), L"SettingFrame"); }, kWait));

    EXPECT_TRUE(PumpUntil([&] { return PageTop(main) == kLine1Band; }, kWait)) << "line 1 was not loaded";
    // One zoom level up: the band is 1.2 times as high.
    EXPECT_TRUE(PumpUntil([&] {
        return Capture(main).At(600, kTitleBarHeight + kBandHeight * 6 / 5 - 5) == kLine1Band;
    }, kWait)) << "the page was not zoomed";

    CloseConfirmed(client, main);
    EXPECT_EQ(L"1", ConfigValue(L"SELECT_INDEX"));
    EXPECT_EQ(L"3", ConfigValue(L"SELECT_INDEXZOOM"));
}

enum class UpdateOutcome { Installed, Cancelled, Failed };

TEST_F(Program, ANewerVersionIsDownloadedAndInstalledOrTheWindowComesBack) {
    const std::string record = WorkDirUnix() + "/installer-arguments.txt";
    SetEnvironmentVariableW(L"KV_E2E_INSTALLER_RECORD", ToWindowsPath(record).c_str());
    const std::wstring exe = ToWindowsPath(KV_E2E_CLIENT);
    const std::string exeDir = Narrow(exe.substr(0, exe.find_last_of(L'\\') + 1));
    const struct {
        const char* link;
        UpdateOutcome outcome;
    } cases[] = {
        {"/installer.exe", UpdateOutcome::Installed},
        {"/bytes/50000000?rate=100000", UpdateOutcome::Cancelled},
        {"/missing.exe", UpdateOutcome::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        ClearDataDir();
        RunUnix({"rm", "-f", record});
        OfferUpdate("4.2", ServerUrl(c.link));
        RunningClient client;
        const HWND frame = client.WaitForWindow(L"DownloadUpdateFrame");
        ASSERT_TRUE(frame) << "no update window";
        const HWND main = FindWindowOf(client.ProcessId(), L"KorvanthelMainFrameWnd");
        auto log = [] { return ReadDataFile(L"log.txt"); };

        switch (c.outcome) {
        case UpdateOutcome::Installed:
            EXPECT_TRUE(client.WaitForExit()) << "the client did not end for the installer";
            EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(record).size() > 0; }, kWait)) << "no installer ran";
            EXPECT_EQ(exeDir + "\n", std::string(ReadFileBytes(record).data(), ReadFileBytes(record).size()));
            break;
        case UpdateOutcome::Cancelled:
            EXPECT_FALSE(IsWindowVisible(main)) << "the main window stays during the download";
            PressKey(frame, VK_ESCAPE);
            EXPECT_TRUE(PumpUntil([&] { return Gone(client.ProcessId(), L"DownloadUpdateFrame"); }, kWait));
            EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(main); }, kWait)) << "the main window stayed hidden";
            EXPECT_NE(std::string::npos, log().find(Gbk("[用户取消] 下载更新包失败！"))) << log();
            EXPECT_TRUE(Gone(client.ProcessId(), L"MessageBoxFrame")) << "a cancel shows no box";
            break;
        case UpdateOutcome::Failed: {
            const HWND box = client.WaitForWindow(L"MessageBoxFrame");
            EXPECT_TRUE(box) << "no failure box";
            EXPECT_NE(std::string::npos, log().find(Gbk("HttpDownloadPogress 下载更新包失败！"))) << log();
            EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(main); }, kWait)) << "the main window stayed hidden";
            if (box) PressKey(box, VK_ESCAPE);
            break;
        }
        }
    }
    SetEnvironmentVariableW(L"KV_E2E_INSTALLER_RECORD", nullptr);
}

}  // namespace
}  // namespace kvtest::program
