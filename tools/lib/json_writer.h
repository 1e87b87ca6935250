#pragma once
// A small streaming JSON writer for the headless tool's reports. Numbers are written with 17
// significant digits whatever the process's locale; strings are UTF-8 and escaped as JSON wants.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pvz {

class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    // The name of the next member of the enclosing object.
    JsonWriter& key(std::string_view name);

    void value(double number);
    void value(std::int64_t number);
    void value(int number) { value(static_cast<std::int64_t>(number)); }
    void value(bool flag);
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void null();

    // Shorthands for a member with a value.
    template <typename T>
    void member(std::string_view name, const T& v) {
        key(name);
        value(v);
    }

    const std::string& text() const { return out_; }

private:
    void separate();
    // Starts a nested object or array after the separator it needs, and ends it.
    void open(char bracket);
    void close(char bracket);

    std::string out_;
    std::vector<bool> firstInLevel_;
    bool afterKey_ = false;
};

// A double as JSON text: shortest form that keeps 17 significant digits, "null" when not finite.
std::string jsonNumber(double value);
// A string as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

}  // namespace pvz
