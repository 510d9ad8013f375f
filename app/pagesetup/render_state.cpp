#include "pagesetup/render_state.h"

namespace quillora::app {

RenderState& renderState()
{
    static RenderState state;
    return state;
}

}  // namespace quillora::app
