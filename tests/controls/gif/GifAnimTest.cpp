// The animated GIF: frames and their delays on the frame timer, play and
// stop on showing and hiding, a new image, and what the control passes on.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kLime = 0x00FF00;

// A GIF89a of two 4 x 4 frames (red, then blue) without any graphic control
// extension, so without frame delays; written byte by byte because that
// absence is the point. Each pixel follows a clear code, so the LZW codes
// stay 3 bits wide.
const char kGifWithoutDelays[] = R"(
import struct, sys
def frame(index):
    codes = []
    for _ in range(16):
        codes += [4, index]
    codes.append(5)
    bits = n = 0
    packed = bytearray()
    for code in codes:
        bits |= code << n
        n += 3
        while n >= 8:
            packed.append(bits & 255)
            bits >>= 8
            n -= 8
    if n:
        packed.append(bits & 255)
    data = bytearray([2, len(packed)]) + packed + bytearray([0])
    return b'\x2c' + struct.pack('<HHHHB', 0, 0, 4, 4, 0) + bytes(data)
gif = b'GIF89a' + struct.pack('<HHBBB', 4, 4, 0x80, 0, 0) + bytes([255, 0, 0, 0, 0, 255])
open(sys.argv[1], 'wb').write(gif + frame(0) + frame(1) + b'\x3b')
)";

class GifFiles : public ::testing::Environment {
public:
    void SetUp() override {
        MakeImage("red.png", {"-size", "20x20", "xc:red"});
        MakeImage("blue.png", {"-size", "20x20", "xc:blue"});
        const std::string dir = WorkDirUnix() + "/";
        // Delay 7 on the first frame: Wine's GDI+ reports the later frames'
        // delays as 0.
        ASSERT_EQ(
            0, RunUnix({"convert", "-delay", "7", dir + "red.png", "-delay", "0", dir + "blue.png", dir + "anim.gif"}));
        ASSERT_EQ(
            0, RunUnix({"convert", "-delay", "0", dir + "red.png", "-delay", "0", dir + "blue.png", dir + "zero.gif"}));
        MakeImage("single.gif", {"-size", "20x20", "xc:lime"});
        ASSERT_EQ(0, RunUnix({"python3", "-c", kGifWithoutDelays, dir + "nodelay.gif"}));
        UseWorkFolder();
    }
};

const auto* const kGifFiles = ::testing::AddGlobalTestEnvironment(new GifFiles);

// A timer of the test's own on the control, slower than any frame (the
// longest frame delay is 100 ms).
constexpr UINT kWitnessTimer = 101;
constexpr UINT kWitnessMs = 150;

// Notes when the frame timer and the witness timer reach the control.
struct TickLog {
    std::vector<DWORD> ticks;
    size_t witnessTicks = 0;
    bool OnEvent(void* param) {
        const auto* event = static_cast<TUIEvent*>(param);
        if (event->type != EventTimer) return true;
        if (event->wParam == 100) ticks.push_back(event->timestamp);
        if (event->wParam == kWitnessTimer) ++witnessTicks;
        return true;
    }
    // The time between tick i and tick i + 1, for every i of the given parity.
    std::vector<DWORD> Gaps(size_t parity) const {
        std::vector<DWORD> gaps;
        for (size_t i = parity; i + 1 < ticks.size(); i += 2) gaps.push_back(ticks[i + 1] - ticks[i]);
        std::sort(gaps.begin(), gaps.end());
        return gaps;
    }
    static DWORD Median(const std::vector<DWORD>& sorted) { return sorted.empty() ? 0 : sorted[sorted.size() / 2]; }
};

class Gif : public ::testing::Test {
protected:
    void Open(const std::wstring& attributes) {
        host.Build(Skin(L"<GifAnim name=\"g\" width=\"40\" height=\"40\" " + attributes + L"/>"));
        gif = host.Find<CGifAnimUI>(L"g");
        ASSERT_NE(nullptr, gif);
        gif->OnEvent += MakeDelegate(&log, &TickLog::OnEvent);
    }
    bool WaitForTicks(size_t count) {
        return PumpUntil([&] { return log.ticks.size() >= count; });
    }
    // True when no frame tick arrives while the witness timer, started now,
    // fires twice: a running frame timer would have ticked before that.
    bool NoTickBeforeWitness() {
        const size_t witnessed = log.witnessTicks + 2;
        EXPECT_TRUE(host.manager.SetTimer(gif, kWitnessTimer, kWitnessMs));
        EXPECT_TRUE(PumpUntil([&] { return log.witnessTicks >= witnessed; }));
        host.manager.KillTimer(gif, kWitnessTimer);
        return log.ticks.empty();
    }
    void Tick() {
        TUIEvent event;
        event.type = EventTimer;
        event.wParam = 100;
        gif->DoEvent(event);
    }

    Host host{200, 100};
    CGifAnimUI* gif = nullptr;
    TickLog log;
};

