#include "editor/listed_windows.h"

#include "platform/window_server.h"

namespace qw {

std::optional<std::set<WindowID>> listedWindowNumbers(platform::WindowServer& windowServer) {
    const auto entries = windowServer.copyWindowList(platform::WindowServer::ListOption::allWindows);
    if (!entries) return std::nullopt;
    std::set<WindowID> numbers;
    for (const auto& entry : *entries) {
        const auto* number = entry.member(platform::WindowKeys::number);
        if (number && number->isNumber())
            if (const auto id = number->asUInt32()) numbers.insert(*id);
    }
    return numbers;
}

} // namespace qw
