#include "image/cximage/CxImageTIF.h"

#include "image/cximage/CxImageCodecs.h"

#include <vector>

bool CxImageTIF::Encode(FILE* file, CxImage** pages, int pageCount)
{
    if (!file || !pages || pageCount <= 0) {
        SetError("no pages");
        return false;
    }
    std::vector<CxTiffPage> list;
    for (int i = 0; i < pageCount; ++i) {
        CxImage* page = pages[i];
        if (!page || !page->m_dib) {
            SetError("empty page");
            return false;
        }
        DWORD option = page->GetCodecOption(CXIMAGE_FORMAT_TIF);
        if (option == 0)
            option = GetCodecOption(CXIMAGE_FORMAT_TIF);
        list.push_back(CxTiffPage{page->m_dib, option, page->GetJpegQuality()});
    }
    if (!CxEncodeTiffToFile(list.data(), pageCount, file)) {
        SetError("cannot write the pages");
        return false;
    }
    return true;
}
