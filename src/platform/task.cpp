#include "platform/task.h"

#include <cstdio>
#include <exception>
#include <string>

namespace qw::detail {

void Cancellation::request()
{
    if (requested)
        return;
    requested = true;
    if (auto wake = std::exchange(wakeSleeper, nullptr))
        wake();
}

void PromiseBase::unhandled_exception() noexcept
{
    std::string what = "an exception of unknown type";
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "qw::Task: a task body threw (%s); tasks must report failures as values\n", what.c_str());
    std::fflush(stderr);
    std::terminate();
}

} // namespace qw::detail