TEST_F(Gif, EachFrameStaysForItsOwnDelay) {
    // Started only once the ticks are watched, so that the first tick seen
    // is the one that leaves frame 0.
    Open(L"bkimage=\"anim.gif\" autoplay=\"false\"");
    gif->PlayGif();
    ASSERT_TRUE(WaitForTicks(9));
    // Frame 0 has delay 7 (70 ms), frame 1 delay 0 (100 ms); the first tick
    // leaves frame 0.
    const DWORD frame1 = TickLog::Median(log.Gaps(0));
    const DWORD frame0 = TickLog::Median(log.Gaps(1));
    EXPECT_GE(frame0, 60u);
    EXPECT_LT(frame0, 95u) << "a delay of 7 is a 70 ms timer";
    EXPECT_GE(frame1, 95u) << "a delay of 0 counts as 100 ms";
    EXPECT_LT(frame1, 200u);
}

TEST_F(Gif, AGifWhoseDelaysAreAllZeroAdvancesEvery100Milliseconds) {
    Open(L"bkimage=\"zero.gif\"");
    ASSERT_TRUE(WaitForTicks(5));
    for (size_t parity : {0u, 1u}) EXPECT_GE(TickLog::Median(log.Gaps(parity)), 95u);
}

TEST_F(Gif, AGifWithoutFrameDelaysPlaysAtTheDefaultPace) {
    Open(L"bkimage=\"nodelay.gif\"");
    ASSERT_TRUE(WaitForTicks(5));
    for (size_t parity : {0u, 1u}) EXPECT_GE(TickLog::Median(log.Gaps(parity)), 95u);
    ASSERT_TRUE(host.Paint());
    const DWORD pixel = host.Pixel(20, 20);
    EXPECT_TRUE(pixel == kRed || pixel == kBlue) << std::hex << pixel;
}

TEST_F(Gif, ASingleFrameIsDrawnButNeverTimed) {
    Open(L"bkimage=\"single.gif\"");
    EXPECT_EQ(kLime, host.Pixel(20, 20));
    EXPECT_TRUE(NoTickBeforeWitness());
    gif->PlayGif();
    EXPECT_TRUE(NoTickBeforeWitness());
}

TEST_F(Gif, EveryPaintShowsTheCurrentFrame) {
    Open(L"bkimage=\"anim.gif\" autoplay=\"false\"");
    EXPECT_EQ(kRed, host.Pixel(20, 20));
    Tick();
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kBlue, host.Pixel(20, 20));
    Tick();
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kRed, host.Pixel(20, 20));
}

TEST_F(Gif, HidingStopsAtTheFirstFrame) {
    Open(L"bkimage=\"anim.gif\"");
    ASSERT_TRUE(WaitForTicks(1)) << "on frame 1 now";
    gif->SetVisible(false);
    log.ticks.clear();
    EXPECT_TRUE(NoTickBeforeWitness()) << "hidden means stopped";
    gif->SetVisible(true);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kRed, host.Pixel(20, 20)) << "back at the first frame";
    EXPECT_TRUE(WaitForTicks(2)) << "and playing again";
}

TEST_F(Gif, ShowingPlaysEvenWithoutAutoPlay) {
    Open(L"bkimage=\"anim.gif\" autoplay=\"false\"");
    EXPECT_TRUE(NoTickBeforeWitness()) << "no auto-play";
    gif->SetVisible(false);
    gif->SetVisible(true);
    EXPECT_TRUE(WaitForTicks(2));
}

TEST_F(Gif, ANewImageStopsTheOldOneAndLoadsAtTheNextPaint) {
    Open(L"bkimage=\"anim.gif\"");
    ASSERT_TRUE(WaitForTicks(1));
    gif->SetAttribute(L"bkimage", L"single.gif");
    log.ticks.clear();
    EXPECT_TRUE(NoTickBeforeWitness());
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kLime, host.Pixel(20, 20));
    EXPECT_STREQ(L"single.gif", gif->GetBkImage());
}

TEST_F(Gif, AutoSizeTakesTheImageSize) {
    host.Build(
        Skin(L"<HorizontalLayout><GifAnim name=\"g\" bkimage=\"single.gif\" autosize=\"true\"/><Control/>"
             L"</HorizontalLayout>"));
    auto* sized = host.Find<CGifAnimUI>(L"g");
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(20, sized->GetFixedWidth());
    EXPECT_EQ(20, sized->GetFixedHeight());
}

// A layout that notes the events its children pass up.
class Parent : public CVerticalLayoutUI {
public:
    void DoEvent(TUIEvent& event) override {
        passed.push_back(event.type);
        CVerticalLayoutUI::DoEvent(event);
    }
    std::vector<int> passed;
};

TEST(GifEvents, ClicksDoNotReachTheParent) {
    Host host(200, 100);
    auto* parent = new Parent();
    auto* gif = new CGifAnimUI();
    gif->SetFixedHeight(40);
    parent->Add(gif);
    host.Attach(parent);
    host.Click(20, 20);
    host.Wheel(20, 20, WHEEL_DELTA);
    EXPECT_TRUE(parent->passed.empty());
}

}  // namespace
}  // namespace kvtest
