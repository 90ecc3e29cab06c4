#include "catalogue/ItemSettings.h"

#include "foundation/VyxFieldParser.h"

void ItemSettings::SetSharpening(int kernelSize, const wchar_t* weights, double level)
{
    if (kernelSize < 1 || kernelSize > 5 || !weights || !*weights)
        return;
    sharpenSize = kernelSize;
    for (int i = 0; i < 25; ++i) {
        int weight = 0;
        if (i >= kernelSize * kernelSize || GetFieldInt(&weight, weights, i, L',') < 0)
            weight = 0;
        sharpenWeights[i] = weight;
    }
    sharpenLevel = level < 0.0 || level > 1.0 ? 0.0 : level;
}
