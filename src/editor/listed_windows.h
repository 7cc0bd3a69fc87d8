#pragma once

#include "model/ids.h"

#include <optional>
#include <set>

namespace qw::platform {
class WindowServer;
}

namespace qw {

// Every window number the window server lists, on screen or not: what LayoutEditor::forgetClosed
// needs to tell a closed window from a minimized or hidden one, which the Inventory leaves out.
// None when the window server gives no list: then nothing may be taken for closed.
std::optional<std::set<WindowID>> listedWindowNumbers(platform::WindowServer& windowServer);

} // namespace qw
