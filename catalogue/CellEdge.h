// The edges of a thumbnail cell: the system's 3-D edges for frames, and the program's own picture
// shadows (style bit 0x1000: 0x1001 a shadow, 0x1002 two white rings and the shadow).
#pragma once

#include "framework/Framework.h"

enum { CellEdgeOwn = 0x1000, CellEdgeShadow = 0x1001, CellEdgeRingShadow = 0x1002 };

// The rectangle inside a system edge; the rectangle grown by the rings of 0x1002, else itself.
CRect DrawCellEdge(CDC* dc, CRect rect, int style);
