# The end-to-end tests run the program itself.
add_dependencies(${target} quillora)
# The print-system tests run the program against a private print server of their own (the
# fixture of the printer tests, with its virtual printers' files) and print the sample photos.
target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/printer/private_cups.cpp)
target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/printer)
target_compile_definitions(${target} PRIVATE
  QUILLORA_PRINTER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/printer/data"
  QUILLORA_SAMPLE_PHOTOS="${PROJECT_SOURCE_DIR}/samples/photos")
target_link_libraries(${target} PRIVATE Cups::Cups)
# The upright-photo test writes a camera-like JPEG photo with libjpeg.
target_link_libraries(${target} PRIVATE JPEG::JPEG)
