#pragma once
// Styles: the `style` attribute, <style> sheets with tag, #id and .class
// selectors and their compounds joined by descendant and child combinators,
// cascaded by specificity and order over the engine's own defaults, and the
// computed style of every rendered element.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/impl/Dom.h"

namespace kvengine {

struct Length {
    enum class Unit : uint8_t { Auto, Px, Percent };
    float value = 0;
    Unit unit = Unit::Auto;

    bool IsAuto() const { return unit == Unit::Auto; }
    // Pixels against `base` (for percentages); `fallback` for auto.
    float Resolve(float base, float fallback = 0) const {
        return unit == Unit::Px ? value : unit == Unit::Percent ? base * value / 100 : fallback;
    }
    bool operator==(const Length& o) const { return value == o.value && unit == o.unit; }
};

enum class Display : uint8_t { Block, Inline, None };
enum class Position : uint8_t { Static, Relative, Absolute, Fixed };
enum class TextAlign : uint8_t { Left, Center, Right };

// Sides in the order top, right, bottom, left.
struct ComputedStyle {
    Display display = Display::Inline;
    Position position = Position::Static;
    TextAlign textAlign = TextAlign::Left;
    bool bold = false;
    bool pointer = false;       // cursor: pointer
    bool preserveSpace = false; // white-space: pre
    bool zAuto = true;
    int zIndex = 0;
    uint32_t color = 0xFF000000;      // ARGB
    uint32_t background = 0;          // ARGB; 0 is transparent
    uint32_t borderColor = 0xFF000000;
    float opacity = 1;
    float fontSize = 16;
    Length top, right, bottom, left, width, height;
    Length margin[4] = {{0, Length::Unit::Px}, {0, Length::Unit::Px}, {0, Length::Unit::Px}, {0, Length::Unit::Px}};
    Length padding[4] = {{0, Length::Unit::Px}, {0, Length::Unit::Px}, {0, Length::Unit::Px}, {0, Length::Unit::Px}};
    float borderWidth[4] = {0, 0, 0, 0};  // 0 unless the side's style is solid

    bool operator==(const ComputedStyle& o) const;
};

// "#rgb", "#rrggbb", "rgb()", "rgba()", "transparent" and the basic names; false for anything else.
bool ParseColor(const std::wstring& text, uint32_t& argb);

struct Declaration {
    std::wstring property;  // lower case
    std::wstring value;
};
// "a: b; c: d" as written; malformed parts are skipped.
std::vector<Declaration> ParseDeclarations(const std::wstring& text);
std::wstring SerializeDeclarations(const std::vector<Declaration>& declarations);

// A selector list: comma-separated complex selectors.
class Selector {
public:
    // False when the text is not a selector this engine understands.
    bool Parse(const std::wstring& text);
    bool Matches(const Node& element) const;
    // Specificity of the first alternative that matches (ids, classes, tags packed).
    uint32_t MatchSpecificity(const Node& element, bool& matched) const;

private:
    struct Compound {
        std::wstring tag;  // empty or "*" for any
        std::wstring id;
        std::vector<std::wstring> classes;
        bool child = false;  // joined to the compound on its left by '>'
    };
    struct Complex {
        std::vector<Compound> parts;
        uint32_t specificity = 0;
    };
    static bool MatchesCompound(const Compound& compound, const Node& element);
    static bool MatchesComplex(const Complex& complex, const Node& element);

    std::vector<Complex> m_alternatives;
};

class StyleSheet {
public:
    void Add(const std::wstring& css);
    // The declarations that apply to `element`, in cascade order (later wins).
    void Collect(const Node& element, std::vector<const Declaration*>& out) const;
    bool Empty() const { return m_rules.empty(); }

private:
    struct Rule {
        Selector selector;
        std::vector<Declaration> declarations;
        uint32_t order = 0;
    };
    std::vector<Rule> m_rules;
};

// Computes the style of every element of the document (null for what is not
// rendered) from its <style> sheets and style attributes. Equal styles are
// shared, so a huge document of alike elements holds few of them.
class StyleEngine {
public:
    void Compute(Document& document);

private:
    const ComputedStyle* Intern(const ComputedStyle& style);

    std::unordered_map<size_t, std::vector<std::unique_ptr<ComputedStyle>>> m_styles;
};

}  // namespace kvengine
