// Building a window from its skin: a skin of 1,000 controls read from the
// skin zip in memory, parsed, built into controls, attached, laid out and
// painted for the first time, as a window does when it opens.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Bench.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/WindowImplBase.h"

namespace kvbench {
namespace {

constexpr int kRows = 111;
constexpr int kCellsPerRow = 8;  // 1 root + 111 rows x (1 row + 8 cells) = 1,000 controls

// A main window's skin: declarations, then rows of cells with colours, borders and padding.
std::string MakeSkin() {
    std::string xml =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<Window size=\"1200,770\" caption=\"0,0,0,32\" sizebox=\"4,4,4,4\" mininfo=\"800,500\">\n"
        "  <Font id=\"0\" name=\"Tahoma\" size=\"12\" default=\"true\" />\n"
        "  <Default name=\"Control\" value=\"bordercolor=&quot;#FFD0D4DA&quot; bordersize=&quot;1&quot;\" />\n"
        "  <Style name=\"cell\" value=\"width=&quot;140&quot; padding=&quot;2,1,2,1&quot;\" />\n"
        "  <VerticalLayout name=\"root\" bkcolor=\"#FFF4F6F9\" inset=\"4,4,4,4\">\n";
    for (int row = 0; row < kRows; ++row) {
        const std::string r = std::to_string(row);
        xml += "    <HorizontalLayout name=\"row_" + r + "\" height=\"6\" childpadding=\"2\">\n";
        for (int cell = 0; cell < kCellsPerRow; ++cell) {
            const unsigned shade = 0x808080u + static_cast<unsigned>((row * 7 + cell * 13) % 64) * 0x020202u;
            char colour[16];
            std::snprintf(colour, sizeof colour, "#FF%06X", shade);
            xml += "      <Control name=\"cell_" + r + "_" + std::to_string(cell) + "\" style=\"cell\" bkcolor=\"" +
                   colour + "\" />\n";
        }
        xml += "    </HorizontalLayout>\n";
    }
    xml += "  </VerticalLayout>\n</Window>\n";
    return xml;
}

void Put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, unsigned long v) {
    Put16(out, static_cast<unsigned>(v & 0xFFFF));
    Put16(out, static_cast<unsigned>(v >> 16));
}

// A zip archive with one deflated entry, as the skin zip in the program's
// resource holds its files.
std::string MakeZip(const std::string& name, const std::string& data) {
    std::string packed(compressBound(static_cast<uLong>(data.size())), '\0');
    z_stream z = {};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    z.avail_out = static_cast<uInt>(packed.size());
    deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));

    const auto header = [&](unsigned long signature, bool central) {
        std::string h;
        Put32(h, signature);
        if (central) Put16(h, 20);  // made by
        Put16(h, 20);               // needed to extract
        Put16(h, 0);                // flags
        Put16(h, 8);                // deflated
        Put32(h, 0);                // time and date
        Put32(h, crc);
        Put32(h, packed.size());
        Put32(h, data.size());
        Put16(h, static_cast<unsigned>(name.size()));
        Put16(h, 0);  // extra field
        if (central) {
            Put16(h, 0);  // comment
            Put16(h, 0);  // disk
            Put16(h, 0);  // internal attributes
            Put32(h, 0);  // external attributes
            Put32(h, 0);  // offset of the local header
        }
        return h + name;
    };
    std::string zip = header(0x04034B50, false) + packed;
    const std::string central = header(0x02014B50, true);
    const size_t centralOffset = zip.size();
    zip += central;
    Put32(zip, 0x06054B50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, 1);
    Put16(zip, 1);
    Put32(zip, central.size());
    Put32(zip, centralOffset);
    Put16(zip, 0);
    return zip;
}

class BuildBenchFrame : public KvUI::WindowImplBase {
public:
    int Controls() { return Count(m_pm.GetRoot()); }

protected:
    LPCTSTR GetWindowClassName() const override { return L"KvBuildBench"; }
    KvUI::CUIString GetSkinFile() override { return L"bench.xml"; }

private:
    static int Count(KvUI::CControlUI* control) {
        if (!control) return 0;
        int n = 1;
        if (auto* container = static_cast<KvUI::IContainerUI*>(control->GetInterface(L"IContainer"))) {
            for (int i = 0; i < container->GetCount(); ++i) n += Count(container->GetItemAt(i));
        }
        return n;
    }
};

}  // namespace

void RunBuildBench() {
    KvUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    const std::string zip = MakeZip("bench.xml", MakeSkin());
    KvUI::CPaintManagerUI::SetResourceZip(zip.data(), static_cast<int>(zip.size()));

    // Per run: creating the window loads, parses and builds the skin and
    // attaches the tree; showing it lays the tree out and paints it.
    constexpr int kRuns = 21;
    std::vector<double> build;
    std::vector<double> firstPaint;
    std::vector<double> total;
    int controls = 0;
    for (int run = 0; run < kRuns; ++run) {
        BuildBenchFrame frame;
        const double start = Now();
        frame.CreateEx(nullptr, L"build bench", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 100, 100);
        const double built = Now();
        ShowWindow(frame.GetHWND(), SW_SHOWNOACTIVATE);
        UpdateWindow(frame.GetHWND());
        const double painted = Now();
        build.push_back(built - start);
        firstPaint.push_back(painted - built);
        total.push_back(painted - start);
        controls = frame.Controls();
        DestroyWindow(frame.GetHWND());
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2] * 1000.0;
    };

    std::printf("Window from skin: %d controls read from the skin zip (target: under 20 ms)\n", controls);
    std::printf("  parse + build + first layout and paint  %8.2f ms  (median of %d)\n", median(total), kRuns);
    std::printf("    window creation, load, parse, build   %8.2f ms\n", median(build));
    std::printf("    show, first layout and paint          %8.2f ms\n\n", median(firstPaint));
    // The skin zip stays set for the process otherwise; let go of it.
    KvUI::CPaintManagerUI::Term();
}

}  // namespace kvbench
