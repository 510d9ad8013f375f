#include "common/handlers.h"

namespace quillora::app {

const EventHandler applicationHandlers[] = {
#define QUILLORA_HANDLER(name) &name,
#include "handler_names.inc"
#undef QUILLORA_HANDLER
};

const unsigned applicationHandlerCount = sizeof applicationHandlers / sizeof applicationHandlers[0];

}  // namespace quillora::app
