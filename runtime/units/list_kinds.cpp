#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerListKinds()
{
}

}  // namespace quillora::runtime
