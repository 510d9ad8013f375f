# The printer tests run their own print system: the virtual printers' files come from data/, and
# the tests ask the print server about its jobs through libcups.
target_compile_definitions(${target} PRIVATE QUILLORA_PRINTER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/printer/data")
target_link_libraries(${target} PRIVATE Cups::Cups)
