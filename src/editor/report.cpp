#include "editor/report.h"

namespace qw {

std::string Report::summary() const {
    std::string text = headline ? *headline
                                : (moved == 1 ? std::string("Moved 1 window") : "Moved " + std::to_string(moved) + " windows");
    if (context) text += ". " + *context;
    return text;
}

} // namespace qw
