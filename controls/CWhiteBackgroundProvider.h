// Second base of the pages of a tree property sheet: one flag that the sheet sets while visual
// styles are active, so that the page paints its background white as themed tab pages are
// painted, and clears otherwise. The page reads it when it colours its controls.
#pragma once

namespace TreePropSheet {

class CWhiteBackgroundProvider
{
public:
    CWhiteBackgroundProvider() = default;
    virtual ~CWhiteBackgroundProvider() = default;

    bool HasWhiteBackground() const { return m_bHasWhiteBackground; }
    void SetHasWhiteBackground(bool bWhite) { m_bHasWhiteBackground = bWhite; }

private:
    bool m_bHasWhiteBackground = false;
};

} // namespace TreePropSheet
