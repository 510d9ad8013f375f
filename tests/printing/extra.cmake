# The printing tests also load the program's own windows from the template data the build compiled.
target_link_libraries(${target} PRIVATE quillora_forms_data)
