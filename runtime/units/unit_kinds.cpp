#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {

void registerBuiltInUnitKinds()
{
    static const bool registered = [] {
        registerButtonKinds();
        registerInputKinds();
        registerContainerKinds();
        registerListKinds();
        registerSpecialKinds();
        registerPrintingKinds();
        return true;
    }();
    (void)registered;
}

}  // namespace quillora::runtime
