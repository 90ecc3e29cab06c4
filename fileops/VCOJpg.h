// The contact-sheet dialog's page for the JPEG quality.
#pragma once

#include "controls/CXPropertyPage.h"

class VCOJpg : public CXPropertyPage
{
public:
    VCOJpg();

    // Takes the quality from the page (its leading integer); the page stays open.
    void OnOK() override;

    int m_quality = 95;

protected:
    BOOL OnInitDialog() override;
};
