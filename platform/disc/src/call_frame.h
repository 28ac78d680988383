// Hands an internal result back through the C interface: the code as the
// result, the exception text, the system-error field and the failure record.
#pragma once

#include "disc/disc_layer.h"
#include "error.h"

#include <cstring>

namespace disc {

struct CallFrame {
    uint32_t operation;
    char* text = nullptr;
    uint32_t textSize = 0;
    uint32_t* systemError = nullptr;
    DiscFailureRecord* failure = nullptr;

    int finish(const Error& e) const {
        if (text && textSize) {
            size_t n = e.text.size() < textSize - 1 ? e.text.size() : textSize - 1;
            std::memcpy(text, e.text.data(), n);
            text[n] = '\0';
        }
        if (systemError) *systemError = e.system;
        if (failure && e.code) {
            std::memset(failure, 0, sizeof *failure);
            failure->code = static_cast<uint32_t>(e.code);
            failure->operation = operation;
            failure->lba = e.lba;
            failure->blocksDone = e.blocksDone;
            failure->senseKey = e.code == DISC_E_NOT_READY ? 0x02 : (e.code == DISC_E_MEDIUM_IO ? 0x03 : 0x05);
            std::strncpy(failure->detail, e.text.c_str(), sizeof failure->detail - 1);
        }
        return e.code;
    }
};

}  // namespace disc
