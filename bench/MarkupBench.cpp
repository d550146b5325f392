// Skin markup loading speed against pugixml on the same UTF-8 bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Bench.h"
#include "pugixml.hpp"
#include "ui/core/Markup.h"

namespace kvbench {
namespace {

// A skin of roughly `size` bytes in the shape the client's skins have:
// window declarations, then layouts nested a few levels deep holding
// buttons, labels and options with many attributes each.
std::string MakeSkin(size_t size) {
    std::string xml =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<!-- generated skin for the benchmark -->\n"
        "<Window size=\"960,640\" mininfo=\"800,560\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" roundcorner=\"4,4\">\n"
        "  <Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" default=\"true\" />\n"
        "  <Default name=\"Button\" value=\"height=&quot;28&quot; textcolor=&quot;#FF333333&quot;\" />\n"
        "  <VerticalLayout bkcolor=\"#FFF5F5F5\">\n";
    unsigned state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    int row = 0;
    while (xml.size() < size) {
        const std::string n = std::to_string(row++);
        xml += "    <HorizontalLayout name=\"row_" + n + "\" height=\"" + std::to_string(24 + next() % 40) +
               "\" padding=\"8,4,8,4\" childpadding=\"6\" bkcolor=\"#FF" + std::to_string(100000 + next() % 899999) +
               "\">\n";
        xml += "      <VerticalLayout width=\"" + std::to_string(120 + next() % 200) + "\" inset=\"2,2,2,2\">\n";
        xml += "        <Label name=\"lab_title_" + n + "\" text=\"\xE5\xAE\xA0\xE7\x89\xA9\xE5\xBA\x97 " + n +
               "\" font=\"0\" textcolor=\"#FF202020\" align=\"left\" valign=\"vcenter\" endellipsis=\"true\" "
               "textpadding=\"4,0,4,0\" />\n";
        xml += "        <Button name=\"btn_ok_" + n + "\" text=\"OK &amp; go\" width=\"80\" height=\"28\" "
               "normalimage=\"file='btn.png' source='0,0,80,28' corner='4,4,4,4'\" "
               "hotimage=\"file='btn.png' source='0,28,80,56' corner='4,4,4,4'\" "
               "pushedimage=\"file='btn.png' source='0,56,80,84' corner='4,4,4,4'\" tooltip=\"&lt;ok&gt;\" />\n";
        xml += "        <Option name=\"opt_" + n + "\" group=\"lines\" selected=\"" +
               std::string(next() % 2 ? "true" : "false") +
               "\" width=\"20\" height=\"20\" normalimage=\"check.png\" selectedimage=\"checked.png\" />\n";
        xml += "      </VerticalLayout>\n";
        xml += "      <Control />\n";
        xml += "    </HorizontalLayout>\n";
    }
    xml += "  </VerticalLayout>\n</Window>\n";
    return xml;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

size_t CountElements(const KvUI::CMarkupNode& node) {
    size_t count = 0;
    for (KvUI::CMarkupNode n = node; n.IsValid(); n = n.GetSibling()) count += 1 + CountElements(n.GetChild());
    return count;
}

size_t CountElements(const pugi::xml_node& node) {
    size_t count = 0;
    for (pugi::xml_node n = node; n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element) count += 1 + CountElements(n.first_child());
    }
    return count;
}

// Times `loads` loads of `skin` per sample with each parser, the two taking
// turns so that a change in the machine's load hits both alike, and prints
// the medians.
void Compare(const char* title, const std::string& skin, int loads, int samples) {
    const BYTE* const bytes = reinterpret_cast<const BYTE*>(skin.data());
    KvUI::CMarkup markup;
    pugi::xml_document pugi;
    bool markupOk = true;
    bool pugiOk = true;
    std::vector<double> markupTimes, pugiTimes;
    for (int sample = 0; sample < samples; ++sample) {
        markupTimes.push_back(MedianSeconds(1, [&] {
            for (int i = 0; i < loads; ++i) {
                markupOk = markup.LoadFromMem(bytes, skin.size(), KvUI::MarkupEncodingUtf8) && markupOk;
            }
        }));
        pugiTimes.push_back(MedianSeconds(1, [&] {
            for (int i = 0; i < loads; ++i) pugiOk = pugi.load_buffer(skin.data(), skin.size()) && pugiOk;
        }));
    }

    std::printf("%s: %.3f MB UTF-8, %d load(s) per sample, median of %d samples\n", title,
                static_cast<double>(skin.size()) / 1e6, loads, samples);
    if (!markupOk || !pugiOk) {
        std::printf("  a load failed (CMarkup: %ls)\n\n", markup.GetLastErrorMessage());
        return;
    }
    const double megabytes = static_cast<double>(skin.size()) * loads / 1e6;
    const double markupSpeed = megabytes / Median(markupTimes);
    const double pugiSpeed = megabytes / Median(pugiTimes);
    const size_t elements = CountElements(markup.GetRoot());
    const size_t pugiElements = CountElements(pugi.first_child());
    std::printf("  CMarkup::LoadFromMem    %8.1f MB/s  (%.3f ms per load, %zu elements)\n", markupSpeed,
                skin.size() / 1e3 / markupSpeed, elements);
    std::printf("  pugixml load_buffer     %8.1f MB/s  (%.3f ms per load, %zu elements)\n", pugiSpeed,
                skin.size() / 1e3 / pugiSpeed, pugiElements);
    std::printf("  ratio CMarkup/pugixml   %8.2fx%s\n\n", markupSpeed / pugiSpeed,
                elements == pugiElements ? "" : "  (element counts differ!)");
}

}  // namespace

void RunMarkupBench() {
    Compare("Skin markup, large document", MakeSkin(2 * 1024 * 1024), 1, 31);
    // The size of a real window's skin: its buffers come from memory the
    // heap already holds, so this shows the parsers' own work.
    Compare("Skin markup, window-sized document", MakeSkin(48 * 1024), 40, 31);
}

}  // namespace kvbench
