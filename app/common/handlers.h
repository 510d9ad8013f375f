// Every event handler the window forms bind, declared once from the forms' own list.
#pragma once

#include "quillora/events.h"

namespace quillora::app {

#define QUILLORA_HANDLER(name) HandlerResult name(const EventArguments& arguments);
#include "handler_names.inc"
#undef QUILLORA_HANDLER

// The application's handler table in the forms' order: the code base handler offsets count from.
extern const EventHandler applicationHandlers[];
extern const unsigned applicationHandlerCount;

}  // namespace quillora::app
