#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerInputKinds()
{
}

}  // namespace quillora::runtime
