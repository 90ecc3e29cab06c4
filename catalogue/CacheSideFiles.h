// The program's own per-folder files ("_THUMBS_.KWI", "_NOTE_.KWI", "_CONFIG_.KWI"), which are never
// listed or taken for pictures.
#pragma once

bool IsCacheSideFileName(const wchar_t* name);
