# The forms tests read the template data the build compiled, and compile forms of their own.
target_link_libraries(${target} PRIVATE quillora_forms_data quillora_form_compiler_core)
