#pragma once
// Failures the core reports; the command wrapper turns them into the error box.
#include <stdexcept>
#include <string>

namespace q7 {

// Message texts are UTF-8 (they are shown, never stored).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// File input/output failure with the runtime's French wording.
class IoError : public Error {
public:
    explicit IoError(int code);
    IoError(int code, const std::string& message) : Error(message), code_(code) {}
    int code() const { return code_; }

    static constexpr int readPastEnd = -38;

private:
    int code_;
};

// A text that is not the number it should be; %s is the offending text.
class ConversionError : public Error {
public:
    enum class Kind { Integer, Float };
    // `text` holds Windows-1252 bytes as stored or typed.
    ConversionError(Kind kind, const std::string& text);
};

// Settings store failure, naming the key.
class SettingsError : public Error {
public:
    using Error::Error;
};

std::string ioMessage(int code);

} // namespace q7
