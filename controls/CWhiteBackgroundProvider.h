// A second base for property pages that can paint themselves white, as themed tab pages are: the
// tree property sheet sets the flag on its pages while visual styles are active and clears it
// otherwise; the page reads it when it colours its background and controls.
#pragma once

namespace TreePropSheet {

class CWhiteBackgroundProvider
{
public:
    virtual ~CWhiteBackgroundProvider() = default;

    void SetHasWhiteBackground(bool white) { m_bHasWhiteBackground = white; }
    bool HasWhiteBackground() const { return m_bHasWhiteBackground; }

private:
    bool m_bHasWhiteBackground = false;
};

} // namespace TreePropSheet
