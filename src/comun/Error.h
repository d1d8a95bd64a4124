#pragma once
#include <stdexcept>
#include <string>

// The one error type of the system. Its message is UTF-8 Spanish text naming the file, table,
// field, record and value at fault; it is thrown where the fault is found and shown to the user
// once, at the boundary of the run.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& mensaje) : std::runtime_error(mensaje) {}
};
