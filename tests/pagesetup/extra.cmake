# The application library calls runtime commands, so the runtime comes again after it on the
# link line (static libraries resolve left to right).
target_link_libraries(${target} PRIVATE quillora_app quillora_runtime quillora_platform)
