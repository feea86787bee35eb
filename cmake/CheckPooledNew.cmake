# cmake -DPROGRAM=<file> -P CheckPooledNew.cmake
# Passes when the program defines the global operator new itself (the pooled allocator's
# replacement) and links the pool, rather than taking operator new from the C++ runtime.
execute_process(COMMAND nm -C --defined-only ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PROGRAM}")
endif()
if(NOT symbols MATCHES " T operator new\\(unsigned long\\)\n")
  message(FATAL_ERROR "${PROGRAM} does not define operator new: the pooled allocator is not linked")
endif()
if(NOT symbols MATCHES " T PoolNewBlock\\(")
  message(FATAL_ERROR "${PROGRAM} does not contain the pooled allocator")
endif()
message(STATUS "${PROGRAM} serves operator new from the pooled allocator")
