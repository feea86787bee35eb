# Warnings that every target of ours gets. An override with a wrong signature would compile
# and silently do nothing: every override says so, and a missing `override` is an error.
add_library(vrask_warnings INTERFACE)
target_compile_options(vrask_warnings INTERFACE
  -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers
  $<$<COMPILE_LANGUAGE:CXX>:-Wsuggest-override -Werror=suggest-override>
  $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<CXX_COMPILER_ID:Clang>>:-Werror=inconsistent-missing-override>)
