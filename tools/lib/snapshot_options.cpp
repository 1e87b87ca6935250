#include "tools/lib/snapshot_options.h"

#include <charconv>
#include <cstdint>
#include <utility>

#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/window_system_input.h"
#include "tools/lib/iso_date.h"

namespace pvz {
namespace {

std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    if (text.empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<int> parseCount(std::string_view text) {
    const auto n = parseInt(text);
    if (!n || *n < 0) return std::nullopt;
    return n;
}

// "A<sep>B" with two integers.
std::optional<std::pair<int, int>> parsePair(std::string_view text, char separator) {
    const auto at = text.find(separator);
    if (at == std::string_view::npos) return std::nullopt;
    const auto a = parseInt(text.substr(0, at));
    const auto b = parseInt(text.substr(at + 1));
    if (!a || !b) return std::nullopt;
    return std::pair{*a, *b};
}

std::optional<int> onOff(std::string_view text) {
    if (text == "on") return 1;
    if (text == "off") return 0;
    return std::nullopt;
}

// The index of `text` among `words`.
std::optional<int> choice(std::string_view text, std::initializer_list<std::string_view> words) {
    int index = 0;
    for (const std::string_view word : words) {
        if (word == text) return index;
        ++index;
    }
    return std::nullopt;
}

}  // namespace

std::optional<SnapshotAction> parseSnapshotAction(std::string_view text) {
    using K = SnapshotActionKind;
    SnapshotAction action;
    action.text = std::string(text);
    const auto eq = text.find('=');
    const std::string_view name = text.substr(0, eq);
    const std::string_view arg = eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
    const bool hasArg = eq != std::string_view::npos;

    auto plain = [&](K kind) -> std::optional<SnapshotAction> {
        if (hasArg) return std::nullopt;
        action.kind = kind;
        return action;
    };
    auto withValue = [&](K kind, std::optional<int> a) -> std::optional<SnapshotAction> {
        if (!hasArg || !a) return std::nullopt;
        action.kind = kind;
        action.a = *a;
        return action;
    };
    auto withPair = [&](K kind, char separator) -> std::optional<SnapshotAction> {
        const auto pair = hasArg ? parsePair(arg, separator) : std::nullopt;
        if (!pair) return std::nullopt;
        action.kind = kind;
        action.a = pair->first;
        action.b = pair->second;
        return action;
    };

    if (name == "start") return plain(K::Start);
    if (name == "back") return plain(K::Back);
    if (name == "forward") return plain(K::Forward);
    if (name == "undo") return plain(K::Undo);
    if (name == "param") return withValue(K::Parameter, choice(arg, {"UT1", "UT1R", "Xp", "Yp"}));
    if (name == "interval") return withValue(K::Interval, choice(arg, {"month", "year"}));
    if (name == "trend") return withValue(K::Trend, choice(arg, {"no", "yes"}));
    if (name == "grid") return withValue(K::Grid, parseInt(arg));
    if (name == "grid-text") {
        if (!hasArg) return std::nullopt;
        action.kind = K::GridText;
        action.argument = std::string(arg);
        return action;
    }
    if (name == "scale") return withValue(K::Scale, parseInt(arg));
    if (name == "view") return withValue(K::View, choice(arg, {"series", "differences"}));
    if (name == "choose") return withValue(K::Choose, onOff(arg));
    if (name == "visor") return withValue(K::Visor, onOff(arg));
    if (name == "hold-back") return withValue(K::HoldBack, parseCount(arg));
    if (name == "hold-forward") return withValue(K::HoldForward, parseCount(arg));
    if (name == "up") return withValue(K::Up, parseCount(arg));
    if (name == "down") return withValue(K::Down, parseCount(arg));
    if (name == "stretch") return withValue(K::Stretch, parseCount(arg));
    if (name == "compress") return withValue(K::Compress, parseCount(arg));
    if (name == "mouse") return withPair(K::Mouse, ',');
    if (name == "wait") return withValue(K::Wait, parseCount(arg));
    if (name == "key" || name == "key-down" || name == "key-up") {
        if (!hasArg || !input::isKeyText(std::string(arg))) return std::nullopt;
        action.kind = name == "key" ? K::Key : name == "key-down" ? K::KeyDown : K::KeyUp;
        action.argument = std::string(arg);
        return action;
    }
    if (name == "resize") {
        auto r = withPair(K::Resize, 'x');
        if (r && (r->a < 1 || r->b < 1)) return std::nullopt;
        return r;
    }
    if (name == "series") {
        const auto colon = arg.find(':');
        if (!hasArg || colon == std::string_view::npos) return std::nullopt;
        const auto tag = parseInt(arg.substr(0, colon));
        const auto on = onOff(arg.substr(colon + 1));
        if (!tag || !on || *tag < 1 || *tag > 11) return std::nullopt;
        action.kind = K::Series;
        action.a = *tag;
        action.b = *on;
        return action;
    }
    return std::nullopt;
}

std::optional<double> parseLocalTime(std::string_view text) {
    // YYYY-MM-DD HH:MM:SS, each field of fixed width.
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const auto date = dayNumberOfIsoDate(text.substr(0, 10));
    const auto hour = parseCount(text.substr(11, 2));
    const auto minute = parseCount(text.substr(14, 2));
    const auto second = parseCount(text.substr(17, 2));
    if (!date || !hour || !minute || !second) return std::nullopt;
    if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    const std::int64_t ms = static_cast<std::int64_t>(*hour) * 3600000 + *minute * 60000 + *second * 1000;
    return *date + static_cast<double>(ms) / 86400000.0;
}

std::variant<SnapshotOptions, std::string> parseSnapshotArguments(const std::vector<std::string>& arguments) {
    SnapshotOptions options;
    bool haveData = false;
    bool haveNow = false;
    bool haveDirectoryAnswer = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        auto next = [&]() -> const std::string* {
            if (i + 1 >= arguments.size()) return nullptr;
            return &arguments[++i];
        };
        if (arg.rfind("--", 0) == 0) {
            if (arg == "--dump-store") {
                options.dumpStore = true;
                continue;
            }
            if (arg == "--cancel-dir") {
                if (haveDirectoryAnswer) return "--choose-dir and --cancel-dir exclude each other";
                haveDirectoryAnswer = true;
                options.directoryAnswer = DirectoryAnswer::Cancel;
                continue;
            }
            const std::string* value = next();
            if (!value) return arg + " needs a value";
            if (arg == "--data") {
                options.dataDirectory = *value;
                haveData = true;
            } else if (arg == "--now") {
                const auto now = parseLocalTime(*value);
                if (!now) return "--now wants \"YYYY-MM-DD HH:MM:SS\", not \"" + *value + "\"";
                options.now = *now;
                options.nowText = *value;
                haveNow = true;
            } else if (arg == "--size") {
                const auto size = parsePair(*value, 'x');
                if (!size || size->first < 1 || size->second < 1) return "--size wants WxH, not \"" + *value + "\"";
                options.width = size->first;
                options.height = size->second;
            } else if (arg == "--scale") {
                // A device pixel ratio between 1 and 4, as a desktop's scaling offers them.
                double scale = 0.0;
                const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), scale);
                if (error != std::errc() || end != value->data() + value->size() || !(scale >= 1.0 && scale <= 4.0))
                    return "--scale wants a ratio from 1 to 4, not \"" + *value + "\"";
                options.scale = scale;
            } else if (arg == "--screen-width") {
                const auto width = parseCount(*value);
                if (!width || *width < 1) return "--screen-width wants a positive number, not \"" + *value + "\"";
                options.screenWidth = *width;
            } else if (arg == "--choose-dir") {
                if (haveDirectoryAnswer) return "--choose-dir and --cancel-dir exclude each other";
                haveDirectoryAnswer = true;
                options.directoryAnswer = DirectoryAnswer::Choose;
                options.chosenDirectory = *value;
            } else if (arg == "--png") {
                options.pngFile = *value;
            } else if (arg == "--json") {
                options.jsonFile = *value;
            } else if (arg == "--csv") {
                options.csvFile = *value;
            } else if (arg == "--chart-png") {
                options.chartPngFile = *value;
            } else {
                return "unknown option " + arg;
            }
            continue;
        }
        const auto action = parseSnapshotAction(arg);
        if (!action) return "unknown action \"" + arg + "\"";
        options.actions.push_back(*action);
    }
    if (!haveData) return "--data DIR is required";
    if (!haveNow) return "--now \"YYYY-MM-DD HH:MM:SS\" is required";
    return options;
}

}  // namespace pvz
