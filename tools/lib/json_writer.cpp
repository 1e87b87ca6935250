#include "tools/lib/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace pvz {

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    // to_chars never looks at the locale; "general" with 17 digits is what "%.17g" gives in C.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

std::string jsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!firstInLevel_.empty()) {
        if (!firstInLevel_.back()) out_ += ',';
        firstInLevel_.back() = false;
    }
}

void JsonWriter::open(char bracket) {
    separate();
    out_ += bracket;
    firstInLevel_.push_back(true);
}

void JsonWriter::close(char bracket) {
    firstInLevel_.pop_back();
    out_ += bracket;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ += jsonString(name);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

void JsonWriter::value(double number) {
    separate();
    out_ += jsonNumber(number);
}

void JsonWriter::value(std::int64_t number) {
    separate();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out_.append(buffer, result.ptr);
}

void JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
}

void JsonWriter::value(std::string_view text) {
    separate();
    out_ += jsonString(text);
}

void JsonWriter::null() {
    separate();
    out_ += "null";
}

}  // namespace pvz
