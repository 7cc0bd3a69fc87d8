#pragma once

#include "platform/platform.h"
#include "restore/restorer.h"

namespace qw {

class Inventory;
class SkyLight;

// What the editor's operations on real windows work through: the system behind the platform seam,
// its desktops and the live picture of it, as the app shell wires them. Plain references to things
// that live as long as the app, so a copy may travel with a task that outlasts the call.
struct EditorSystem {
    platform::Platform platform;
    const SkyLight& skyLight;
    Inventory& inventory;
    Restorer::Apps apps; // what planning a restore asks beyond the Inventory
};

} // namespace qw
