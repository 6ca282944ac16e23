#pragma once
// Every failure of pe/ is a PeError: a truncated, corrupt or hostile image, a request the
// format cannot express (data of 2 GiB or more, a full section table) or a tree shape this
// library does not handle. The message is plain English and names what was wrong.
#include <stdexcept>
#include <string>

namespace pe {

class PeError : public std::runtime_error {
public:
    explicit PeError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pe
