#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerContainerKinds()
{
}

}  // namespace quillora::runtime
