#pragma once

#include "model/result.h"
#include "model/saved_layout.h"
#include "store/layout_store.h"

#include <string>

namespace qw::cli {

// The layout a LAYOUT argument names: the one with exactly that name, else the one with that id
// (either case). A name that several layouts share names none of them; the failure lists their ids.
Result<SavedLayout> findLayout(const LayoutStore& store, const std::string& argument);

} // namespace qw::cli
