#include "ui/controls/StateStrip.h"

#include "ui/core/PaintManagerUI.h"

namespace KvUI {

bool CStateStrip::Load(CPaintManagerUI* manager, LPCTSTR drawString, int count) {
    if (!manager || !drawString || !*drawString || count <= 0) return false;
    // Parsed without the manager: the slices are written in skin units and
    // scaled when they are drawn, like any other draw string.
    m_parsed.Parse(drawString, nullptr, nullptr);
    const TImageInfo* image =
        manager->GetImageEx(m_parsed.imageName, m_parsed.resType.IsEmpty() ? nullptr : m_parsed.resType.GetData(),
                            m_parsed.mask, m_parsed.hsl);
    if (!image || image->width <= 0 || image->height <= 0) return false;
    m_sliceWidth = image->width / count;
    m_height = image->height;
    return true;
}

CUIString CStateStrip::Slice(int index) const {
    const RECT& dest = m_parsed.dest;
    CUIString slice;
    slice.Format(L"res='%s' restype='%s' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", m_parsed.imageName.GetData(),
                 m_parsed.resType.GetData(), dest.left, dest.top, dest.right, dest.bottom, index * m_sliceWidth, 0,
                 (index + 1) * m_sliceWidth, m_height);
    // A strip drawn nine-grid, masked or faded keeps that in every slice.
    const RECT& corner = m_parsed.corner;
    if (corner.left || corner.top || corner.right || corner.bottom) {
        CUIString key;
        key.Format(L" corner='%d,%d,%d,%d'", corner.left, corner.top, corner.right, corner.bottom);
        slice += key;
    }
    if (m_parsed.mask) {
        CUIString key;
        key.Format(L" mask='#%08X'", static_cast<unsigned>(m_parsed.mask));
        slice += key;
    }
    if (m_parsed.fade != 255) {
        CUIString key;
        key.Format(L" fade='%d'", static_cast<int>(m_parsed.fade));
        slice += key;
    }
    return slice;
}

}  // namespace KvUI
