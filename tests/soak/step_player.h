#pragma once

#include "platform/task_handle.h"
#include "soak/headless_app.h"
#include "soak/soak_steps.h"

#include <vector>

namespace qw::soak {

// Carries out a step on the headless app. A timeline event joins the simulated Mac's timeline to
// fire at once, so that it changes the world and posts its notifications as the timeline would. A
// user's action runs as the editor window would run it; the tasks of window actions are added to
// `running`. Returns false when the action found nothing to act on (its window or layout is gone).
bool play(const Step& step, HeadlessApp& app, std::vector<TaskHandle<>>& running);

// What the editor window does on its refresh ticker: reads the system afresh and forgets closed
// windows on the canvas.
void refreshEditor(HeadlessApp& app);

} // namespace qw::soak
