#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerPrintingKinds()
{
}

}  // namespace quillora::runtime
