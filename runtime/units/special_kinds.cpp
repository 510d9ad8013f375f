#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerSpecialKinds()
{
}

}  // namespace quillora::runtime
