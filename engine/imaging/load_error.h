#pragma once
// The error of the load and decode paths. Its text is the exact message a user is shown
// ("File I/O Error: Cannot Find Specified File", ...); the program that asked catches it and
// shows it in a message box.

#include <stdexcept>
#include <string>

class LoadError : public std::runtime_error {
  public:
    explicit LoadError(const std::string& text) : std::runtime_error(text) {}
    explicit LoadError(const char* text) : std::runtime_error(text) {}
};
