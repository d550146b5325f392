// The image draw string: key='value' pairs such as
//   file='btn.png' source='0,0,20,20' corner='4,4,4,4' fade='128'
// or just an image name. A modify string in the same form overrides keys.
#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace {

bool IsBlank(wchar_t ch) { return ch > 0 && ch <= L' '; }

LPCTSTR SkipBlanks(LPCTSTR p) {
    while (IsBlank(*p)) ++p;
    return p;
}

RECT ReadRect(LPCTSTR text, const CDpiScaler* scaler) {
    long v[4] = {};
    attribute::Ints(text, v, 4);
    RECT rc = {v[0], v[1], v[2], v[3]};
    if (scaler) scaler->ScaleRect(&rc);
    return rc;
}

BYTE ReadByte(LPCTSTR text) {
    const long v = wcstol(text, nullptr, 10);
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

bool ReadBool(LPCTSTR text) { return attribute::Is(text, L"true"); }

void SetField(TImageDrawSpec& spec, const CUIString& key, const CUIString& value, const CDpiScaler* scaler) {
    if (key == L"file" || key == L"res") {
        spec.imageName = value;
    } else if (key == L"restype") {
        spec.resType = value;
    } else if (key == L"dest") {
        spec.dest = ReadRect(value, scaler);
    } else if (key == L"source") {
        spec.source = ReadRect(value, scaler);
    } else if (key == L"corner") {
        spec.corner = ReadRect(value, scaler);
    } else if (key == L"mask") {
        LPCTSTR hex = value.GetData();
        if (*hex == L'#') ++hex;
        spec.mask = wcstoul(hex, nullptr, 16);
    } else if (key == L"fade") {
        spec.fade = ReadByte(value);
    } else if (key == L"hole") {
        spec.hole = ReadBool(value);
    } else if (key == L"xtiled") {
        spec.xtiled = ReadBool(value);
    } else if (key == L"ytiled") {
        spec.ytiled = ReadBool(value);
    } else if (key == L"hsl") {
        spec.hsl = ReadBool(value);
    } else if (key == L"iconsize") {
        long v[2] = {};
        attribute::Ints(value, v, 2);
        spec.iconSize = SIZE{v[0], v[1]};
    } else if (key == L"iconalign") {
        spec.iconAlign = value;
    }
}

// One pass over a draw or modify string; anything malformed ends the pass and
// keeps what was read so far.
void ParsePairs(TImageDrawSpec& spec, LPCTSTR text, const CDpiScaler* scaler) {
    LPCTSTR p = text;
    for (;;) {
        p = SkipBlanks(p);
        LPCTSTR keyStart = p;
        while (*p && *p != L'=' && !IsBlank(*p)) ++p;
        const CUIString key = CUIString::FromText(keyStart, static_cast<int>(p - keyStart));
        p = SkipBlanks(p);
        if (*p != L'=') return;
        p = SkipBlanks(p + 1);
        if (*p != L'\'') return;
        LPCTSTR valueStart = ++p;
        while (*p && *p != L'\'') ++p;
        if (!*p) return;
        const CUIString value = CUIString::FromText(valueStart, static_cast<int>(p - valueStart));
        ++p;
        if (!value.IsEmpty()) SetField(spec, key, value, scaler);
        if (*p != L' ') return;
        ++p;
    }
}

}  // namespace

void TImageDrawSpec::Clear() { *this = TImageDrawSpec(); }

void TImageDrawSpec::Parse(LPCTSTR draw, LPCTSTR modify, CPaintManagerUI* manager) {
    Clear();
    drawString = draw;
    modifyString = modify;
    imageName = drawString;
    const CDpiScaler* scaler = manager ? manager->GetScaler() : nullptr;
    ParsePairs(*this, drawString, scaler);
    ParsePairs(*this, modifyString, scaler);
    if (!scaler) return;
    const int percent = scaler->GetScale();
    if (percent == 100) return;
    CUIString scaled;
    scaled.SmallFormat(L"@%d.", percent);
    imageName.Replace(L".", scaled);
}

}  // namespace KvUI
