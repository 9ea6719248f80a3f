#pragma once
// What a function that can fail answers: success, or the kind of failure and a message that
// names what failed and where. A function with a product of its own fills an out-parameter or
// returns a result struct that carries an Outcome's two fields beside the product.

#include <string>
#include <utility>

#include "model/result_codes.h"

struct [[nodiscard]] Outcome {
    ResultCode code = RESULT_OK;
    std::string message;   // on failure: what failed, naming what and where

    bool Ok() const { return code == RESULT_OK; }
    explicit operator bool() const { return Ok(); }
};

namespace gw {

// A failure with its message; the code tells its kind where a caller needs to know it.
inline Outcome Failure(std::string message, ResultCode code = RESULT_FAILED)
{
    return {code, std::move(message)};
}

} // namespace gw
