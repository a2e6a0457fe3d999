#pragma once
// Files of two catalogue programs for Linux: Tellico (a .tc zip holding tellico.xml,
// or the bare XML) and GCstar (.gcs, one <item> per book).
#include "import/SourceBook.h"

#include <string_view>

namespace q7::import {

bool looksLikeTellico(std::string_view bytes);
bool looksLikeGcstar(std::string_view bytes);

// Both throw q7::Error (French) on a broken file or one that holds no books.
SourceFile readTellico(std::string_view bytes);
SourceFile readGcstar(std::string_view bytes);

} // namespace q7::import
