#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/lists/ListInterfaces.h"

namespace KvUI {
namespace {

using attribute::Is;

// The alignment words are searched as substrings and applied in this order,
// so "left center" ends centred.
void ApplyAlign(UINT& style, LPCTSTR value) {
    if (wcsstr(value, L"left")) style &= ~(DT_CENTER | DT_RIGHT);
    if (wcsstr(value, L"center")) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(value, L"right")) style = (style & ~DT_CENTER) | DT_RIGHT;
}

void ApplyVAlign(UINT& style, LPCTSTR value) {
    if (wcsstr(value, L"top")) style &= ~(DT_VCENTER | DT_BOTTOM);
    if (wcsstr(value, L"vcenter")) style = (style & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
    if (wcsstr(value, L"bottom")) style = (style & ~DT_VCENTER) | DT_BOTTOM;
}

struct ColorField {
    LPCTSTR name;
    DWORD TListInfo::*field;
};

struct ImageField {
    LPCTSTR name;
    CUIString TListInfo::*field;
};

constexpr ColorField kColors[] = {
    {L"itemtextcolor", &TListInfo::dwTextColor},
    {L"itembkcolor", &TListInfo::dwBkColor},
    {L"itemselectedtextcolor", &TListInfo::dwSelectedTextColor},
    {L"itemselectedbkcolor", &TListInfo::dwSelectedBkColor},
    {L"itemhottextcolor", &TListInfo::dwHotTextColor},
    {L"itemhotbkcolor", &TListInfo::dwHotBkColor},
    {L"itemdisabledtextcolor", &TListInfo::dwDisabledTextColor},
    {L"itemdisabledbkcolor", &TListInfo::dwDisabledBkColor},
    {L"itemlinecolor", &TListInfo::dwLineColor},
};

constexpr ImageField kImages[] = {
    {L"itembkimage", &TListInfo::sBkImage},
    {L"itemselectedimage", &TListInfo::sSelectedImage},
    {L"itemhotimage", &TListInfo::sHotImage},
    {L"itemdisabledimage", &TListInfo::sDisabledImage},
};

}  // namespace

ListInfoChange SetListInfoAttribute(TListInfo& info, LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return ListInfoChange::None;
    for (const ColorField& color : kColors) {
        if (!Is(name, color.name)) continue;
        info.*color.field = attribute::Color(value);
        return ListInfoChange::Repaint;
    }
    for (const ImageField& image : kImages) {
        if (!Is(name, image.name)) continue;
        info.*image.field = value;
        return ListInfoChange::Repaint;
    }
    if (Is(name, L"itemfont")) {
        info.nFont = attribute::Int(value);
    } else if (Is(name, L"itemalign")) {
        ApplyAlign(info.uTextStyle, value);
    } else if (Is(name, L"itemvalign")) {
        ApplyVAlign(info.uTextStyle, value);
    } else if (Is(name, L"itemendellipsis")) {
        info.uTextStyle = attribute::IsTrue(value) ? (info.uTextStyle | DT_END_ELLIPSIS)
                                                   : (info.uTextStyle & ~DT_END_ELLIPSIS);
    } else if (Is(name, L"itemtextpadding")) {
        info.rcTextPadding = attribute::Rect(value);
        return ListInfoChange::Layout;
    } else if (Is(name, L"itemaltbk")) {
        info.bAlternateBk = attribute::IsTrue(value);
        return ListInfoChange::Repaint;
    } else if (Is(name, L"itemshowhtml")) {
        const bool showHtml = attribute::IsTrue(value);
        if (showHtml == info.bShowHtml) return ListInfoChange::Stored;
        info.bShowHtml = showHtml;
        return ListInfoChange::Layout;
    } else {
        return ListInfoChange::None;
    }
    return ListInfoChange::Stored;
}

}  // namespace KvUI
