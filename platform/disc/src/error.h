// The result of an internal operation: a DISC_E_* code with the system error
// and the text that the C interface hands back.
#pragma once

#include <cstdint>
#include <string>

namespace disc {

struct Error {
    int code = 0;
    uint32_t system = 0;
    std::string text;
    uint32_t lba = 0;         // where a write stopped
    uint32_t blocksDone = 0;

    bool ok() const { return code == 0; }
    explicit operator bool() const { return code != 0; }  // true when failed
};

inline Error fail(int code, std::string text, uint32_t system = 0) {
    Error e;
    e.code = code;
    e.system = system;
    e.text = std::move(text);
    return e;
}

}  // namespace disc
