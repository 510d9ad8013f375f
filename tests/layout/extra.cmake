# The page renderers run in the program's own windows with the application's handlers; the
# application library calls back into the runtime, so the runtime follows it on the link line.
target_link_libraries(${target} PRIVATE quillora_forms_data quillora_app quillora_runtime quillora_platform)
# The picture loading tests write camera-like JPEG photos with libjpeg.
target_link_libraries(${target} PRIVATE JPEG::JPEG)
