#include "store/layouts_file.h"

#include "model/saved_layout_json.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <utility>

namespace qw {

using nlohmann::json;

namespace {

// A layouts file is seven levels deep (file, list, layout, windows, window, frame, point); anything
// far deeper is not one, and refusing it early keeps memory and time bounded.
constexpr std::size_t maxDepth = 64;

// Longest stretch of outside text that goes into a message.
constexpr std::size_t maxQuotedBytes = 60;

// Outside text made safe for a message: control bytes and bytes beyond ASCII are escaped (the
// text may be the invalid UTF-8 that made parsing fail), and a long text is cut short.
std::string printable(std::string_view text, std::size_t maxBytes = maxQuotedBytes) {
    std::string out;
    for (const char c : text.substr(0, maxBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    if (text.size() > maxBytes) out += "...";
    return out;
}

// nlohmann's description of a parse error without its "[json.exception...]" tag and position
// (the position is given in the same form for every failure), with the last text it read quoted
// safely.
std::string describeParseError(const std::string& what) {
    std::string_view text = what;
    if (text.starts_with("[json.exception.")) {
        const auto end = text.find("] ");
        if (end != std::string_view::npos) text.remove_prefix(end + 2);
    }
    if (text.starts_with("parse error")) {
        const auto colon = text.find(": ");
        if (colon != std::string_view::npos) text.remove_prefix(colon + 2);
    }
    constexpr std::size_t maxDescription = 200;
    static constexpr std::string_view lastRead = "; last read: '";
    const auto quote = text.find(lastRead);
    if (quote == std::string_view::npos) return printable(text, maxDescription);
    std::string_view token = text.substr(quote + lastRead.size());
    if (token.ends_with('\'')) token.remove_suffix(1);
    return printable(text.substr(0, quote), maxDescription) + std::string(lastRead) + printable(token) + "'";
}

// "line 3, column 14": where the byte at `offset` is, counted as the parser counts.
std::string location(std::string_view bytes, std::size_t offset) {
    const std::size_t end = std::min(offset, bytes.size());
    std::size_t line = 1, column = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] == '\n') {
            ++line;
            column = 0;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Builds the document from the parser's events, refusing what a plain parse would accept: a
// member name used twice in one object, and nesting beyond maxDepth. nlohmann's parser keeps its
// own state on the heap, so no input reaches the stack depth of this program.
class StrictBuilder {
public:
    explicit StrictBuilder(std::string_view bytes) : bytes_(bytes) {}

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(json::number_integer_t value) { return add(value); }
    bool number_unsigned(json::number_unsigned_t value) { return add(value); }
    bool number_float(json::number_float_t value, const std::string& /*text*/) {
        if (!std::isfinite(value)) return fail(path(), "number out of range");
        return add(value);
    }
    bool string(std::string& value) { return add(std::move(value)); }
    bool binary(json::binary_t& /*value*/) { return fail(path(), "binary data"); }

    bool start_object(std::size_t /*elements*/) { return open(json::object()); }
    bool key(std::string& name) {
        Frame& frame = stack_.back();
        const bool repeated = frame.container->contains(name);
        frame.key = std::move(name);
        if (repeated) return fail(path(), "member name appears more than once in its object");
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t /*elements*/) { return open(json::array()); }
    bool end_array() { return close(); }

    bool parse_error(std::size_t position, const std::string& /*lastToken*/, const json::exception& error) {
        failure_ = Failure{"not valid JSON at " + location(bytes_, position) + ": " + describeParseError(error.what())};
        return false;
    }

    json& root() { return root_; }
    std::optional<Failure>& failure() { return failure_; }

private:
    struct Frame {
        json* container;
        std::string key; // the member being read, in an object
    };

    // Puts a value where the parser is: at the current member of an object, at the end of an
    // array, or as the document. Returns where it went.
    json* place(json value) {
        if (stack_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Frame& frame = stack_.back();
        if (frame.container->is_object()) {
            json& slot = (*frame.container)[frame.key];
            slot = std::move(value);
            return &slot;
        }
        frame.container->push_back(std::move(value));
        return &frame.container->back();
    }

    bool add(json value) {
        place(std::move(value));
        return true;
    }

    bool open(json container) {
        if (stack_.size() >= maxDepth)
            return fail(path(), "nested more than " + std::to_string(maxDepth) + " levels deep");
        // Pointers into the document stay valid: a container only grows while it is the innermost
        // open one, and then no pointer to its elements is held.
        stack_.push_back({place(std::move(container)), {}});
        return true;
    }

    bool close() {
        stack_.pop_back();
        return true;
    }

    // Where the parser is, in the form "layouts[2].windows[0]".
    std::string path() const {
        std::string out;
        for (std::size_t i = 0; i < stack_.size(); ++i) {
            const json& container = *stack_[i].container;
            if (container.is_object()) {
                if (!out.empty()) out += '.';
                out += printable(stack_[i].key);
            } else {
                // Inside the innermost array the next element is meant; further out, the last one.
                const bool innermost = i + 1 == stack_.size();
                const std::size_t index = innermost ? container.size() : container.size() - 1;
                out += "[" + std::to_string(index) + "]";
            }
        }
        return out;
    }

    bool fail(const std::string& where, const std::string& what) {
        failure_ = Failure{where.empty() ? what : where + ": " + what};
        return false;
    }

    std::string_view bytes_;
    json root_;
    std::vector<Frame> stack_;
    std::optional<Failure> failure_;
};

bool isBlank(std::string_view bytes) {
    return bytes.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::string LayoutsFile::encode(const std::vector<SavedLayout>& layouts) {
    json list = json::array();
    for (const auto& layout : layouts) list.push_back(toJson(layout));
    const json file{{"version", 1}, {"layouts", std::move(list)}};
    // Text that is not UTF-8 cannot be stored in the file; it is written with replacement
    // characters rather than failing the whole write.
    return file.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

Result<std::vector<SavedLayout>> LayoutsFile::decode(std::string_view bytes) {
    if (isBlank(bytes)) return Failure{"the file is empty"};
    // The parser takes a NUL byte for the end of the input and would ignore whatever follows it.
    // JSON has no place for one outside a string, and inside a string it must be escaped.
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos)
        return Failure{"not valid JSON at " + location(bytes, nul + 1) + ": a NUL byte"};

    StrictBuilder builder(bytes);
    const bool parsed = json::sax_parse(bytes.begin(), bytes.end(), &builder, json::input_format_t::json,
                                        /*strict=*/true, /*ignore_comments=*/false);
    if (!parsed) return builder.failure().value_or(Failure{"not valid JSON"});

    const json& file = builder.root();
    if (!file.is_object()) return Failure{"expected a JSON object with \"version\" and \"layouts\""};

    const auto version = file.find("version");
    if (version == file.end()) return Failure{"version: missing"};
    if (!version->is_number_integer()) return Failure{"version: expected an integer"};

    const auto list = file.find("layouts");
    if (list == file.end()) return Failure{"layouts: missing"};
    if (!list->is_array()) return Failure{"layouts: expected an array"};

    std::vector<SavedLayout> layouts;
    layouts.reserve(list->size());
    for (std::size_t i = 0; i < list->size(); ++i) {
        auto layout = savedLayoutFromJson((*list)[i], "layouts[" + std::to_string(i) + "]");
        if (!layout) return layout.failure();
        layouts.push_back(std::move(layout).value());
    }
    return layouts;
}

} // namespace qw
