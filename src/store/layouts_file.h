#pragma once

#include "model/result.h"
#include "model/saved_layout.h"

#include <string>
#include <string_view>
#include <vector>

namespace qw {

// The layouts file: {"version": 1, "layouts": [...]}, UTF-8 JSON, indented, keys sorted.
namespace LayoutsFile {

std::string encode(const std::vector<SavedLayout>& layouts);

// Strict: the bytes must be one valid UTF-8 JSON object without duplicate member names, nested no
// deeper than a layouts file ever is, with an integer "version" and a "layouts" array whose every
// element decodes. The failure says what is wrong and where; it never throws.
Result<std::vector<SavedLayout>> decode(std::string_view bytes);

} // namespace LayoutsFile

} // namespace qw
