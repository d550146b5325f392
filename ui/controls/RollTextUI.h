#pragma once
#include "ui/controls/LabelUI.h"

namespace KvUI {

// A label whose text scrolls through its rectangle (a marquee), one step for
// every tick of control timer 20; control timer 21 ends the roll with
// "textrollend". The caller starts and stops those timers.
class CRollTextUI : public CLabelUI {
public:
    // Directions the text moves to.
    enum Direction { RollLeft = 0, RollRight = 1, RollUp = 2, RollDown = 3 };
    static constexpr UINT kRollTimer = 20;
    static constexpr UINT kRollEndTimer = 21;

    CRollTextUI();
    ~CRollTextUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetText(LPCTSTR text) override;
    void DoEvent(TUIEvent& event) override;
    void PaintText(HDC dc) override;

    virtual void SetRollPos(RECT rc);

    int GetDirection() const { return m_direction; }
    // Starts the roll again from its beginning in the new direction.
    void SetDirection(Direction direction);

private:
    bool IsHorizontal() const { return m_direction == RollLeft || m_direction == RollRight; }
    RECT TextArea() const;
    void Advance();

    int m_step = 5;
    int m_offset = 0;
    int m_direction = RollLeft;
    int m_extent = 0;
};

}  // namespace KvUI
