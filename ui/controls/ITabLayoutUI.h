#pragma once

namespace KvUI {

// What a button bound to a tab layout needs of it, as the button reaches it
// through GetInterface("TabLayout"): the tab layout is a list, built above
// the buttons, so the buttons know it only by this.
class ITabLayoutUI {
public:
    // Shows page `index`; false when there is no such page.
    virtual bool SelectItem(int index) = 0;

protected:
    ~ITabLayoutUI() = default;
};

}  // namespace KvUI
