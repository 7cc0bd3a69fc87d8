#include "platform/workspace.h"

namespace qw::platform {

void Workspace::openApplication(const std::string& bundlePath, const OpenConfiguration&, OpenCompletion completion) {
    completion(Failure{"The application at " + bundlePath + " can’t be opened."});
}

bool Workspace::hide(ProcessID) { return false; }
bool Workspace::unhide(ProcessID) { return false; }
bool Workspace::activate(ProcessID) { return false; }
std::optional<std::string> Workspace::bundleIdentifier(const std::string&) { return std::nullopt; }
std::string Workspace::displayName(const std::string& path) { return lastPathComponent(path); }

std::string lastPathComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    if (trimmed == "/") return trimmed;
    const auto slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

} // namespace qw::platform
