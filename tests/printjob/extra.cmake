# The album logic under test calls the runtime, so the runtime's archive must come after the
# application's on the link line.
target_link_libraries(${target} PRIVATE quillora_app quillora_runtime quillora_platform)
