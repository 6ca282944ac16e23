#include "pe/resource_id.h"

namespace pe {

std::strong_ordering ResourceId::operator<=>(const ResourceId& other) const {
    if (IsName() != other.IsName()) {
        return IsName() ? std::strong_ordering::less : std::strong_ordering::greater;
    }
    if (IsName()) return Name().compare(other.Name()) <=> 0;
    return Id() <=> other.Id();
}

}  // namespace pe
