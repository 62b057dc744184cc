#pragma once
// Failures are exceptions that carry the message the user sees (UTF-8).

#include <stdexcept>
#include <string>
#include <string_view>

namespace kp {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" of a message pattern with arg. (Not named after
// the platform's FormatMessage, which <windows.h> turns into a macro.)
std::string FormatWithArgument(std::string_view pattern, std::string_view arg);

}  // namespace kp
