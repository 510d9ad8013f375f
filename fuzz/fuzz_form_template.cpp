// Feeds arbitrary bytes to the form template reader, with a small handler table to relocate
// onto: it must read them or refuse them, never crash.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "runtime/core/form_template.h"

namespace {

quillora::HandlerResult ignoreEvent(const quillora::EventArguments&)
{
    return quillora::noValue();
}

const quillora::EventHandler handlers[] = {&ignoreEvent, &ignoreEvent, &ignoreEvent, &ignoreEvent};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quillora::runtime::readFormTemplates({data, size}, {handlers, std::size(handlers)});
    return 0;
}
