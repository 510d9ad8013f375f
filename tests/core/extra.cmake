# Test libraries of the DLL command tests, in bin/dll_test_libs beside the test program:
# "Kernel32.dll" and "User32.dll" both export QuilloraProbe (answering 1 and 2), so binding
# follows the default list's order; only User32.dll exports QuilloraProbeSecond; and
# "MiXeDCase.DlL" (answering 3) is found under any letter case of its name.
set(probe_source ${CMAKE_CURRENT_LIST_DIR}/dll_test_libs/probe_library.cpp)
foreach(probe IN ITEMS "Kernel32|.dll|1|" "User32|.dll|2|PROBE_SECOND_EXPORT" "MiXeDCase|.DlL|3|")
  string(REPLACE "|" ";" probe_fields "${probe}")
  list(GET probe_fields 0 probe_name)
  list(GET probe_fields 1 probe_suffix)
  list(GET probe_fields 2 probe_value)
  list(GET probe_fields 3 probe_extra)
  set(probe_target dll_test_probe_${probe_name})
  add_library(${probe_target} MODULE ${probe_source})
  set_target_properties(${probe_target} PROPERTIES PREFIX "" SUFFIX ${probe_suffix} OUTPUT_NAME ${probe_name}
    LIBRARY_OUTPUT_DIRECTORY ${QUILLORA_BIN_DIR}/dll_test_libs CXX_VISIBILITY_PRESET hidden)
  target_compile_definitions(${probe_target} PRIVATE PROBE_VALUE=${probe_value} ${probe_extra})
  add_dependencies(${target} ${probe_target})
endforeach()
