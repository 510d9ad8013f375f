# The end-to-end tests run the program itself.
add_dependencies(${target} quillora)
