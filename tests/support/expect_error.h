#pragma once
// The check that an operation is refused with an exact error text.

#include <functional>
#include <string_view>

#include <gtest/gtest.h>

namespace pvz::test {

// Runs `action` and expects it to throw an `Error` whose message is `message`.
template <class Error>
void expectError(const std::function<void()>& action, std::string_view message) {
    try {
        action();
        ADD_FAILURE() << "accepted; expected the error \"" << message << "\"";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), message);
    }
}

}  // namespace pvz::test
