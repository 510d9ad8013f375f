#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerButtonKinds()
{
}

}  // namespace quillora::runtime
