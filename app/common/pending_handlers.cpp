// Handlers of the forms whose behaviour has not been built yet. Each does nothing, so the
// windows load and every other part of the program can be used; each moves to its own file as
// its window's behaviour is built.
#include "common/handlers.h"

namespace quillora::app {

#define QUILLORA_PENDING_HANDLER(name) \
    HandlerResult name(const EventArguments&) { return noValue(); }

QUILLORA_PENDING_HANDLER(ProgressWindow_创建完毕)
QUILLORA_PENDING_HANDLER(ProgressWindow_首次激活)
QUILLORA_PENDING_HANDLER(进度条_当前进度_鼠标左键被按下)
QUILLORA_PENDING_HANDLER(按钮_取消打印_被单击)

}  // namespace quillora::app
