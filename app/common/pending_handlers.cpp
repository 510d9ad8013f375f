// Handlers of the forms whose behaviour has not been built yet. Each does nothing, so the
// windows load and every other part of the program can be used; each moves to its own file as
// its window's behaviour is built.
#include "common/handlers.h"

namespace quillora::app {

#define QUILLORA_PENDING_HANDLER(name) \
    HandlerResult name(const EventArguments&) { return noValue(); }

QUILLORA_PENDING_HANDLER(PrintSettingsWindow_创建完毕)
QUILLORA_PENDING_HANDLER(PrintSettingsWindow_可否被关闭)
QUILLORA_PENDING_HANDLER(PrintSettingsWindow_将被销毁)
QUILLORA_PENDING_HANDLER(按钮_字体_被单击)
QUILLORA_PENDING_HANDLER(按钮_页眉字体_被单击)
QUILLORA_PENDING_HANDLER(组合框_页眉对齐_列表被关闭)
QUILLORA_PENDING_HANDLER(按钮_页脚字体_被单击)
QUILLORA_PENDING_HANDLER(组合框_页脚对齐_列表被关闭)
QUILLORA_PENDING_HANDLER(按钮_确定_被单击)
QUILLORA_PENDING_HANDLER(滑块条_列_位置被改变)
QUILLORA_PENDING_HANDLER(滑块条_行_位置被改变)
QUILLORA_PENDING_HANDLER(编辑框_列数_失去焦点)
QUILLORA_PENDING_HANDLER(编辑框_行数_失去焦点)
QUILLORA_PENDING_HANDLER(按钮_取消_被单击)
QUILLORA_PENDING_HANDLER(列表框_纸张_列表项被选择)
QUILLORA_PENDING_HANDLER(编辑框_宽度_内容被改变)
QUILLORA_PENDING_HANDLER(编辑框_高度_内容被改变)
QUILLORA_PENDING_HANDLER(编辑框_左边距_失去焦点)
QUILLORA_PENDING_HANDLER(编辑框_上边距_失去焦点)

}  // namespace quillora::app
